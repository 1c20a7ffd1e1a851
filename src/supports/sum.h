// Self-flexibility and tributary area of a node on the surface of an elastic solid.
#pragma once

#include <cmath>
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

// Calls f(sx, sy, a, b) for every quadrant of node n: sx, sy (-1 or +1) the side of the
// node it lies on in x and y, a and b its half-widths as SUM keeps them (single
// precision). Nodes on an outer edge of the mesh have no quadrant beyond it.
template <class Visit>
void for_each_quadrant(const Control& C, int n, std::span<const double> XN,
                       std::span<const double> YN, Visit f) {
  const int NYT = C.NYT;
  const double x = XN[n - 1], y = YN[n - 1];
  const bool low_x = x == XN[0], high_x = x == XN[C.NNODE - 1];
  const bool low_y = y == YN[0], high_y = y == YN[NYT - 1];
  for (int sx = -1; sx <= 1; sx += 2) {
    if ((sx < 0 && low_x) || (sx > 0 && high_x)) continue;
    for (int sy = -1; sy <= 1; sy += 2) {
      if ((sy < 0 && low_y) || (sy > 0 && high_y)) continue;
      const int nx = n + sx * NYT, ny = n + sy;  // neighbours along x and along y
      const float a = static_cast<float>(std::abs(XN[nx - 1] - x) / 2.0);
      const float b = static_cast<float>(std::abs(y - YN[ny - 1]) / 2.0);
      f(sx, sy, a, b);
    }
  }
}

// Deflection at the corner of an L x S rectangle under unit pressure on a surface of
// flexibility c/r (L >= S > 0).
double corner_deflection(double c, double L, double S);

}  // namespace meridolan
