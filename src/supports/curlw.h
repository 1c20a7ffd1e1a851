// Temperature curling, self-weight and initial gaps on a Winkler support.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan {

// Curling and gap analysis with springs at the nodes, each acting only while its node
// is in contact. Prints its heading block and the contact iteration, and leaves the
// displacements of the last solution in R, the contact state it used in ICON, the
// curling distances plus gaps in GAPN and the tributary areas in QSUB. Returns the
// model the results are computed for: the deck's, with springs at the nodes (ISUBGR
// 7), no temperature difference (DT1 = DT2 = 0: the curled shape carries it) and the
// self-weight added to TOTLD. The caller clears SK, SKR and R beforehand. Stops the run on an
// elastic-solid deck (no room for nodal moduli), on a slab without one positive thickness for its
// curling distances, and when no node is left in contact.
Control CURLW(Report& rep, const Control& C, Work& w, Results& res);

}  // namespace meridolan
