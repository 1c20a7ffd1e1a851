// Slab on an elastic solid (subgrade type 8): solution and results.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan {

// Adds the subgrade stiffness of the elastic solid to the plate stiffness that STIFF
// and SYMTRY left in w.SK, solves the full system in packed form (w.SKP) and prints
// the results, the subgrade stresses and the summary (their tables into `res`). NCHG and NOUT are
// the counts of nodes that changed contact and of nodes out of contact; the load analysis (ICURL =
// 0) sets both to 0 and adds the loads to w.R itself. In the contact analysis (any nonzero ICURL)
// w.R arrives with the loads, only the nodes with ICON != 1 rest on the solid, and they rest on it
// with their deflections beyond their gaps (GAPN); it returns false without printing while the
// contact state is still changing (NCHG >= 1). A matrix that is not positive definite ends the run
// with a message.
bool ELSOLD(Report& rep, Control& C, Work& w, Results& res, int& NCHG, int& NOUT);

}  // namespace meridolan
