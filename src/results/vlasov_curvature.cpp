// Corner curvatures of the 12-term plate element for the Vlasov subgrade table.
#include "results/vlasov_curvature.h"

#include "model/mesh.h"
#include "results/results_layout.h"

namespace meridolan::results {
namespace {

// Local coordinates of the four corners.
constexpr std::array<std::array<int, 2>, 4> kCorner{{{0, 0}, {0, 1}, {1, 0}, {1, 1}}};

// w_xx = sum of fw[i] w_i + ft[i] Y-ROTATION_i (the X-ROTATION terms vanish).
double wxx_at(const ElementCorners& el, const std::vector<double>& R, double x, double y) {
  const double A = el.A, B = el.B;
  const double A2 = A * A, A3 = A * A * A;
  const double fw[4] = {
      -6 / A2 + 12 * x / A3 + 6 * y / (A2 * B) - 12 * x * y / (A3 * B),
      -6 * y / (A2 * B) + 12 * x * y / (A3 * B),
      6 / A2 - 12 * x / A3 - 6 * y / (A2 * B) + 12 * x * y / (A3 * B),
      6 * y / (A2 * B) - 12 * x * y / (A3 * B),
  };
  const double ft[4] = {
      6 * x / A2 - 4 / A + 4 * y / (A * B) - 6 * x * y / (A2 * B),
      -4 * y / (A * B) + 6 * x * y / (A2 * B),
      6 * x / A2 - 2 / A + 2 * y / (A * B) - 6 * x * y / (A2 * B),
      -2 * y / (A * B) + 6 * x * y / (A2 * B),
  };
  double s = 0;
  for (int i = 0; i < 4; ++i) s += fw[i] * defl(R, el.P[i]) + ft[i] * roty(R, el.P[i]);
  return s;
}

// w_yy = sum of gw[i] w_i + gt[i] X-ROTATION_i (the Y-ROTATION terms vanish).
double wyy_at(const ElementCorners& el, const std::vector<double>& R, double x, double y) {
  const double A = el.A, B = el.B;
  const double B2 = B * B, B3 = B * B * B;
  const double gw[4] = {
      -6 / B2 + 12 * y / B3 + 6 * x / (A * B2) - 12 * x * y / (A * B3),
      6 / B2 - 12 * y / B3 - 6 * x / (A * B2) + 12 * x * y / (A * B3),
      -6 * x / (A * B2) + 12 * x * y / (A * B3),
      6 * x / (A * B2) - 12 * x * y / (A * B3),
  };
  const double gt[4] = {
      4 / B - 6 * y / B2 - 4 * x / (A * B) + 6 * x * y / (A * B2),
      2 / B - 6 * y / B2 - 2 * x / (A * B) + 6 * x * y / (A * B2),
      4 * x / (A * B) - 6 * x * y / (A * B2),
      2 * x / (A * B) - 6 * x * y / (A * B2),
  };
  double s = 0;
  for (int i = 0; i < 4; ++i) s += gw[i] * defl(R, el.P[i]) + gt[i] * rotx(R, el.P[i]);
  return s;
}

}  // namespace

ElementCorners element_corners(const Control& C, const Work& w, int e) {
  ElementCorners el;
  el.P = ELNODE(e, C.NYT);
  el.A = w.XN[el.P[2] - 1] - w.XN[el.P[0] - 1];
  el.B = w.YN[el.P[1] - 1] - w.YN[el.P[0] - 1];
  return el;
}

Curvatures2 vlasov_curvatures(const ElementCorners& el, const std::vector<double>& R, int c) {
  const double x = kCorner[c][0] * el.A;
  const double y = kCorner[c][1] * el.B;
  return {wxx_at(el, R, x, y), wyy_at(el, R, x, y)};
}

}  // namespace meridolan::results
