// Validation of the curling and gap analysis with contact iteration: a slab settling
// onto springs below a uniform gap, the classical curling stress of a slab held flat
// (against Westergaard/Bradbury and the Winkler curling analysis), and the corners of
// a slab on an elastic solid lifted by a cold top.
#include <gtest/gtest.h>

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

SlabDeck contact_deck(int isubgr, std::vector<double> xc, std::vector<double> yc, double dt,
                      double gam) {
  SlabDeck d;
  d.icurl = 1;
  d.isubgr = isubgr;
  d.k = kK;
  d.xc = std::move(xc);
  d.yc = std::move(yc);
  d.layers = {Layer{kH, kE, kNu, gam, dt, kAlf}};
  return d;
}

TEST(CurlingContactValidation, UniformGapOnSpringsSettlesByGapPlusWOverKWithoutStress) {
  // Graded node lines: the tributary areas differ from node to node. W = 8 * 0.125 = 1,
  // W / k = 0.005, and the support stands 0.02 below the whole slab.
  SlabDeck d = contact_deck(7, {0, 10, 25, 45, 70, 100, 144}, {0, 12, 30, 54, 84, 120}, 0.0, 0.125);
  for (int n = 1; n <= 42; ++n) d.gaps.push_back({n, 0.02});
  RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  EXPECT_TRUE(r.contains("THE NUMBER OF NODES IN DIFFERENT CONTACT CONDITION   IS    0"));
  EXPECT_TRUE(last_node_list(lines, "NODES OUT OF CONTACT").empty());
  const auto slab = last_node_table(lines, "DEFLECTIONS OF THE SLAB");
  ASSERT_EQ(slab.size(), 42u);
  for (const auto& [n, v] : slab) EXPECT_EQ(v, 0.025) << n;
  // The results measure the deflection from the support: W / k, the stress W.
  expect_settled_flat(lines, 42, 0.005, 1.0, 17280.0);
}

// Quarter model of a square slab L x L (symmetric about both first node lines, so
// node 1 is the centre) on springs, the top 1 F cooler. iwink = 1 runs the Winkler
// curling analysis of the same slab. Returns the x-stress at the bottom of node 1.
double centre_stress(double L_over_l, int iwink) {
  const double l = std::pow(kE * kH * kH * kH / (12.0 * (1.0 - kNu * kNu) * kK), 0.25);
  const double half = L_over_l * l / 2.0;
  SlabDeck d = contact_deck(7, even(half, 30), even(half, 30), -1.0, 0.087);
  d.iwink = iwink;
  d.isym = 3;
  RunResult r = run_deck(d.text());
  EXPECT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  // The self-weight keeps every node down.
  EXPECT_TRUE(iwink == 1 || r.contains("IN DIFFERENT CONTACT CONDITION   IS    0"));
  EXPECT_TRUE(iwink == 1 || last_node_list(lines, "NODES OUT OF CONTACT").empty());
  const auto st = stresses(lines);
  EXPECT_TRUE(st.count(1) && st.at(1).size() == 2);
  if (!st.count(1) || st.at(1).size() != 2) return 0.0;
  EXPECT_EQ(st.at(1)[1][1], st.at(1)[1][2]) << "x- and y-stress of the square slab's centre";
  return st.at(1)[1][1];
}

TEST(CurlingContactValidation, CentreStressMatchesWestergaardBradburyAndTheWinklerAnalysis) {
  const double full = kE * kAlf * 1.0 / (2.0 * (1.0 - kNu));
  for (double L : {14.0, 10.0}) {
    const double expected = full * bradbury_c(L);
    const double s = centre_stress(L, 0);
    const double winkler = centre_stress(L, 1);
    EXPECT_NEAR(s / expected, 1.0, 0.02) << "L/l = " << L << ": " << s << " vs " << expected;
    EXPECT_NEAR(s / winkler, 1.0, 0.005) << "L/l = " << L << ": " << s << " vs " << winkler;
  }
}

TEST(CurlingContactValidation, ColdTopLiftsTheCornersOffTheElasticSolid) {
  // A square slab of 120 in on 8 x 8 elements on an elastic solid (E = 10,000 psi,
  // nu = 0.4), its top 20 F cooler than its bottom.
  SlabDeck d = contact_deck(8, even(120.0, 8), even(120.0, 8), -20.0, 0.087);
  d.k = 0.0, d.esub = 10000.0, d.prsub = 0.4;
  RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  EXPECT_FALSE(r.contains("IC=ICYCLE"));
  EXPECT_TRUE(r.contains("THE NUMBER OF NODES IN DIFFERENT CONTACT CONDITION   IS    0"));
  const std::vector<int> out = last_node_list(lines, "NODES OUT OF CONTACT");
  const std::set<int> lifted(out.begin(), out.end());
  for (int n : {1, 9, 73, 81}) EXPECT_TRUE(lifted.count(n)) << n;
  EXPECT_FALSE(lifted.count(41));  // the centre
  EXPECT_LT(lifted.size(), 81u / 3);
  // The report ends through the elastic solid: its table, the summary, the stop.
  const auto table = solid_subgrade_rows(lines);
  ASSERT_EQ(table.size(), 81u);
  double sum = 0.0;
  for (const auto& [n, row] : table) {
    EXPECT_TRUE(!lifted.count(n) || row.force == 0.0) << n;
    sum += row.force;
  }
  const double swt = value_after(lines, "SLAB SELF-WEIGHT                =");
  EXPECT_NEAR(swt, 8 * 0.087 * 120 * 120, 0.001);
  // The solid carries the self-weight on the nodes in contact, by node number.
  EXPECT_NEAR(sum / swt, 1.0, 1e-3);
  EXPECT_TRUE(r.report.ends_with("\r\nStop - Program terminated.\r\n"));
  EXPECT_FALSE(r.contains("NaN"));
}

}  // namespace
}  // namespace meridolan
