// Stresses at the bottom of each slab layer from the nodal curvature sums, the
// free-edge and symmetry-line rules, and the principal stresses.
#pragma once

#include "base/control.h"
#include "base/work.h"
#include "model/neutral_axis.h"
#include "results/curvature.h"
#include "results/results_layout.h"

namespace meridolan::results {

// Bottom-surface stresses (columns 1-3 of STN1/STN2) from STS1/STS2 of node n.
void bottom_stresses(const Control& C, Work& w, int n, double DIVN);

// Zeroes the stress components that a free edge or a symmetry line cannot carry.
void edge_rules(const Control& C, Work& w, int n, const NodePlace& p, CornerMark mark);

// Major and minor principal stresses into columns 4 and 5.
void principal_stresses(const Control& C, Work& w, int n);

// The layers at node n (thickness and modulus of each), for the neutral axis of
// bonded layers (NAXIS).
PlateLayers node_layers(const Work& w, int n);

// Curvature sums and stresses of every node: the stress computation of a pass.
void nodal_stresses(const Control& C, Work& w);

}  // namespace meridolan::results
