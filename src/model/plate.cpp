// Plate element: rigidities of the layers and the closed-form bending matrix.
#include "model/plate.h"

#include <cstdint>

#include "base/widest.h"

namespace meridolan {

namespace {

double cube(double x) {
  return x * x * x;
}

// Entry of every block-triangle word as a signed index into T1..T21; 0 for the words
// that stay zero (the zeros of the matrix and the words below the block diagonals).
constexpr std::int8_t kTerm[90] = {
    1,  4,   5,   0,   2,  6,  0,   0, 3,   // (1,1)
    7,  -9,  11,  9,   10, 0,  11,  0, 12,  // (1,2)
    8,  13,  -14, 13,  18, 0,  14,  0, 20,  // (1,3)
    15, -16, -17, 16,  19, 0,  17,  0, 21,  // (1,4)
    1,  -4,  5,   0,   2,  -6, 0,   0, 3,   // (2,2)
    15, 16,  -17, -16, 19, 0,  17,  0, 21,  // (2,3)
    8,  -13, -14, -13, 18, 0,  14,  0, 20,  // (2,4)
    1,  4,   -5,  0,   2,  -6, 0,   0, 3,   // (3,3)
    7,  -9,  -11, 9,   10, 0,  -11, 0, 12,  // (3,4)
    1,  -4,  -5,  0,   2,  6,  0,   0, 3,   // (4,4)
};

}  // namespace

std::array<double, 2> RIGID(const Control& C, const PlateLayers& L) {
  const double h1 = L.top.thickness, e1 = L.top.modulus;
  const double h2 = L.bottom.thickness, e2 = L.bottom.modulus;
  const double nu1 = C.PR1;
  if (C.NLAYER != 2) return {e1 * cube(h1) / (12.0 * (1.0 - nu1 * nu1)), 0.0};
  const double nu2 = C.PR2;
  if (C.ICOMP != 1) {
    return {e1 * cube(h1) / (12.0 * (1.0 - nu1 * nu1)), e2 * cube(h2) / (12.0 * (1.0 - nu2 * nu2))};
  }
  // Bonded: each layer bends about the common axis, h^3 + 12*h*d^2 for offset d.
  const AxisDistances z = NAXIS(L);
  const double H1 = (cube(h1 + 2.0 * z.ZNA1) + cube(h1 - 2.0 * z.ZNA1)) * 0.5;
  const double H2 = (cube(h2 + 2.0 * z.ZNA2) + cube(h2 - 2.0 * z.ZNA2)) * 0.5;
  return {e1 * H1 / (12.0 * (1.0 - nu1 * nu1)), e2 * H2 / (12.0 * (1.0 - nu2 * nu2))};
}

MERIDOLAN_WIDEST void PLAYER(double a, double b, double nu, double g, double clay,
                             std::span<double> EKL) {
  const double p = a * a / (b * b);
  const double q = b * b / (a * a);
  const double b2 = b * b;
  const double a2 = a * a;
  double T[22];
  T[0] = 0.0;
  T[1] = 60.0 * q + 60.0 * p + 30.0 * nu + 84.0 * g;
  T[2] = 4.0 * b2 * (20.0 * p + 8.0 * g);
  T[3] = 4.0 * a2 * (20.0 * q + 8.0 * g);
  T[4] = 2.0 * b * (-30.0 * p - 15.0 * nu - 6.0 * g);
  T[5] = 2.0 * a * (30.0 * q + 15.0 * nu + 6.0 * g);
  T[6] = -60.0 * nu * a * b;
  T[7] = 30.0 * q - 60.0 * p - 30.0 * nu - 84.0 * g;
  T[8] = 30.0 * p - 60.0 * q - 30.0 * nu - 84.0 * g;
  T[9] = 2.0 * b * (30.0 * p + 6.0 * g);
  T[10] = 4.0 * b2 * (10.0 * p - 2.0 * g);
  T[11] = 2.0 * a * (15.0 * q - 15.0 * nu - 6.0 * g);
  T[12] = 4.0 * a2 * (10.0 * q - 8.0 * g);
  T[13] = 2.0 * b * (-15.0 * p + 15.0 * nu + 6.0 * g);
  T[14] = 2.0 * a * (-30.0 * q - 6.0 * g);
  T[15] = -30.0 * q - 30.0 * p + 30.0 * nu + 84.0 * g;
  T[16] = 2.0 * b * (15.0 * p - 6.0 * g);
  T[17] = 2.0 * a * (-15.0 * q + 6.0 * g);
  T[18] = 4.0 * b2 * (10.0 * p - 8.0 * g);
  T[19] = 4.0 * b2 * (5.0 * p + 2.0 * g);
  T[20] = 4.0 * a2 * (10.0 * q - 2.0 * g);
  T[21] = 4.0 * a2 * (5.0 * q + 2.0 * g);
  for (int k = 0; k < 90; ++k) {
    const int t = kTerm[k];
    EKL[k] = t > 0 ? clay * T[t] : (t < 0 ? clay * -T[-t] : 0.0);
  }
}

void PLATE(const Control& C, double a, double b, const PlateLayers& L, std::span<double> CLAY,
           std::span<double> EKL, std::span<double> EK) {
  const std::array<double, 2> D = RIGID(C, L);
  const double nu[2] = {C.PR1, C.NLAYER == 2 ? C.PR2 : 0.0};
  // Both layers are always formed; a missing second layer gives a zero matrix.
  for (int L = 0; L < 2; ++L) {
    CLAY[L] = D[L] / (b * a * 60.0);
    PLAYER(a, b, nu[L], C.GSH[L], CLAY[L], EKL.subspan(90 * L, 90));
  }
  for (int k = 0; k < 90; ++k) EK[k] = EKL[k] + EKL[90 + k];
}

}  // namespace meridolan
