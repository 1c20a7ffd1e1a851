// Model data that no pavement can have, refused after it is echoed and before any
// analysis: each message names the record, the field and the value, then the run
// stops. Values that are merely unusual pass unchanged.
#pragma once

#include <span>

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// Symmetry index and the layer records (Poisson ratios, thicknesses, moduli and
// densities, per node where the deck gives them per node).
void check_layers(Report& rep, const Control& C, const Work& w);

// Subgrade moduli (per node too), the elastic solid's modulus and Poisson ratio, the
// Vlasov shear parameter; and the radius of relative stiffness, which must be a
// finite number before it is printed.
void check_subgrade(Report& rep, const Control& C, const Work& w);

// Tolerances of the stress-dependent iteration (types 0 to 3 with a pass limit above
// 1): a negative one is refused; when both are zero the echo says that the iteration
// ends before its pass limit only on nodal moduli that repeat exactly.
void check_tolerances(Report& rep, const Control& C);

// The dowel bars of the joints in one direction, when dowels are placed.
void check_dowel_bars(Report& rep, const Control& C, Axis a);

// Aggregate interlock factor of the joints in one direction.
void check_interlock(Report& rep, const Control& C, Axis a);

// Counts of the temperature and gap control record; a negative one would consume a
// deck line and misplace every later record.
void check_gap_counts(Report& rep, const Control& C);

// Displacements of a solution: every one must be a finite number.
void check_displacements(Report& rep, const Control& C, std::span<const double> R);

}  // namespace meridolan
