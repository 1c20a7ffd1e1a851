// Plate element: closed-form matrix against known rows and against the exact
// integral of the bending energy of the shape functions; layer combinations.
#include "model/plate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/shape_poly.h"

namespace meridolan {
namespace {

using testing::Poly;

using Full = std::array<std::array<double, 12>, 12>;

// Symmetric 12 x 12 matrix of a block triangle.
Full full(std::span<const double> EK) {
  Full K{};
  for (int k = 0; k < 90; ++k) {
    const auto rc = testing::wordRC(k);
    if (rc[0] < 0) continue;
    K[rc[0]][rc[1]] = EK[k];
    K[rc[1]][rc[0]] = EK[k];
  }
  return K;
}

// Exact bending stiffness D * integral of the curvature energy of the shape functions.
Full bending(double a, double b, double nu, double D) {
  const auto N = testing::shapes(a, b);
  std::array<Poly, 12> wxx, wyy, wxy;
  for (int i = 0; i < 12; ++i) {
    wxx[i] = (1 / (a * a)) * testing::dxi(testing::dxi(N[i]));
    wyy[i] = (1 / (b * b)) * testing::deta(testing::deta(N[i]));
    wxy[i] = (1 / (a * b)) * testing::dxi(testing::deta(N[i]));
  }
  Full K{};
  for (int i = 0; i < 12; ++i)
    for (int j = 0; j < 12; ++j) {
      const Poly e = wxx[i] * wxx[j] + wyy[i] * wyy[j] + nu * (wxx[i] * wyy[j]) +
                     nu * (wyy[i] * wxx[j]) + (2 * (1 - nu)) * (wxy[i] * wxy[j]);
      K[i][j] = D * a * b * testing::integral(e);
    }
  return K;
}

// The layers of an element; a one-layer element leaves the bottom one zero.
PlateLayers layers(PlateLayer top, PlateLayer bottom = {}) {
  return {.top = top, .bottom = bottom};
}

Control oneLayer(double nu) {
  Control C;
  C.NLAYER = 1;
  C.PR1 = nu;
  C.GSH = {(1 - nu) / 2, 0.5};
  return C;
}

// Element matrix of one layer of rigidity D (thickness 1, modulus chosen for D).
std::array<double, 90> element(double a, double b, double nu, double D) {
  Control C = oneLayer(nu);
  std::array<double, 2> CLAY{};
  std::array<double, 180> EKL{};
  std::array<double, 90> EK{};
  PLATE(C, a, b, layers({.thickness = 1.0, .modulus = D * 12.0 * (1 - nu * nu)}), CLAY, EKL, EK);
  return EK;
}

void expectRow(const Full& K, int row, const std::vector<double>& want, double tol) {
  for (int c = 0; c < 12; ++c)
    EXPECT_NEAR(K[row][c], want[c], tol) << "row " << row << " col " << c;
}

TEST(Plate, KnownRowsOfSquareAndOblongElements) {
  const Full K = full(element(1, 1, 0, 60));
  expectRow(K, 0, {162, -66, 66, -72, -66, 24, -72, -24, 66, -18, -24, 24}, 1e-11);
  expectRow(K, 1, {-66, 96, 0, 66, 36, 0, -24, 24, 0, 24, 24, 0}, 1e-11);
  expectRow(K, 2, {66, 0, 96, 24, 0, 24, -66, 0, 36, -24, 0, 24}, 1e-11);

  const Full L = full(element(2, 1, 0.15, 120));
  expectRow(L, 0,
            {295.2, -249.6, 49.2, -272.7, -245.1, -4.2, 64.8, -110.4, 40.2, -87.3, -114.9, 4.8},
            1e-10);
}

TEST(Plate, EqualsExactBendingIntegral) {
  for (const auto& [a, b, nu] :
       {std::array<double, 3>{1, 1, 0}, {2, 1, 0.15}, {0.7, 3.1, 0.3}, {12.5, 7.25, 0.2}}) {
    const Full K = full(element(a, b, nu, 3.5e5));
    const Full X = bending(a, b, nu, 3.5e5);
    double big = 0;
    for (const auto& r : X)
      for (double v : r) big = std::max(big, std::abs(v));
    for (int i = 0; i < 12; ++i)
      for (int j = 0; j < 12; ++j)
        EXPECT_NEAR(K[i][j], X[i][j], 1e-12 * big) << a << " " << b << " " << i << "," << j;
  }
}

TEST(Plate, RigidMotionsGiveNoForce) {
  const double a = 1.3, b = 0.6;
  const Full K = full(element(a, b, 0.2, 1e6));
  constexpr double xs[4] = {-1, -1, 1, 1}, ys[4] = {-1, 1, -1, 1};
  // w = 1, w = x and w = y with theta-x = -dw/dy, theta-y = dw/dx.
  std::array<std::array<double, 12>, 3> modes{};
  for (int m = 0; m < 4; ++m) {
    modes[0][3 * m] = 1;
    modes[1][3 * m] = xs[m] * a;
    modes[1][3 * m + 2] = 1;
    modes[2][3 * m] = ys[m] * b;
    modes[2][3 * m + 1] = -1;
  }
  for (const auto& u : modes)
    for (int i = 0; i < 12; ++i) {
      double f = 0, s = 0;
      for (int j = 0; j < 12; ++j) {
        f += K[i][j] * u[j];
        s += std::abs(K[i][j] * u[j]);
      }
      EXPECT_NEAR(f, 0.0, 1e-13 * s);
    }
}

TEST(Plate, BondedLayers) {
  // Equal moduli and Poisson ratios: one layer of the summed thickness.
  const PlateLayers equal =
      layers({.thickness = 6, .modulus = 4e6}, {.thickness = 4, .modulus = 4e6});
  const AxisDistances z = NAXIS(equal);
  EXPECT_DOUBLE_EQ(z.ZNA2, 3.0);
  EXPECT_DOUBLE_EQ(z.ZNA1, 2.0);
  Control C = oneLayer(0.15);
  C.NLAYER = 2;
  C.ICOMP = 1;
  C.PR2 = 0.15;
  C.GSH = {0.425, 0.425};
  const auto D = RIGID(C, equal);
  const double unit = 4e6 / (12 * (1 - 0.15 * 0.15));
  EXPECT_NEAR(D[0], 504 * unit, 1e-9 * D[0]);
  EXPECT_NEAR(D[1], 496 * unit, 1e-9 * D[1]);

  std::array<double, 2> CLAY{};
  std::array<double, 180> EKL{};
  std::array<double, 90> two{}, one{};
  PLATE(C, 3, 2, equal, CLAY, EKL, two);
  PLATE(oneLayer(0.15), 3, 2, layers({.thickness = 10, .modulus = 4e6}), CLAY, EKL, one);
  for (int k = 0; k < 90; ++k) EXPECT_NEAR(two[k], one[k], 1e-12 * std::abs(one[0])) << k;

  // Unequal layers: neutral axis and rigidities to six digits.
  const PlateLayers unequal =
      layers({.thickness = 8, .modulus = 4e6}, {.thickness = 6, .modulus = 1e6});
  const AxisDistances u = NAXIS(unequal);
  EXPECT_NEAR(u.ZNA2, 5.89474, 5e-6);
  EXPECT_NEAR(u.ZNA1, 1.10526, 5e-6);
  C.PR1 = 0.15;
  C.PR2 = 0.2;
  const auto E = RIGID(C, unequal);
  EXPECT_NEAR(E[0], 214586000, 500);
  EXPECT_NEAR(E[1], 235925000, 500);
}

// Distance of the neutral axis below the top face of two bonded layers by the
// transformed section: the bottom layer's width scaled by E2 / E1.
double axis_below_top(double h1, double e1, double h2, double e2) {
  return (e1 * h1 * (h1 / 2) + e2 * h2 * (h1 + h2 / 2)) / (e1 * h1 + e2 * h2);
}

TEST(Plate, BondedNeutralAxisIsTheTransformedSectionsCentroid) {
  // Stiffer top, stiffer bottom, equal moduli, a thin stiff overlay.
  const double cases[][4] = {
      {8, 4e6, 6, 1e6}, {6, 1e6, 4, 4e6}, {5, 3e6, 5, 3e6}, {2, 2.9e7, 9, 4e6}};
  for (const auto& c : cases) {
    const double h1 = c[0], e1 = c[1], h2 = c[2], e2 = c[3];
    const PlateLayers L{.top = {.thickness = h1, .modulus = e1},
                        .bottom = {.thickness = h2, .modulus = e2}};
    const auto [zna1, zna2] = NAXIS(L);
    const double d = axis_below_top(h1, e1, h2, e2);
    EXPECT_NEAR(zna1, d - h1 / 2, 1e-12 * (h1 + h2)) << h1 << " " << e1 << " " << h2 << " " << e2;
    EXPECT_NEAR(zna2, h1 + h2 / 2 - d, 1e-12 * (h1 + h2)) << h1 << " " << e1 << " " << h2;
    // No net force of a uniform strain about the axis: the layers' first moments cancel.
    EXPECT_NEAR(e1 * h1 * zna1, e2 * h2 * zna2, 1e-12 * (e1 * h1 + e2 * h2) * (h1 + h2));

    // The rigidities are the layers' second moments about that axis.
    Control C;
    C.NLAYER = 2, C.ICOMP = 1, C.PR1 = 0.15, C.PR2 = 0.2;
    const auto D = RIGID(C, L);
    const double top = d, bottom = h1 + h2 - d;  // distances of the faces from the axis
    const double I1 = (std::pow(top, 3) - std::pow(top - h1, 3)) / 3;
    const double I2 = (std::pow(bottom, 3) - std::pow(bottom - h2, 3)) / 3;
    EXPECT_NEAR(D[0], e1 * I1 / (1 - 0.15 * 0.15), 1e-9 * D[0]);
    EXPECT_NEAR(D[1], e2 * I2 / (1 - 0.2 * 0.2), 1e-9 * D[1]);
  }
}

TEST(Plate, UnbondedLayersAddWithTheirOwnPoissonRatios) {
  Control C = oneLayer(0.15);
  C.NLAYER = 2;
  C.ICOMP = 0;
  C.PR2 = 0.35;
  C.GSH = {0.425, 0.325};
  std::array<double, 2> CLAY{};
  std::array<double, 180> EKL{};
  std::array<double, 90> both{}, top{}, bottom{};
  const PlateLayer upper{.thickness = 9, .modulus = 4e6}, lower{.thickness = 5, .modulus = 2e6};
  PLATE(C, 2.5, 4, layers(upper, lower), CLAY, EKL, both);
  Control Cb = oneLayer(0.35);
  PLATE(oneLayer(0.15), 2.5, 4, layers(upper), CLAY, EKL, top);
  PLATE(Cb, 2.5, 4, layers(lower), CLAY, EKL, bottom);
  for (int k = 0; k < 90; ++k) EXPECT_NEAR(both[k], top[k] + bottom[k], 1e-13 * both[0]) << k;
}

TEST(Plate, OneLayerFormsNoSecondLayer) {
  Control C = oneLayer(0.15);
  C.PR2 = 0.3;  // whatever the deck gave
  C.GSH = {0.425, 0.35};
  std::array<double, 2> CLAY{};
  std::array<double, 180> EKL{};
  std::array<double, 90> EK{};
  PLATE(C, 1, 1, layers({.thickness = 10, .modulus = 4e6}, {.thickness = 7, .modulus = 3e6}), CLAY,
        EKL, EK);
  EXPECT_EQ(CLAY[1], 0.0);
  EXPECT_TRUE(std::all_of(EKL.begin() + 90, EKL.end(), [](double v) { return v == 0.0; }));
}

}  // namespace
}  // namespace meridolan
