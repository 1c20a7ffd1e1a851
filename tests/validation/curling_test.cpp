// Validation of the curling analysis on a Winkler support: self-weight alone, the
// classical curling stress of a slab held flat by its support, and the loss of
// contact at the corners of a slab curled by a cold top.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"
#include "validation/curling_theory.h"

namespace meridolan {
namespace {

using namespace testing;

// Slab: E = 4,000,000 psi, h = 8 in, nu = 0.15, alpha = 5.5E-6 /F on k = 200 pci.
constexpr double kE = 4.0e6, kH = 8.0, kNu = 0.15, kK = 200.0, kAlf = 5.5e-6;

double radius_of_relative_stiffness() {
  return std::pow(kE * kH * kH * kH / (12.0 * (1.0 - kNu * kNu) * kK), 0.25);
}

SlabDeck curling_deck(std::vector<double> xc, std::vector<double> yc, double dt, double gam) {
  SlabDeck d;
  d.icurl = 1;
  d.iwink = 1;
  d.k = kK;
  d.xc = std::move(xc);
  d.yc = std::move(yc);
  d.layers = {Layer{kH, kE, kNu, gam, dt, kAlf}};
  return d;
}

TEST(CurlingValidation, BradburyCoefficientReproducesTheChart) {
  EXPECT_NEAR(bradbury_c(9.0), 1.086, 0.002);
  EXPECT_NEAR(bradbury_c(14.0), 1.010, 0.002);
  EXPECT_NEAR(bradbury_c(40.0), 1.0, 0.002);
  EXPECT_LT(bradbury_c(4.0), 0.5);
}

// Node numbers of a mesh with ny node lines across y (y runs fastest).
int node(int ix, int iy, int ny) {
  return (ix - 1) * ny + iy;
}

TEST(CurlingValidation, SelfWeightAloneDeflectsEveryNodeByWOverKWithoutStress) {
  // Graded node lines: the tributary areas differ from node to node.
  SlabDeck d = curling_deck({0, 10, 25, 45, 70, 100, 144}, {0, 12, 30, 54, 84, 120}, 0.0, 0.125);
  RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  // W = 8 * 0.125 = 1; W / k = 0.005; self-weight 1 * 144 * 120.
  EXPECT_DOUBLE_EQ(value_after(lines, "SLAB SELF-WEIGHT                ="), 17280.0);
  EXPECT_TRUE(r.contains(
      "THE NUMBER OF NODES CHANGING CONTACT CONDITION BEFORE AND AFTER CURRENT ITERATION IS    0"));
  EXPECT_FALSE(r.contains("INITIAL CURLING DISTANCES (PLUS"));
  expect_settled_flat(lines, 42, 0.005, 1.0, 17280.0);
}

// Quarter model of a square slab L x L (symmetry about both first node lines, so the
// centre of curling is node 1) under a temperature difference of 1 F, top cooler.
double centre_curling_stress(double L_over_l, int elements) {
  const double half = L_over_l * radius_of_relative_stiffness() / 2.0;
  SlabDeck d = curling_deck(even(half, elements), even(half, elements), -1.0, 0.087);
  d.isym = 3;
  RunResult r = run_deck(d.text());
  EXPECT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  // The self-weight keeps every node down: nothing changes, nothing is out.
  EXPECT_TRUE(r.contains(
      "THE NUMBER OF NODES CHANGING CONTACT CONDITION BEFORE AND AFTER CURRENT ITERATION IS    0"));
  EXPECT_TRUE(last_node_list(lines, "NODES OUT OF CONTACT AFTER CURRENT ITERATION").empty());
  const auto st = stresses(lines);
  EXPECT_TRUE(st.count(1) && st.at(1).size() == 2);
  if (!st.count(1) || st.at(1).size() != 2) return 0.0;
  EXPECT_EQ(st.at(1)[1][1], st.at(1)[1][2]) << "x- and y-stress of the square slab's centre";
  return st.at(1)[1][1];  // bottom of the slab, compression positive
}

TEST(CurlingValidation, CentreStressOfASlabHeldFlatMatchesWestergaardBradbury) {
  // Interior of a slab held flat: E alpha dT / (2 (1 - nu)) times C(L/l), the bottom
  // in compression under a cooler top.
  const double full = kE * kAlf * 1.0 / (2.0 * (1.0 - kNu));
  for (double L : {14.0, 10.0}) {
    const double expected = full * bradbury_c(L);
    const double s = centre_curling_stress(L, 30);
    EXPECT_NEAR(s / expected, 1.0, 0.02) << "L/l = " << L << ": " << s << " vs " << expected;
  }
}

// A square slab of 180 in (5.9 radii) on 12 x 12 elements, the top 4 F cooler.
SlabDeck corner_lift_deck(int icycle) {
  SlabDeck d = curling_deck(even(180.0, 12), even(180.0, 12), -4.0, 0.087);
  d.icycle = icycle;
  return d;
}

TEST(CurlingValidation, ColdTopLiftsTheFourCornersAndTheIterationConverges) {
  RunResult r = run_deck(corner_lift_deck(10).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  EXPECT_FALSE(r.contains("WARNING"));
  EXPECT_TRUE(r.contains(
      "THE NUMBER OF NODES CHANGING CONTACT CONDITION BEFORE AND AFTER CURRENT ITERATION IS    0"));
  const std::vector<int> out =
      last_node_list(lines, "NODES OUT OF CONTACT AFTER CURRENT ITERATION");
  ASSERT_FALSE(out.empty());
  const std::set<int> lifted(out.begin(), out.end());
  // The four corners are off the support; the centre and the edge midpoints are not.
  for (int n : {node(1, 1, 13), node(1, 13, 13), node(13, 1, 13), node(13, 13, 13)})
    EXPECT_TRUE(lifted.count(n)) << n;
  for (int n : {node(7, 7, 13), node(1, 7, 13), node(7, 1, 13), node(13, 7, 13), node(7, 13, 13)})
    EXPECT_FALSE(lifted.count(n)) << n;
  // A corner region: symmetric about both centre lines, and every lifted node has its
  // neighbours towards the nearest corner lifted too.
  for (int n : lifted) {
    const int ix = (n - 1) / 13 + 1, iy = n - 13 * (ix - 1);
    EXPECT_TRUE(lifted.count(node(14 - ix, iy, 13)) && lifted.count(node(ix, 14 - iy, 13))) << n;
    const int tx = ix < 7 ? ix - 1 : ix + 1, ty = iy < 7 ? iy - 1 : iy + 1;
    if (tx >= 1 && tx <= 13) {
      EXPECT_TRUE(lifted.count(node(tx, iy, 13))) << n;
    }
    if (ty >= 1 && ty <= 13) {
      EXPECT_TRUE(lifted.count(node(ix, ty, 13))) << n;
    }
  }
  EXPECT_LT(lifted.size(), 169u / 4);
  // Lifted nodes carry nothing; the springs in contact carry the whole self-weight.
  const auto defl = deflections(lines);
  for (int n : lifted) EXPECT_EQ(defl.at(n).f, 0.0) << n;
  EXPECT_NEAR(value_after(lines, "THE SUM OF REACTION FORCES IS"),
              value_after(lines, "SLAB SELF-WEIGHT                ="), 0.002);
}

TEST(CurlingValidation, TooFewCyclesWarnAndReportTheLastSolutionWithItsContactState) {
  // One solution only: all nodes in contact. The update finds the corners lifted,
  // the warning follows, and the results are those of that first solution.
  RunResult r = run_deck(corner_lift_deck(1).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  EXPECT_TRUE(
      r.contains("\r\n    ITERATION NUMBER IS   2\r\n\r\n\r\n\r\n\r\n"
                 "         WARNING *** IC=ICYCLE\r\n"
                 "CONVERGENCE IS NOT ACHIEVED\r\n"
                 "         SOLUTION IS THEREFORE APPROXIMATE\r\n"
                 "         INCREASE ICYCLE\r\n"));
  EXPECT_FALSE(r.contains("ITERATION NUMBER IS   3"));
  EXPECT_FALSE(last_node_list(lines, "NODES OUT OF CONTACT AFTER CURRENT ITERATION").empty());
  // The corner was in contact in the solution: it pulls on its spring (a tensile
  // force, stress cut to 0), and all springs together balance the self-weight.
  const auto defl = deflections(lines);
  EXPECT_EQ(defl.at(1).q, 0.0);
  EXPECT_LT(defl.at(1).f, 0.0);
  EXPECT_NEAR(value_after(lines, "THE SUM OF REACTION FORCES IS"),
              value_after(lines, "SLAB SELF-WEIGHT                ="), 0.002);
  // The deflections are those of the first solution, less the curling distances.
  RunResult converged = run_deck(corner_lift_deck(10).text());
  EXPECT_NE(deflections(converged.lines()).at(1).w, defl.at(1).w);
}

}  // namespace
}  // namespace meridolan
