// Title page and memory report.
#pragma once

#include "base/control.h"
#include "base/records.h"

namespace meridolan {

// Prints the banner, the title and the memory report; stops the run when the mesh
// needs more than MAXMEM words, and warns when the contouring step needs more than
// MAXCON words.
void TITLPG(Report& rep, const Control& C);

}  // namespace meridolan
