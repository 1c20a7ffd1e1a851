// First section of the results routine: headings, tributary areas, the nodal
// deflection table with subgrade reactions, and the Vlasov subgrade stresses.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan::results {

void deflection_headings(Report& rep, const Control& C);
// The elastic solid's notice that its nodes are coupled by spread loads.
void distributed_coupling_notice(Report& rep);

// QSUB(n): a quarter of the area of every element meeting at node n.
void tributary_areas(const Control& C, Work& w);

// Deflections and rotations of every node; below subgrade type 8 also the subgrade
// stress and force, the running sums of reactions, their total (reaction_sum) and
// the largest stress (subgrade_stress_max of `ext`).
void node_table(const Control& C, const Work& w, NodeTable& t, ExtremeValues& ext);
void print_node_table(Report& rep, const NodeTable& t);

// Subgrade type 9: nodal averages of k w - VSHEAR (w_xx + w_yy) over the element
// corners at each node, tension cut off; the largest into subgrade_stress_max.
void vlasov_table(const Control& C, const Work& w, VlasovTable& t, ExtremeValues& ext);
void print_vlasov_table(Report& rep, const VlasovTable& t);

// Keeps the largest subgrade stress; a later node with an equal value takes the place.
inline void keep_largest_subgrade_stress(ExtremeValues& e, double q, int n) {
  if (e.subgrade_stress_max.value <= q) e.subgrade_stress_max = {q, n};
}

}  // namespace meridolan::results
