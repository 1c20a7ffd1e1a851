// Nodal stresses from prescribed displacement fields whose curvatures are known:
// the plate element reproduces quadratic deflections exactly, so every node of a
// graded mesh must recover them.
#include "results/layer_stress.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model_fixture.h"

namespace meridolan::testing {
namespace {

// w = c x^2 + d y^2 + e x y, with slopes; curvatures w_xx = 2c, w_yy = 2d, w_xy = e.
struct Quadratic {
  double c, d, e;
  double w(double x, double y) const { return c * x * x + d * y * y + e * x * y; }
  double wx(double x, double y) const { return 2 * c * x + e * y; }
  double wy(double x, double y) const { return 2 * d * y + e * x; }
};

void apply(Model& m, const Quadratic& q) {
  set_field(
      m, [&](double x, double y) { return q.w(x, y); },
      [&](double x, double y) { return q.wx(x, y); },
      [&](double x, double y) { return q.wy(x, y); });
}

// Bending stresses at the bottom of a layer bending about its own mid-plane
// (compression positive: hogging, w_xx > 0 with w downwards, compresses the bottom).
struct Plate {
  double sx, sy, sxy;
};
Plate plate_stress(const Quadratic& q, double h, double E, double nu) {
  const double D = h * h * h * E / (12 * (1 - nu * nu));
  return {6 * D * (2 * q.c + 2 * nu * q.d) / (h * h), 6 * D * (2 * q.d + 2 * nu * q.c) / (h * h),
          -6 * D * (1 - nu) * q.e / (h * h)};
}

double s(const Model& m, int n, int k) {
  return col(m.w.STN1, m.C.NNODE, n, k);
}
double s2(const Model& m, int n, int k) {
  return col(m.w.STN2, m.C.NNODE, n, k);
}

void expect_rel(double got, double want, const char* what) {
  EXPECT_NEAR(got, want, 1e-9 * std::max(1.0, std::abs(want))) << what;
}

TEST(LayerStress, QuadraticFieldOnAGradedMesh) {
  Model m = make_model({6}, {5}, 12.0, 10.0, true);
  const Quadratic q{1e-4, -4e-5, 3e-5};
  apply(m, q);
  results::nodal_stresses(m.C, m.w);
  const Plate p = plate_stress(q, m.C.TH1, m.C.E1, m.C.PR1);
  const double avg = (p.sx + p.sy) / 2;
  const double root = std::sqrt(0.25 * (p.sx - p.sy) * (p.sx - p.sy) + p.sxy * p.sxy);
  const int NYT = m.C.NYT, NXT = m.C.NXT;
  for (int n = 1; n <= m.C.NNODE; ++n) {
    const int ix = (n - 1) / NYT + 1, iy = (n - 1) % NYT + 1;
    const bool xe = ix == 1 || ix == NXT, ye = iy == 1 || iy == NYT;
    SCOPED_TRACE("node " + std::to_string(n));
    if (xe && ye) {
      for (int k = 1; k <= 5; ++k) EXPECT_EQ(s(m, n, k), 0.0);
    } else if (ye) {  // bottom or top edge: only the stress along the edge
      expect_rel(s(m, n, 1), p.sx, "x");
      EXPECT_EQ(s(m, n, 2), 0.0);
      EXPECT_EQ(s(m, n, 3), 0.0);
      expect_rel(s(m, n, 4), std::max(p.sx, 0.0), "major");
      expect_rel(s(m, n, 5), std::min(p.sx, 0.0), "minor");
    } else if (xe) {
      EXPECT_EQ(s(m, n, 1), 0.0);
      expect_rel(s(m, n, 2), p.sy, "y");
      EXPECT_EQ(s(m, n, 3), 0.0);
    } else {
      expect_rel(s(m, n, 1), p.sx, "x");
      expect_rel(s(m, n, 2), p.sy, "y");
      expect_rel(s(m, n, 3), p.sxy, "xy");
      expect_rel(s(m, n, 4), avg + root, "major");
      expect_rel(s(m, n, 5), avg - root, "minor");
    }
  }
  // Curvature sums hold DIVN element terms: four at an interior node, Kx = -w_xx - nu w_yy.
  const int interior = NYT + 2;
  EXPECT_NEAR(col(m.w.STS1, m.C.NNODE, interior, 1), -4 * (2 * q.c + 2 * m.C.PR1 * q.d), 1e-15);
}

TEST(LayerStress, RigidMotionGivesNoStress) {
  Model m = make_model({3, 4}, {4, 3}, 12.0, 10.0, true);
  set_field(
      m, [](double x, double y) { return 0.3 + 0.01 * x - 0.02 * y; },
      [](double, double) { return 0.01; }, [](double, double) { return -0.02; });
  results::nodal_stresses(m.C, m.w);
  for (int n = 1; n <= m.C.NNODE; ++n)
    for (int k = 1; k <= 5; ++k) EXPECT_NEAR(s(m, n, k), 0.0, 1e-6) << n << " " << k;
}

TEST(LayerStress, TemperatureAloneOnAFlatSlab) {
  Model m = make_model({4, 3}, {5});
  m.C.DT1 = 10;
  m.C.ALF1 = 5e-6;
  results::nodal_stresses(m.C, m.w);
  const double t = -m.C.E1 * m.C.DT1 * m.C.ALF1 / (2 * (1 - m.C.PR1));
  const int NYT = m.C.NYT;
  // Slab 1 (node lines 1-4): interior node, bottom edge, top edge, left edge, corner.
  EXPECT_DOUBLE_EQ(s(m, NYT + 2, 1), t);
  EXPECT_DOUBLE_EQ(s(m, NYT + 2, 2), t);
  EXPECT_EQ(s(m, NYT + 2, 3), 0.0);
  EXPECT_DOUBLE_EQ(s(m, NYT + 1, 1), t);
  EXPECT_EQ(s(m, NYT + 1, 2), 0.0);
  EXPECT_DOUBLE_EQ(s(m, 2 * NYT, 1), t);
  EXPECT_EQ(s(m, 2 * NYT, 2), 0.0);
  EXPECT_EQ(s(m, 3, 1), 0.0);
  EXPECT_DOUBLE_EQ(s(m, 3, 2), t);
  // Both faces of the joint are free edges of their slabs.
  EXPECT_EQ(s(m, 3 * NYT + 3, 1), 0.0);
  EXPECT_DOUBLE_EQ(s(m, 3 * NYT + 3, 2), t);
  EXPECT_EQ(s(m, 4 * NYT + 3, 1), 0.0);
  EXPECT_DOUBLE_EQ(s(m, 4 * NYT + 3, 2), t);
  for (int n : {1, NYT, 3 * NYT + 1, 4 * NYT, 4 * NYT + 1, m.C.NNODE})
    for (int k = 1; k <= 5; ++k) EXPECT_EQ(s(m, n, k), 0.0) << n << " " << k;
}

TEST(LayerStress, BondedEqualLayersActAsOnePlateOfDoubleThickness) {
  const Quadratic q{1e-4, -4e-5, 3e-5};
  Model m = make_model({4}, {4});
  add_layer(m, m.C.TH1, m.C.E1, m.C.PR1, 1);
  m.C.DT1 = m.C.DT2 = 12;
  m.C.ALF1 = m.C.ALF2 = 5e-6;
  apply(m, q);
  results::nodal_stresses(m.C, m.w);
  const AxisDistances na = NAXIS(results::node_layers(m.w, 1));
  EXPECT_EQ(na.ZNA1, 5.0);
  EXPECT_EQ(na.ZNA2, 5.0);

  const Plate p = plate_stress(q, 2 * m.C.TH1, m.C.E1, m.C.PR1);
  const double thermal = m.C.E2 * m.C.DT2 * m.C.ALF2 / (1 - m.C.PR2);
  const int interior = m.C.NYT + 2;
  for (int n = 1; n <= m.C.NNODE; ++n) {
    // The interface is the neutral axis: no bending and no temperature stress.
    EXPECT_EQ(s(m, n, 1), 0.0) << n;
    EXPECT_EQ(s(m, n, 2), 0.0) << n;
  }
  expect_rel(s2(m, interior, 1), p.sx - thermal, "x");
  expect_rel(s2(m, interior, 2), p.sy - thermal, "y");
  // The shear test looks at the top layer, whose bottom is the neutral axis here,
  // so the bottom layer loses its shear as well.
  EXPECT_EQ(s2(m, interior, 3), 0.0);
}

TEST(LayerStress, UnbondedLayersBendAboutTheirOwnMidPlanes) {
  const Quadratic q{1e-4, -4e-5, 3e-5};
  Model m = make_model({4}, {4}, 12.0, 10.0, true);
  add_layer(m, 6.0, 1.5e6, 0.3, 0);
  apply(m, q);
  results::nodal_stresses(m.C, m.w);
  const Plate p1 = plate_stress(q, m.C.TH1, m.C.E1, m.C.PR1);
  const Plate p2 = plate_stress(q, 6.0, 1.5e6, 0.3);
  const int interior = m.C.NYT + 2;
  expect_rel(s(m, interior, 1), p1.sx, "x1");
  expect_rel(s(m, interior, 3), p1.sxy, "xy1");
  expect_rel(s2(m, interior, 1), p2.sx, "x2");
  expect_rel(s2(m, interior, 2), p2.sy, "y2");
  expect_rel(s2(m, interior, 3), p2.sxy, "xy2");
  // Edge rules reach the bottom layer too.
  EXPECT_EQ(s2(m, 2, 1), 0.0);
  EXPECT_EQ(s2(m, 2, 3), 0.0);
  expect_rel(s2(m, 2, 2), p2.sy, "left edge y2");
}

TEST(LayerStress, ShearNeedsBothNormalStresses) {
  // Pure twist: the normal stresses vanish exactly, so the shear is dropped too.
  Model m = make_model({4}, {4});
  apply(m, Quadratic{0, 0, 2e-5});
  results::nodal_stresses(m.C, m.w);
  const int interior = m.C.NYT + 2;
  EXPECT_EQ(s(m, interior, 1), 0.0);
  EXPECT_EQ(s(m, interior, 3), 0.0);
}

TEST(LayerStress, BottomSymmetryLineKeepsTheNormalStresses) {
  const Quadratic q{1e-4, -4e-5, 0};  // symmetric about y = 0 and x = 0
  Model m = make_model({4}, {4});
  m.C.ISYM = 1;
  apply(m, q);
  results::nodal_stresses(m.C, m.w);
  const Plate p = plate_stress(q, m.C.TH1, m.C.E1, m.C.PR1);
  const int NYT = m.C.NYT, last = m.C.NNODE - NYT + 1;
  expect_rel(s(m, NYT + 1, 1), p.sx, "bottom row x");
  expect_rel(s(m, NYT + 1, 2), p.sy, "bottom row y");
  for (int n : {1, last}) {  // mesh corners on the line: a free edge across x
    EXPECT_EQ(s(m, n, 1), 0.0) << n;
    expect_rel(s(m, n, 2), p.sy, "corner y");
    EXPECT_EQ(s(m, n, 3), 0.0) << n;
  }
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(s(m, NYT, k), 0.0);  // free corner
}

TEST(LayerStress, LeftSymmetryLineKeepsTheNormalStresses) {
  const Quadratic q{1e-4, -4e-5, 0};
  Model m = make_model({4}, {4});
  m.C.ISYM = 2;
  apply(m, q);
  results::nodal_stresses(m.C, m.w);
  const Plate p = plate_stress(q, m.C.TH1, m.C.E1, m.C.PR1);
  const int NYT = m.C.NYT;
  expect_rel(s(m, 2, 1), p.sx, "line x");
  expect_rel(s(m, 2, 2), p.sy, "line y");
  for (int n : {1, NYT}) {  // bottom and top of the line: free edges along x
    expect_rel(s(m, n, 1), p.sx, "end x");
    EXPECT_EQ(s(m, n, 2), 0.0) << n;
    EXPECT_EQ(s(m, n, 3), 0.0) << n;
  }
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(s(m, m.C.NNODE - NYT + 1, k), 0.0);
}

TEST(LayerStress, JointCornersOnTheSymmetryLineCarryNoStressAcrossTheJoint) {
  const Quadratic q{1e-4, -4e-5, 0};
  Model m = make_model({3, 3}, {4});
  m.C.ISYM = 1;
  apply(m, q);
  results::nodal_stresses(m.C, m.w);
  const Plate p = plate_stress(q, m.C.TH1, m.C.E1, m.C.PR1);
  for (int n : {9, 13}) {
    EXPECT_EQ(s(m, n, 1), 0.0) << n;
    expect_rel(s(m, n, 2), p.sy, "joint corner y");
    EXPECT_EQ(s(m, n, 3), 0.0) << n;
  }
}

}  // namespace
}  // namespace meridolan::testing
