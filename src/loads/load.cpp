// Consistent nodal loads: the exact integrals of a uniform pressure on a rectangular
// part of one element times the element's twelve shape functions, written as sums of
// the moments M(p,q) = integral of P x^p y^q over the subarea (x, y from node N1).
#include "loads/load.h"

#include <cmath>

#include "model/mesh.h"

namespace meridolan {

void LOAD(const Control& C, const Subareas& s, std::span<const double> XN,
          std::span<const double> YN, std::span<double> R) {
  for (int k = 0; k < C.NSUB; ++k) {
    const std::array<int, 4> n = ELNODE(s.NES[k], C.NYT);
    const double a = (XN[n[2] - 1] - XN[n[0] - 1]) / 2.0;
    const double b = (YN[n[1] - 1] - YN[n[0] - 1]) / 2.0;

    const double P = s.PS[k];
    const double x1 = s.XS1[k], x2 = s.XS2[k], y1 = s.YS1[k], y2 = s.YS2[k];
    const auto M = [&](int p, int q) {
      return P * (std::pow(x2, p + 1.0) - std::pow(x1, p + 1.0)) / (p + 1.0) *
             (std::pow(y2, q + 1.0) - std::pow(y1, q + 1.0)) / (q + 1.0);
    };
    const double M00 = M(0, 0), M10 = M(1, 0), M01 = M(0, 1), M20 = M(2, 0), M11 = M(1, 1),
                 M02 = M(0, 2), M30 = M(3, 0), M21 = M(2, 1), M12 = M(1, 2), M03 = M(0, 3),
                 M31 = M(3, 1), M13 = M(1, 3);
    const double ab = a * b, a2 = a * a, b2 = b * b;
    const double a2b = a2 * b, ab2 = a * b2, a3 = a2 * a, b3 = b2 * b;
    const double a3b = a3 * b, ab3 = a * b3;

    double f[12];
    // N1: force, x-moment, y-moment
    f[0] = M00 - 0.75 * M20 / a2 - 0.25 * M11 / ab - 0.75 * M02 / b2 + 0.25 * M30 / a3 +
           0.375 * M21 / a2b + 0.375 * M12 / ab2 + 0.25 * M03 / b3 - 0.125 * M31 / a3b -
           0.125 * M13 / ab3;
    f[1] = -M01 + M02 / b + 0.5 * M11 / a - 0.25 * M03 / b2 - 0.5 * M12 / ab + 0.125 * M13 / ab2;
    f[2] = M10 - M20 / a - 0.5 * M11 / b + 0.25 * M30 / a2 + 0.5 * M21 / ab - 0.125 * M31 / a2b;
    // N2
    f[3] = 0.25 * M11 / ab + 0.75 * M02 / b2 - 0.375 * M21 / a2b - 0.375 * M12 / ab2 -
           0.25 * M03 / b3 + 0.125 * M31 / a3b + 0.125 * M13 / ab3;
    f[4] = 0.5 * M02 / b - 0.25 * M12 / ab - 0.25 * M03 / b2 + 0.125 * M13 / ab2;
    f[5] = 0.5 * M11 / b - 0.5 * M21 / ab + 0.125 * M31 / a2b;
    // N3
    f[6] = 0.25 * M11 / ab + 0.75 * M20 / a2 - 0.25 * M30 / a3 - 0.375 * M21 / a2b -
           0.375 * M12 / ab2 + 0.125 * M31 / a3b + 0.125 * M13 / ab3;
    f[7] = -0.5 * M11 / a + 0.5 * M12 / ab - 0.125 * M13 / ab2;
    f[8] = -0.5 * M20 / a + 0.25 * M30 / a2 + 0.25 * M21 / ab - 0.125 * M31 / a2b;
    // N4
    f[9] = -0.25 * M11 / ab + 0.375 * M21 / a2b + 0.375 * M12 / ab2 - 0.125 * M31 / a3b -
           0.125 * M13 / ab3;
    f[10] = 0.25 * M12 / ab - 0.125 * M13 / ab2;
    f[11] = -0.25 * M21 / ab + 0.125 * M31 / a2b;

    for (int m = 0; m < 4; ++m)
      for (int i = 0; i < 3; ++i) R[3 * (n[m] - 1) + i] += f[3 * m + i];
  }
}

}  // namespace meridolan
