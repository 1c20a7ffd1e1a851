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
  const int NYT = C.NYT;
  const double x = XN[n - 1], y = YN[n - 1];
  // Nodes on an outer edge of the mesh have no quadrant beyond it.
  const bool low_x = x == XN[0], high_x = x == XN[C.NNODE - 1];
  const bool low_y = y == YN[0], high_y = y == YN[NYT - 1];

  Quadrants q;
  for (int sx = -1; sx <= 1; sx += 2) {
    if ((sx < 0 && low_x) || (sx > 0 && high_x)) continue;
    for (int sy = -1; sy <= 1; sy += 2) {
      if ((sy < 0 && low_y) || (sy > 0 && high_y)) continue;
      const int nx = n + sx * NYT, ny = n + sy;  // neighbours along x and along y
      const float a = static_cast<float>(std::abs(XN[nx - 1] - x) / 2.0);
      const float b = static_cast<float>(std::abs(y - YN[ny - 1]) / 2.0);
      q.area += a * b;
      // A quadrant of zero width (a joint face) has no area and carries no pressure.
      if (a == 0.0f || b == 0.0f) continue;
      const float L = a > b ? a : b, S = a > b ? b : a;
      q.deflection += corner_deflection(c, L, S);
    }
  }
  return q;
}

double SUM(const Control& C, int n, int mode, std::span<const double> XN,
           std::span<const double> YN, double c) {
  const Quadrants q = QUADS(C, n, XN, YN, c);
  return mode == 1 ? q.deflection / q.area : q.area;
}

}  // namespace meridolan
