// Slab on an elastic solid (subgrade type 8) run from decks: what the report shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// A 50 x 90 in slab, 8 in thick, nodes every 10 in (6 x 10 = 60 nodes), on a half-space
// of E = 30,000 psi and nu = 0.4, under 100 psi over 10 x 10 in near its middle.
SlabDeck solid_slab() {
  SlabDeck d;
  d.title = "SLAB ON AN ELASTIC SOLID";
  d.xc = {0, 10, 20, 30, 40, 50};
  d.yc = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90};
  d.isubgr = 8;
  d.k = 0.0;
  d.esub = 30000.0;
  d.prsub = 0.4;
  d.loads = {{100.0, 20.0, 30.0, 40.0, 50.0}};
  return d;
}

TEST(ElasticSolidReport, TablesSummaryAndEquilibrium) {
  auto r = run_deck(solid_slab().text());
  ASSERT_EQ(r.status, 0);
  const auto lines = r.lines();
  EXPECT_TRUE(r.has_line("            ELASTIC SOLID SUBGRADE  -   SUBGRADE TYPE = 8"));
  EXPECT_FALSE(r.contains("I T E R A T I O N"));  // no banner on this path
  EXPECT_EQ(deflections(lines).size(), 60u);
  EXPECT_EQ(stresses(lines).size(), 60u);

  const auto rows = solid_subgrade_rows(lines);
  ASSERT_EQ(rows.size(), 60u);
  // The subgrade carries the whole load, and each stress is the force over the
  // node's tributary area (100 in^2 inside, 50 on an edge, 25 at a corner).
  double sum = 0, largest = 0;
  for (const auto& [n, row] : rows) {
    sum += row.force;
    largest = std::max(largest, row.stress);
  }
  EXPECT_NEAR(sum, 10000.0, 0.1);
  EXPECT_NEAR(rows.at(15).stress * 100.0, rows.at(15).force, 0.06);
  EXPECT_NEAR(rows.at(5).stress * 50.0, rows.at(5).force, 0.03);
  EXPECT_NEAR(rows.at(1).stress * 25.0, rows.at(1).force, 0.02);
  EXPECT_TRUE(r.has_line("                      SUM OF REACTION FORCES =  10000.00"));
  // The summary names the largest printed subgrade stress (the symmetric load makes
  // two nodes print it; the summary keeps the larger unrounded value).
  const std::string key = "SUBGRADE STRESS              =";
  const std::string summary = [&] {
    for (const std::string& l : lines)
      if (l.find(key) != std::string::npos) return l;
    return std::string();
  }();
  ASSERT_FALSE(summary.empty());
  const double value = std::stod(summary.substr(summary.find('=') + 1, 10));
  const int node = std::stoi(summary.substr(summary.rfind("NODE") + 4));
  EXPECT_EQ(value, largest);
  EXPECT_EQ(rows.at(node).stress, largest);

  // Fifty lines per page: a page throw between nodes 50 and 51 and after node 60, then
  // the summary; the stop line ends the report once.
  auto row_of = [&](int n) {
    bool in = false;
    for (int i = 0; i < int(lines.size()); ++i) {
      if (lines[i].find("SUBGRADE STRESSES FOR ELASTIC SOLID") != std::string::npos) in = true;
      std::vector<double> v;
      if (in && numbers(lines[i], v) && v.size() == 3 && v[0] == n) return i;
    }
    return -1;
  };
  const int n50 = row_of(50), n51 = row_of(51), n60 = row_of(60);
  ASSERT_GT(n50, 0);
  EXPECT_EQ(lines[n50 + 1], "\f");
  EXPECT_EQ(n51, n50 + 3);
  EXPECT_EQ(lines[n60 + 1], "\f");
  EXPECT_EQ(lines[n50].substr(0, 24), "                      50");
  EXPECT_EQ(r.report.find("Stop - Program terminated."),
            r.report.size() - std::string("Stop - Program terminated.\r\n").size());
}

TEST(ElasticSolidReport, ClosedStressGateShowsNoUnsearchedExtremes) {
  SlabDeck d = solid_slab();
  d.maxit = 2;  // one solution, pass 1 is not the last allowed pass
  auto closed = run_deck(d.text());
  EXPECT_TRUE(closed.contains("SUBGRADE STRESSES FOR ELASTIC SOLID"));
  EXPECT_FALSE(closed.contains("X-STRESS"));
  EXPECT_FALSE(closed.contains("MAXIMUM OR MINIMUM"));
  EXPECT_TRUE(closed.contains("Stop - Program terminated."));

  d.iprit = 1;  // every pass printed in full
  auto open = run_deck(d.text());
  EXPECT_TRUE(open.contains("MAXIMUM OR MINIMUM"));
  EXPECT_EQ(open.report, run_deck(solid_slab().text()).report);
}

