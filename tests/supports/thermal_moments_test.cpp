// Thermal moment of one element against the integral of E alpha T z over its depth.
#include "supports/thermal_moments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "support/dimensions.h"

namespace meridolan {
namespace {

// Simpson's rule over [a, b] in 200 panels: exact for the quadratic integrands here.
double integral(const std::function<double(double)>& f, double a, double b) {
  const int n = 200;
  const double h = (b - a) / n;
  double s = f(a) + f(b);
  for (int i = 1; i < n; ++i) s += f(a + i * h) * (i % 2 == 1 ? 4 : 2);
  return s * h / 3;
}

struct Section {
  double h1, e1, h2, e2;
  // Height of the neutral axis above the bottom face by the transformed section.
  double axis() const {
    return (e1 * h1 * (h2 + h1 / 2) + e2 * h2 * (h2 / 2)) / (e1 * h1 + e2 * h2);
  }
};

Control bonded(double pr1, double pr2) {
  Control C;
  C.NLAYER = 2, C.ICOMP = 1, C.PR1 = pr1, C.PR2 = pr2;
  return C;
}

PlateLayers layers(const Section& s) {
  return {.top = {.thickness = s.h1, .modulus = s.e1},
          .bottom = {.thickness = s.h2, .modulus = s.e2}};
}

// The moment per unit length of temperatures T1(z), T2(z) in the layers, z the height
// above the bottom face, about the height zc: sum of E alpha T (z - zc) / (1 - nu).
double moment(const Section& s, const Control& C, const std::function<double(double)>& T1,
              const std::function<double(double)>& T2, double zc) {
  const double top = integral([&](double z) { return T1(z) * (z - zc); }, s.h2, s.h1 + s.h2);
  const double bottom = integral([&](double z) { return T2(z) * (z - zc); }, 0, s.h2);
  return s.e1 * C.ALF1 * top / (1 - C.PR1) + s.e2 * C.ALF2 * bottom / (1 - C.PR2);
}

TEST(ThermalMoment, BondedLayersUnderOneLinearProfileBendAboutTheTransformedSectionsAxis) {
  // A temperature linear through the whole depth, of gradient G and any level: the
  // level adds nothing about the neutral axis when both layers expand alike.
  const double G = 1.75;  // degrees per unit depth, top warmer
  for (const Section s :
       {Section{6, 4e6, 4, 1e6}, Section{5, 1e6, 7, 4e6}, Section{8, 4e6, 8, 4e6}}) {
    Control C = bonded(0.15, 0.15);
    C.ALF1 = C.ALF2 = 5.5e-6;
    C.DT1 = G * s.h1, C.DT2 = G * s.h2;
    const auto T = [&](double z) { return 37.0 + G * z; };
    const double expected = moment(s, C, T, T, s.axis());
    EXPECT_NEAR(thermal_moment(C, layers(s)), expected, 1e-6 * expected) << s.h1 << " " << s.e1;
  }
}

TEST(ThermalMoment, BondedLayersWithTheirOwnGradientsAndCoefficients) {
  // Each layer's temperature runs with its own gradient DT / h through zero at the
  // common axis; a layer without a temperature difference adds nothing, and the
  // other one still bends the section.
  const Section s{6, 4e6, 4, 1.5e6};
  const double zc = s.axis();
  const double cases[][2] = {{-15, -5}, {10, -6}, {0, 8}, {-12, 0}};
  for (const auto& dt : cases) {
    Control C = bonded(0.15, 0.25);
    C.ALF1 = 5.5e-6, C.ALF2 = 7.0e-6;
    C.DT1 = dt[0], C.DT2 = dt[1];
    const auto T1 = [&](double z) { return C.DT1 / s.h1 * (z - zc); };
    const auto T2 = [&](double z) { return C.DT2 / s.h2 * (z - zc); };
    const double expected = moment(s, C, T1, T2, zc);
    EXPECT_NEAR(thermal_moment(C, layers(s)), expected, 1e-6 * std::abs(expected))
        << dt[0] << " " << dt[1];
  }
  Control C = bonded(0.15, 0.25);
  C.ALF1 = C.ALF2 = 5.5e-6;
  EXPECT_EQ(thermal_moment(C, layers(s)), 0.0);
}

TEST(ThermalMoment, SeparateLayersBendAboutTheirOwnMidPlanes) {
  const Section s{7, 4e6, 5, 2e6};
  Control C;
  C.NLAYER = 2, C.ICOMP = 0, C.PR1 = 0.15, C.PR2 = 0.2;
  C.ALF1 = 5.5e-6, C.ALF2 = 6.0e-6;
  C.DT1 = -20, C.DT2 = 6;
  // Each layer's own profile through zero at its mid-plane, each about that plane.
  const double top = integral([&](double z) { return C.DT1 / s.h1 * z * z; }, -s.h1 / 2, s.h1 / 2);
  const double bottom =
      integral([&](double z) { return C.DT2 / s.h2 * z * z; }, -s.h2 / 2, s.h2 / 2);
  const double expected = s.e1 * C.ALF1 * top / (1 - C.PR1) + s.e2 * C.ALF2 * bottom / (1 - C.PR2);
  EXPECT_NEAR(thermal_moment(C, layers(s)), expected, 1e-12 * std::abs(expected));
}

// Node moments of one layer on the mesh of node lines xc (counts nnx per slab column)
// by yc, under a temperature difference of 10.
std::vector<double> node_moments(const std::vector<double>& xc, const std::vector<int>& nnx,
                                 const std::vector<double>& yc) {
  Control C;
  C.NLAYER = 1, C.PR1 = 0.15, C.DT1 = 10, C.ALF1 = 5.5e-6;
  testing::dimension(C, nnx, {static_cast<int>(yc.size())});
  Work w;
  for (double x : xc)
    for (double y : yc) {
      w.XN.push_back(x);
      w.YN.push_back(y);
    }
  w.THN1.assign(C.NNODE, 8.0);
  w.EN1.assign(C.NNODE, 4e6);
  std::vector<double> R(C.NEQ, 0.0);
  add_thermal_moments(C, w, R);
  return R;
}

TEST(ThermalMoment, SlabsAcrossAJointTakeTheMomentsOfTwoFreeSlabs) {
  // The zero-width elements of a joint carry no moment: each face is a free edge.
  const std::vector<double> yc = {0, 40, 80, 120};
  const auto jointed = node_moments({0, 30, 60, 60, 90, 120}, {3, 3}, yc);
  const auto first = node_moments({0, 30, 60}, {3}, yc);
  const auto second = node_moments({60, 90, 120}, {3}, yc);
  ASSERT_EQ(jointed.size(), first.size() + second.size());
  for (std::size_t k = 0; k < first.size(); ++k) EXPECT_EQ(jointed[k], first[k]) << k;
  for (std::size_t k = 0; k < second.size(); ++k)
    EXPECT_EQ(jointed[first.size() + k], second[k]) << k;
  // A face node away from the corners: its two elements on one side only.
  const double M = 8.0 * 8.0 * 10 * 5.5e-6 * 4e6 / (12 * 0.85);
  EXPECT_DOUBLE_EQ(jointed[3 * (2 * 4 + 2 - 1) + 2], 2 * M * 20);   // near face, node 10
  EXPECT_DOUBLE_EQ(jointed[3 * (3 * 4 + 2 - 1) + 2], -2 * M * 20);  // far face, node 14
}

}  // namespace
}  // namespace meridolan
