// First section of the results routine: headings, tributary areas, the nodal
// deflection table with subgrade reactions, and the Vlasov subgrade stresses.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan::results {

void deflection_headings(Report& rep, const Control& C);
// The elastic solid's notice that its nodes are coupled by spread loads.
void distributed_coupling_notice(Report& rep);

// QSUB(n): a quarter of the area of every element meeting at node n.
void tributary_areas(const Control& C, Work& w);

// Deflections and rotations of every node; below subgrade type 8 also the subgrade
// stress and force, the running sum of reactions and the largest stress (VEXT(3)).
void deflection_table(Report& rep, const Control& C, Work& w);

// Subgrade type 9: nodal averages of k w - VSHEAR (w_xx + w_yy) over the element
// corners at each node.
void vlasov_table(Report& rep, const Control& C, Work& w);

}  // namespace meridolan::results
