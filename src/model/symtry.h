// Symmetry conditions on the first node lines.
#pragma once

#include <span>

#include "base/control.h"

namespace meridolan {

// Overwrites the diagonal of the rotation equations on the symmetry lines selected
// by C.ISYM with the penalty 1E25 (single precision).
void SYMTRY(const Control& C, std::span<double> SK);

}  // namespace meridolan
