// Stresses at the bottom of each slab layer from the nodal curvature sums, the
// free-edge and symmetry-line rules, and the principal stresses.
#pragma once

#include "base/control.h"
#include "base/work.h"
#include "results/curvature.h"
#include "results/results_layout.h"

namespace meridolan::results {

// Bottom-surface stresses (columns 1-3 of STN1/STN2) from STS1/STS2 of node n.
void bottom_stresses(const Control& C, Work& w, int n, double DIVN);

// Zeroes the stress components that a free edge or a symmetry line cannot carry.
void edge_rules(const Control& C, Work& w, int n, const NodePlace& p, CornerMark mark);

// Major and minor principal stresses into columns 4 and 5.
void principal_stresses(const Control& C, Work& w, int n);

// Neutral axis of two bonded layers at a node: its distance below the mid-plane
// of the top layer (zna1) and above the mid-plane of the bottom layer (zna2).
struct NeutralAxis {
  double zna1 = 0, zna2 = 0;
};
NeutralAxis neutral_axis(double h1, double h2, double E1, double E2);

// Curvature sums and stresses of every node: the stress computation of a pass.
void nodal_stresses(const Control& C, Work& w);

}  // namespace meridolan::results
