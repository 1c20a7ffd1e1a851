// Addition of one element matrix into the band store.
#pragma once

#include <array>
#include <span>

namespace meridolan {

// Adds the block triangle EK (90 words) of the element with corner nodes NODEL into
// SK (MBAND words per equation). Entries below the diagonal blocks are not added.
void ADDEK(int MBAND, const std::array<int, 4>& NODEL, std::span<const double> EK,
           std::span<double> SK);

}  // namespace meridolan
