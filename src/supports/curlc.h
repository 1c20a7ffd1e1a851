// Temperature curling, self-weight and initial gaps on the deck's own subgrade, with
// loss of contact found by iteration.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan {

// Ends the run with a message when the subgrade type gives the slab no support in
// this analysis (only types 6, 7 and 8 do). Called right after the echo.
void require_contact_subgrade(Report& rep, const Control& C);

// Curling and gap analysis on subgrade type 6 (dense liquid with the nodal moduli),
// 7 (springs at the nodes) or 8 (elastic solid). Turns the temperature differences
// into nodal moments and the self-weight into nodal forces, and finds the nodes in
// contact by repeated solutions; a node in contact is held on its deflection beyond
// its gap. For types 6 and 7 it leaves the displacements of the last solution in R,
// that solution's contact state in ICON and SKN (zero at the nodes out of contact)
// and the tributary areas in QSUB; the caller prints the results. For type 8 the
// elastic solid prints the results of the settled contact state itself. The caller
// clears SK, SKR and R beforehand.
struct ContactAnalysis {
  // The model of the results: the deck's with the self-weight added to TOTLD (the
  // temperature differences are left for the stresses).
  Control model;
  bool results_printed = false;  // the elastic solid printed them
};
ContactAnalysis CURLC(Report& rep, const Control& C, Work& w, Results& res);

}  // namespace meridolan