TEST(ElasticSolidReport, JointFacesShareOnePointOfTheSolid) {
  auto r = run_file(MERIDOLAN_TEST_DATA "/two_slabs_elastic_solid.dat");
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  const auto rows = solid_subgrade_rows(lines);
  ASSERT_EQ(rows.size(), 24u);
  // Nodes 9 and 13 (and 10 and 14, ...) are the two faces of the joint at x = 10: they
  // stand on one point, print its stress and share its force.
  for (int n = 9; n <= 12; ++n) {
    EXPECT_EQ(rows.at(n).stress, rows.at(n + 4).stress) << n;
    EXPECT_EQ(rows.at(n).force, rows.at(n + 4).force) << n;
  }
  EXPECT_NEAR(value_after(lines, "SUM OF REACTION FORCES ="), 3600.0, 0.006);
  EXPECT_TRUE(r.contains("LOAD TRANSFER IN X-DIRECTION"));
  EXPECT_FALSE(r.contains("NaN"));

  // In the contact analysis the faces of each joint point are in or out of contact
  // together, by their mean deflection beyond the gaps: a gap under node 9 alone that
  // this mean does not close takes node 13, the other face, out with it.
  SlabDeck d;
  d.xc = {0, 5, 10, 10, 15, 20};
  d.yc = {0, 5, 10, 15};
  d.nnx = {3, 3};
  d.isubgr = 8, d.k = 0.0, d.esub = 30000.0, d.prsub = 0.4;
  d.layers = {Layer{8.0, 4.0e6, 0.15, 0.087, 0.0, 5.5e-6}};
  d.loads = {{100.0, 2.0, 18.0, 5.0, 10.0}};
  d.icurl = 1;
  d.iwink = 0;
  d.gaps = {{9, 0.05}};
  auto c = run_deck(d.text());
  ASSERT_EQ(c.status, 0) << c.errors;
  const auto clines = c.lines();
  EXPECT_EQ(last_node_list(clines, "NODES OUT OF CONTACT"), (std::vector<int>{9, 13}));
  const auto crows = solid_subgrade_rows(clines);
  ASSERT_EQ(crows.size(), 24u);
  EXPECT_EQ(crows.at(9).force, 0.0);
  EXPECT_EQ(crows.at(13).force, 0.0);
  for (int n = 10; n <= 12; ++n) {
    EXPECT_EQ(crows.at(n).stress, crows.at(n + 4).stress) << n;
    EXPECT_EQ(crows.at(n).force, crows.at(n + 4).force) << n;
  }
  EXPECT_NEAR(value_after(clines, "SUM OF REACTION FORCES ="),
              value_after(clines, "TOTAL APPLIED LOAD IS") +
                  value_after(clines, "SLAB SELF-WEIGHT                ="),
              0.01);
}

// A negative or zero subgrade modulus, or a plate of negative stiffness, would make
// the flexibility or the system matrix indefinite; such decks are refused with the
// field named before anything is factorised (the factorisation's own refusal is
// tested with the packed routines).
TEST(ElasticSolidReport, ImpossibleModuliAreRefusedBeforeTheFactorisation) {
  SlabDeck d = solid_slab();
  for (double esub : {-30000.0, 0.0}) {
    d.esub = esub;
    auto r = run_deck(d.text());
    EXPECT_TRUE(r.contains("***CONTROL RECORD 6, COLUMNS 21-30: YOUNG MODULUS OF SUBGRADE ="));
    EXPECT_FALSE(r.contains("DEFLECTION     X-ROTATION"));
    EXPECT_TRUE(r.contains("Stop - Program terminated."));
  }
  d = solid_slab();
  d.layers[0].E = -4.0e6;
  auto limp = run_deck(d.text());
  EXPECT_TRUE(limp.contains("***TOP LAYER RECORD, COLUMNS 11-20: MODULUS =   -4000000.0000"));
  EXPECT_FALSE(limp.contains("DEFLECTION     X-ROTATION"));
}

}  // namespace
}  // namespace meridolan
