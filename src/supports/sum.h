// Self-flexibility and tributary area of a node on the surface of an elastic solid.
#pragma once

#include <span>

#include "base/control.h"

namespace meridolan {

// Mode 1: the deflection at node n (1-based) of a half-space whose surface flexibility
// is c/r, under a unit force spread uniformly over the node's tributary area (the
// quarter of each element that meets at the node). Mode 2: that area. Lengths and
// areas are kept in single precision.
double SUM(const Control& C, int n, int mode, std::span<const double> XN,
           std::span<const double> YN, double c);

// The quadrants of node n: their area (single precision) and the sum of their corner
// deflections under unit pressure. A node on a joint face has quadrants on its own
// side only; the faces of one joint together have those of a node inside a slab.
struct Quadrants {
  float area = 0.0f;
  double deflection = 0.0;
};
Quadrants QUADS(const Control& C, int n, std::span<const double> XN, std::span<const double> YN,
                double c);

// Deflection at the corner of an L x S rectangle under unit pressure on a surface of
// flexibility c/r (L >= S > 0).
double corner_deflection(double c, double L, double S);

}  // namespace meridolan
