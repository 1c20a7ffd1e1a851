// A temperature that varies linearly through a layer bends it like a moment
// M = h^2 DT ALF E / (12 (1 - PR)) along its edges. Element by element the moments
// cancel between neighbours and leave the bending at free edges and joints.
#include "supports/thermal_moments.h"

#include <array>
#include <cmath>

#include "model/mesh.h"

namespace meridolan {

namespace {

// One third rounded to single precision: the equivalent thicknesses are formed with it.
constexpr double kOneThird = 0.3333333432674408;

double layer_moment(double h, double DT, double ALF, double E, double PR) {
  return h * h * DT * ALF * E / (12.0 * (1.0 - PR));
}

// Bonded layers: each layer's thickness is replaced by the one whose bending stiffness
// about its own mid-plane equals the layer's about the common neutral axis, and its
// temperature difference is scaled with it.
// The axis is placed here with its own operations (not NAXIS's): the rounding of the
// moments, and so of the curling reports, stays as it is.
double bonded_moment(const Control& C, const PlateLayers& L) {
  const double th1 = L.top.thickness, e1 = L.top.modulus;
  const double th2 = L.bottom.thickness, e2 = L.bottom.modulus;
  const double ZNA2 = 0.5 * th1 * (th1 + th2) / (th1 + th2 * e2 / e1);
  const double ZNA1 = (th1 + th2) / 2.0 - ZNA2;
  const double h1 = std::pow(std::pow(th1, 3.0) + 12.0 * th1 * ZNA1 * ZNA1, kOneThird);
  const double h2 = std::pow(std::pow(th2, 3.0) + 12.0 * th2 * ZNA2 * ZNA2, kOneThird);
  const double t1 = C.DT1 * h1 / th1;
  const double t2 = C.DT2 * h2 / th2;
  return layer_moment(h2, t2, C.ALF2, e2, C.PR2) + layer_moment(h1, t1, C.ALF1, e1, C.PR1);
}

}  // namespace

PlateLayers element_layers(const Control& C, const Work& w, int e) {
  double th1 = 0, e1 = 0, th2 = 0, e2 = 0;
  for (int p : ELNODE(e, C.NYT)) {
    th1 += w.THN1[p - 1];
    e1 += w.EN1[p - 1];
    if (C.NLAYER == 2) {
      th2 += w.THN2[p - 1];
      e2 += w.EN2[p - 1];
    }
  }
  return {.top = {.thickness = th1 / 4.0, .modulus = e1 / 4.0},
          .bottom = {.thickness = th2 / 4.0, .modulus = e2 / 4.0}};
}

bool bonded_thermal(const Control& C) {
  return C.NLAYER == 2 && C.ICOMP == 1 && (C.DT1 != 0.0 || C.DT2 != 0.0);
}

double thermal_moment(const Control& C, const PlateLayers& L) {
  const PlateLayer& top = L.top;
  const PlateLayer& bottom = L.bottom;
  if (C.NLAYER != 2) return layer_moment(top.thickness, C.DT1, C.ALF1, top.modulus, C.PR1);
  if (C.ICOMP == 1) return bonded_thermal(C) ? bonded_moment(C, L) : 0.0;
  return layer_moment(bottom.thickness, C.DT2, C.ALF2, bottom.modulus, C.PR2) +
         layer_moment(top.thickness, C.DT1, C.ALF1, top.modulus, C.PR1);
}

void add_thermal_moments(const Control& C, const Work& w, std::vector<double>& R) {
  // Rotation about x (equation 3n - 1) and about y (3n) of the four corners, in the
  // corner order low x low y, low x high y, high x low y, high x high y.
  constexpr double kSa[4] = {1.0, -1.0, 1.0, -1.0};
  constexpr double kSb[4] = {-1.0, -1.0, 1.0, 1.0};
  for (int e = 1; e <= C.NELEM; ++e) {
    const std::array<int, 4> P = ELNODE(e, C.NYT);
    const double a = (w.XN[P[2] - 1] - w.XN[P[0] - 1]) / 2.0;
    const double b = (w.YN[P[1] - 1] - w.YN[P[0] - 1]) / 2.0;
    if (a == 0.0 || b == 0.0) continue;
    const double M = thermal_moment(C, element_layers(C, w, e));
    const double Ma = M * a, Mb = M * b;
    for (int m = 0; m < 4; ++m) {
      R[3 * (P[m] - 1) + 1] += kSa[m] * Ma;
      R[3 * (P[m] - 1) + 2] += kSb[m] * Mb;
    }
  }
}

}  // namespace meridolan
