// Nodal curvature terms of the slab: which plate elements of the node's own slab
// are averaged at each node, and the curvature terms of one element at one corner.
#pragma once

#include "base/control.h"
#include "base/work.h"
#include "results/results_layout.h"

namespace meridolan::results {

// The four elements around a node, named by the quadrant they occupy.
enum Quadrant : unsigned { UR = 1, LR = 2, UL = 4, LL = 8 };

// Nodes whose single element lies on a symmetry line and which need their own
// free-edge treatment.
enum class CornerMark { None, JointCornerOnXLine, SlabCornerOnYLine };

struct ElementChoice {
  unsigned quadrants = 0;  // set of Quadrant bits; 0 = the node gets no curvatures
  double DIVN = 1.0;       // number of elements summed
  CornerMark mark = CornerMark::None;
};

ElementChoice choose_elements(const Control& C, int n, const NodePlace& p);

struct Curvature {
  double kx = 0, ky = 0, kxy = 0;
};

// Curvature terms of the element in quadrant q at its corner n, for a layer with
// Poisson ratio nu and shear factor (1 - nu)/2 = shear.
Curvature corner_curvature(const Control& C, const Work& w, int n, Quadrant q, double nu,
                           double shear);

// Sum of the corner terms of the chosen elements, in the order UR, LR, UL, LL.
Curvature summed_curvature(const Control& C, const Work& w, int n, unsigned quadrants, double nu,
                           double shear);

}  // namespace meridolan::results
