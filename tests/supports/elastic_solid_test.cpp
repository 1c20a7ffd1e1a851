// Node function, flexibility matrix and packed product of the elastic solid.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "base/control.h"
#include "solvers/packed.h"
#include "support/dimensions.h"
#include "supports/flexibility.h"
#include "supports/mltply.h"
#include "supports/sum.h"

namespace meridolan {
namespace {

struct Grid {
  Control C;
  std::vector<double> XN, YN;
  Grid(const std::vector<double>& xc, const std::vector<double>& yc, int isym = 0) {
    C.ISUBGR = 8;
    testing::dimension(C, {static_cast<int>(xc.size())}, {static_cast<int>(yc.size())});
    C.ISYM = isym;
    C.ESUB = 30000.0;
    C.PRSUB = 0.4;
    for (double x : xc)
      for (double y : yc) {
        XN.push_back(x);
        YN.push_back(y);
      }
  }
  double sum(int n, int mode) const { return SUM(C, n, mode, XN, YN, surface_constant(C)); }
  std::vector<double> F(const std::vector<int>& nodes,
                        Coupling coupling = Coupling::point_loads) const {
    std::vector<double> f(nodes.size() * (nodes.size() + 1) / 2);
    flexibility_matrix(C, XN, YN, nodes, f, coupling);
    return f;
  }
  std::vector<int> all() const {
    std::vector<int> n;
    for (int i = 1; i <= C.NNODE; ++i) n.push_back(i);
    return n;
  }
};

double entry(const std::vector<double>& F, int i, int j) {  // 1-based positions
  if (i > j) std::swap(i, j);
  return F[j * (j - 1) / 2 + i - 1];
}

// c times the integral of 1/r over the rectangle [0, L] x [0, S] (Gauss-Legendre in
// polar pieces would do as well; a fine midpoint rule converges here since the
// singularity at the corner is integrable and the cells avoid it).
double corner_by_quadrature(double c, double L, double S) {
  // In polar coordinates about the corner: int over theta of the ray length.
  const int n = 20000;
  const double t0 = std::atan2(S, L);
  double s = 0;
  const double pi2 = std::acos(0.0);
  for (int k = 0; k < n; ++k) {
    const double t = (k + 0.5) * (pi2 / n);
    s += (t < t0 ? L / std::cos(t) : S / std::sin(t)) * (pi2 / n);
  }
  return c * s;
}

TEST(ElasticSolidNode, CornerFormulaIsTheIntegralOfThePointLoadSolution) {
  const double c = 1e-5;
  for (auto [L, S] : {std::pair{5.0, 5.0}, {12.0, 3.0}, {7.0, 6.5}})
    EXPECT_NEAR(corner_deflection(c, L, S), corner_by_quadrature(c, L, S),
                1e-8 * corner_deflection(c, L, S));
  // Equal sides: c a 2 ln(1 + sqrt 2).
  EXPECT_NEAR(corner_deflection(c, 4.0, 4.0), c * 4.0 * 2.0 * std::log(1.0 + std::sqrt(2.0)),
              1e-18);
}

TEST(ElasticSolidNode, QuadrantsAndTributaryAreas) {
  const Grid g({0, 10, 20, 30}, {0, 10, 20});
  const double c = surface_constant(g.C);
  EXPECT_EQ(g.sum(1, 2), 25.0);   // corner: one quadrant
  EXPECT_EQ(g.sum(2, 2), 50.0);   // low x edge: two
  EXPECT_EQ(g.sum(5, 2), 100.0);  // interior: four, h^2
  EXPECT_EQ(g.sum(12, 2), 25.0);  // node NNODE
  // Interior node with half-sides 5: four equal corner terms over the area.
  EXPECT_DOUBLE_EQ(g.sum(5, 1), 4 * corner_deflection(c, 5.0, 5.0) / 100.0);
  // The corner terms per unit area are the same for any number of equal quadrants.
  EXPECT_DOUBLE_EQ(g.sum(1, 1), g.sum(5, 1));
  // Unequal half-sides: quadrants of 5 x 2.5 and 5 x 7.5 around node 2 of this mesh.
  const Grid h({0, 10}, {0, 5, 20});
  const double expected =
      (corner_deflection(c, 5.0, 2.5) + corner_deflection(c, 7.5, 5.0)) / (5.0 * 2.5 + 5.0 * 7.5);
  EXPECT_DOUBLE_EQ(h.sum(2, 1), expected);
}

TEST(ElasticSolidNode, QuadrantOfZeroWidthAddsNothing) {
  // Node lines 10 and 10 coincide (a joint strip): node 5, on the first of the two
  // lines, has quadrants of zero width towards the second.
  const Grid j({0, 10, 10, 20}, {0, 10, 20});
  const Grid plain({0, 10}, {0, 10, 20});
  EXPECT_TRUE(std::isfinite(j.sum(5, 1)));
  EXPECT_EQ(j.sum(5, 2), plain.sum(5, 2));
  EXPECT_DOUBLE_EQ(j.sum(5, 1), plain.sum(5, 1));
}

TEST(ElasticSolidFlexibility, NoSymmetryIsPointLoadsAndNodeFunction) {
  const Grid g({0, 10, 25}, {0, 10, 20, 40});
  const auto F = g.F(g.all());
  const double c = surface_constant(g.C);
  for (int i = 1; i <= g.C.NNODE; ++i)
    for (int j = 1; j <= g.C.NNODE; ++j) {
      if (i == j) {
        EXPECT_EQ(entry(F, i, i), g.sum(i, 1));
      } else {
        const double r = std::hypot(g.XN[i - 1] - g.XN[j - 1], g.YN[i - 1] - g.YN[j - 1]);
        EXPECT_DOUBLE_EQ(entry(F, i, j), c / r);
      }
    }
}

TEST(ElasticSolidFlexibility, MirrorImagesAboutTheFirstNodeLines) {
  // The mesh starts at x = 3, y = 5: the mirror lines are there, not at 0.
  const std::vector<double> xc{3, 13, 23}, yc{5, 15, 30};
  const double c = surface_constant(Grid(xc, yc).C);
  {
    const Grid g(xc, yc, 1);
    const auto F = g.F(g.all());
    EXPECT_DOUBLE_EQ(entry(F, 4, 4), 2 * g.sum(4, 1));         // on y = 5
    EXPECT_DOUBLE_EQ(entry(F, 5, 5), g.sum(5, 1) + c / 20.0);  // y = 15: image 20 away
    EXPECT_DOUBLE_EQ(entry(F, 1, 4), 2 * c / 10.0);            // both on the line
    EXPECT_DOUBLE_EQ(entry(F, 2, 5), c / 10.0 + c / std::hypot(10.0, 20.0));
  }
  {
    const Grid g(xc, yc, 2);
    const auto F = g.F(g.all());
    EXPECT_DOUBLE_EQ(entry(F, 2, 2), 2 * g.sum(2, 1));         // on x = 3
    EXPECT_DOUBLE_EQ(entry(F, 5, 5), g.sum(5, 1) + c / 20.0);  // x = 13
  }
  for (int isym : {3, 7, -1}) {  // every index beyond 0..2 takes all three images
    const Grid g(xc, yc, isym);
    const auto F = g.F(g.all());
    EXPECT_DOUBLE_EQ(entry(F, 1, 1), 4 * g.sum(1, 1));
    // Node 4 (13, 5): on the y mirror line only.
    EXPECT_DOUBLE_EQ(entry(F, 4, 4), 2 * g.sum(4, 1) + 2 * c / 20.0);
    // Node 5 (13, 15): three images at 20, 20 and 20 sqrt 2.
    EXPECT_DOUBLE_EQ(entry(F, 5, 5), g.sum(5, 1) + c / 20.0 + c / 20.0 + c / std::hypot(20, 20));
  }
  // Shifting the whole mesh changes nothing.
  const Grid a(xc, yc, 3), b({0, 10, 20}, {0, 10, 25}, 3);
  const auto Fa = a.F(a.all()), Fb = b.F(b.all());
  for (std::size_t k = 0; k < Fa.size(); ++k) EXPECT_NEAR(Fa[k], Fb[k], 1e-15 * std::abs(Fb[k]));
}

// c times the integral of 1/r from (px, py) over [x0, x1] x [y0, y1], a point outside
// the rectangle (smooth integrand): the midpoint rule on 400 x 400 cells.
double rect_by_quadrature(double c, double px, double py, double x0, double x1, double y0,
                          double y1) {
  const int n = 400;
  const double hx = (x1 - x0) / n, hy = (y1 - y0) / n;
  double s = 0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      s += 1.0 / std::hypot(x0 + (i + 0.5) * hx - px, y0 + (j + 0.5) * hy - py);
  return c * s * hx * hy;
}

TEST(ElasticSolidFlexibility, DistributedCouplingIsTheDeflectionUnderTheOtherArea) {
  // Node 8 at (10, 10) with the tributary area [5, 15] x [5, 15]; node 23 at (30, 50)
  // with [25, 35] x [40, 55].
  const Grid g({0, 10, 20, 30, 40}, {0, 10, 20, 30, 50, 60});
  const double c = surface_constant(g.C);
  ASSERT_EQ(g.sum(8, 2), 100.0);
  ASSERT_EQ(g.sum(23, 2), 150.0);
  const auto F = g.F(g.all(), Coupling::distributed_loads);
  const auto P = g.F(g.all());
  const double at8 = rect_by_quadrature(c, 10, 10, 25, 35, 40, 55) / 150.0;
  const double at23 = rect_by_quadrature(c, 30, 50, 5, 15, 5, 15) / 100.0;
  EXPECT_NEAR(entry(F, 8, 23), (at8 + at23) / 2, 1e-6 * at8);
  // The diagonal is the point-load matrix's.
  for (int n = 1; n <= g.C.NNODE; ++n) EXPECT_EQ(entry(F, n, n), entry(P, n, n));
  // A quarter model adds the images of the deflected node, as the point loads do.
  const Grid q({0, 10, 20, 30, 40}, {0, 10, 20, 30, 50, 60}, 3);
  const auto Q = q.F(q.all(), Coupling::distributed_loads);
  double images = 0;
  for (double sx : {1.0, -1.0})
    for (double sy : {1.0, -1.0}) {
      images += rect_by_quadrature(c, 10 * sx, 10 * sy, 25, 35, 40, 55) / 150.0;
      images += rect_by_quadrature(c, 30 * sx, 50 * sy, 5, 15, 5, 15) / 100.0;
    }
  EXPECT_NEAR(entry(Q, 8, 23), images / 2, 1e-6 * images);
}

TEST(ElasticSolidFlexibility, DistributedCouplingStaysPositiveDefiniteOnGradedMeshes) {
  // 9 x 9 node lines from 0 with spacings 2, 2g, 2g^2, ...; every symmetry index.
  const auto graded = [](double g) {
    std::vector<double> c{0.0};
    for (double h = 2.0; c.size() < 9; h *= g) c.push_back(c.back() + h);
    return c;
  };
  for (double g : {1.0, 1.1, 1.5, 2.0})
    for (int isym = 0; isym <= 3; ++isym) {
      const Grid m(graded(g), graded(g), isym);
      auto F = m.F(m.all(), Coupling::distributed_loads);
      EXPECT_EQ(DPPFA(F, m.C.NNODE), 0) << "grading " << g << ", ISYM " << isym;
    }
  // Where the point loads fail: a quarter model graded by 1.5.
  const Grid m(graded(1.5), graded(1.5), 3);
  auto P = m.F(m.all());
  EXPECT_NE(DPPFA(P, m.C.NNODE), 0);
}

TEST(ElasticSolidFlexibility, OnlyTheListedNodes) {
  const Grid g({0, 10, 20}, {0, 10, 20});
  const auto full = g.F(g.all());
  const std::vector<int> some{2, 5, 9};
  const auto part = g.F(some);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j)
      EXPECT_EQ(entry(part, i, j), entry(full, some[i - 1], some[j - 1]));
}

TEST(ElasticSolidProduct, PackedSymmetricTimesVector) {
  const int N = 4;
  const double A[4][4] = {{4, 1, 2, 0}, {1, 5, 3, 1}, {2, 3, 6, 2}, {0, 1, 2, 7}};
  std::vector<double> ap;
  for (int j = 0; j < N; ++j)
    for (int i = 0; i <= j; ++i) ap.push_back(A[i][j]);
  const std::vector<double> x{1, -2, 3, 0.5};
  std::vector<double> y(N, 99.0);
  MLTPLY(ap, N, x, y);
  for (int i = 0; i < N; ++i) {
    double s = 0;
    for (int j = 0; j < N; ++j) s += A[i][j] * x[j];
    EXPECT_EQ(y[i], s);
  }
}

}  // namespace
}  // namespace meridolan
