// The tributary area of a node is made of up to four quadrants, one per element
// meeting at the node; each quadrant is a rectangle with the node at one corner, so
// its contribution to the deflection at the node is the corner formula.
#include "supports/sum.h"

#include <cmath>

namespace meridolan {

double corner_deflection(double c, double L, double S) {
  const double m = L / S;
  const double root = std::sqrt(1.0 + m * m);
  return c * S * (m * std::log((1.0 + root) / m) + std::log(m + root));
}

Quadrants QUADS(const Control& C, int n, std::span<const double> XN, std::span<const double> YN,
                double c) {
  Quadrants q;
  for_each_quadrant(C, n, XN, YN, [&](int, int, float a, float b) {
    q.area += a * b;
    // A quadrant of zero width (a joint face) has no area and carries no pressure.
    if (a == 0.0f || b == 0.0f) return;
    const float L = a > b ? a : b, S = a > b ? b : a;
    q.deflection += corner_deflection(c, L, S);
  });
  return q;
}

double SUM(const Control& C, int n, int mode, std::span<const double> XN,
           std::span<const double> YN, double c) {
  const Quadrants q = QUADS(C, n, XN, YN, c);
  return mode == 1 ? q.deflection / q.area : q.area;
}

}  // namespace meridolan
