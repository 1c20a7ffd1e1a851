// Pieces shared by the curling and gap analyses: the slab's weight, its plan
// extents and centre of curling, and the echo of the gap and zero-pressure lists.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// True when the thickness of some layer is given per node (TH1 = 0, or TH2 = 0 in a
// two-layer slab).
bool per_node_thickness(const Control& C);

// Weight of the slab per unit plan area at node n: TH1*GAM1 + TH2*GAM2, or the same
// with the nodal thicknesses when they are given per node.
double unit_weight(const Control& C, const Work& w, int n);

// Total self-weight: the unit weight times the plan area between the first and the
// last node lines, or, with nodal thicknesses, the sum of the nodal unit weights
// times the tributary areas (QSUB must be formed).
double self_weight(const Control& C, const Work& w);

struct PlanPoint {
  double x = 0, y = 0;
};

// Centre of curling by symmetry index: the middle of the plan (0), the middle of the
// first y-line (1), the middle of the first x-line (2), the first node (any other).
PlanPoint curling_centre(const Control& C, const Work& w);

// "NODE NUMBER AND GAP AT THE NODE" with the pairs in deck order (NGAPN > 0).
void print_gap_list(Report& rep, const Control& C, const Work& w);

// "NODES WITH ZERO INITIAL REACTIVE PRESSURE" with the listed nodes (NZRP > 0).
void print_zero_pressure_list(Report& rep, const Control& C, const Work& w);

}  // namespace meridolan
