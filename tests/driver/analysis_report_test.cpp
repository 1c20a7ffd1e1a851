// Complete load analyses run from decks: what the printed report shows.
#include <gtest/gtest.h>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// Index of the first line that starts with the printed node number in the table
// whose heading holds `heading`.
int node_line(const std::vector<std::string>& lines, const std::string& heading, int node,
              int width = 15) {
  bool in = false;
  char want[32];
  std::snprintf(want, sizeof want, "%*d ", width - 1, node);
  for (int i = 0; i < int(lines.size()); ++i) {
    if (lines[i].find(heading) != std::string::npos) in = true;
    std::string l = lines[i];
    if (!l.empty() && l[0] == '\f') l.erase(0, 1);
    if (in && l.compare(0, width, want) == 0) return i;
  }
  return -1;
}

const std::string kDeflHeading = "DEFLECTION     X-ROTATION";
const std::string kStressHeading = "DEPTH      X-STRESS";

class ExampleDeck : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { result_ = run_file(MERIDOLAN_EXAMPLES "/interior_load.dat"); }
  static RunResult result_;
};
RunResult ExampleDeck::result_;

TEST_F(ExampleDeck, RunsToTheStopLineWithTheBanner) {
  EXPECT_EQ(result_.status, 0) << result_.errors;
  const std::string tail = "\r\nStop - Program terminated.\r\n";
  EXPECT_EQ(result_.report.substr(result_.report.size() - tail.size()), tail);
  // New page, one empty line, and the banner overprints that empty line.
  EXPECT_TRUE(result_.contains(
      "\r\n\f\b \r\r\n\r                SUBGRADE TYPE =    5   *********************************"));
  EXPECT_TRUE(
      result_.has_line("                                       * I T E R A T I O N   N O.  1   *"));
}

TEST_F(ExampleDeck, DeflectionTablePagesEveryFiftyNodesWithOneSumLine) {
  auto lines = result_.lines();
  auto d = deflections(lines);
  ASSERT_EQ(d.size(), 169u);
  for (int last : {50, 100, 150, 169}) {
    int i = node_line(lines, kDeflHeading, last);
    ASSERT_GT(i, 0) << last;
    if (last == 169) ++i;  // the sum line of the slab follows its last node
    EXPECT_EQ(lines[i + 1], "\f") << "page throw after node " << last;
  }
  int sums = 0;
  for (const auto& l : lines) sums += l.find("THE SUM OF REACTION FORCES IS") != std::string::npos;
  EXPECT_EQ(sums, 1);
  // Uplift at a slab corner: no subgrade stress, but a negative force.
  EXPECT_LT(d[1].w, 0);
  EXPECT_EQ(d[1].q, 0);
  EXPECT_LT(d[1].f, 0);
}

TEST_F(ExampleDeck, StressTableEdgeRulesAndPaging) {
  auto lines = result_.lines();
  auto s = stresses(lines);
  ASSERT_EQ(s.size(), 169u);
  for (int corner : {1, 13, 157, 169})
    for (const auto& row : s[corner])
      for (int k = 1; k <= 5; ++k) EXPECT_EQ(row[k], 0.0) << "corner " << corner;
  // Bottom edge (node 14): y- and xy-stress 0, x-stress carried.
  EXPECT_EQ(s[14][1][2], 0.0);
  EXPECT_EQ(s[14][1][3], 0.0);
  EXPECT_NE(s[14][1][1], 0.0);
  // Left edge (node 2): x- and xy-stress 0.
  EXPECT_EQ(s[2][1][1], 0.0);
  EXPECT_EQ(s[2][1][3], 0.0);
  EXPECT_NE(s[2][1][2], 0.0);
  // One layer: the top row mirrors the bottom, major and minor exchanged.
  for (int n : {20, 85, 100}) {
    EXPECT_EQ(s[n][0][1], -s[n][1][1]);
    EXPECT_EQ(s[n][0][4], -s[n][1][5]);
  }
  // 18 nodes per page: node 19 opens the second page.
  int i = node_line(lines, kStressHeading, 18, 15);
  ASSERT_GT(i, 0);
  EXPECT_EQ(lines[i + 2], "\f");
  EXPECT_EQ(lines[i + 3], "");  // the page throw's empty line
  EXPECT_EQ(lines[i + 4], "");  // the empty line that opens every node
  EXPECT_EQ(node_line(lines, kStressHeading, 19), i + 5);
}

TEST_F(ExampleDeck, SummaryShowsRangesNoteAndForces) {
  auto lines = result_.lines();
  EXPECT_TRUE(result_.has_line(
      "                        DEFLECTION                   =   .006460    AT NODE   85"));
  // Many nodes share the largest minor principal stress (0 at the slab corners): the
  // highest node number is reported.
  EXPECT_NE(result_.report.find("RANGE OF MINOR PRINC. STRESS BOT. LAYER 1: FROM  -177.158  AT "
                                "NODE   85     TO      .000  AT NODE  169"),
            std::string::npos);
  EXPECT_TRUE(result_.contains("NOTE:-  X-STRESS TOP = - (X-STRESS BOTTOM)"));
  EXPECT_FALSE(result_.contains("BOTTOM OF LAYER 2"));
  EXPECT_DOUBLE_EQ(value_after(lines, "SUM OF EXTERNAL FORCES AND SELF-WEIGHT (IF ANY) ="), 9000.0);
}

TEST(AnalysisReport, BondedLayersPrintLayerTwoAndNoNote) {
  SlabDeck d = small_slab();
  d.layers = {Layer{6.0, 4.0e6, 0.15}, Layer{5.0, 1.0e6, 0.2}};
  d.icomp = 1;
  auto r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.contains("RANGE OF X-STRESS AT BOTTOM OF LAYER 2: FROM"));
  EXPECT_TRUE(r.contains("RANGE OF MAJOR PRINC. STRESS BOT. LAYER 2: FROM"));
  EXPECT_FALSE(r.contains("NOTE:-"));
  auto lines = r.lines();
  // Two layers: 11 nodes per stress page, four rows per node.
  int i = node_line(lines, kStressHeading, 11, 15);
  ASSERT_GT(i, 0);
  EXPECT_EQ(lines[i + 4], "\f");
  EXPECT_EQ(node_line(lines, kStressHeading, 12), i + 7);
  auto s = stresses(lines);
  EXPECT_EQ(s[25].size(), 4u);
  EXPECT_DOUBLE_EQ(s[25][3][0], 11.0);
}

TEST(AnalysisReport, UnbondedLayersKeepTheNote) {
  SlabDeck d = small_slab();
  d.layers = {Layer{6.0, 4.0e6, 0.15}, Layer{5.0, 1.0e6, 0.2}};
  auto r = run_deck(d.text());
  ASSERT_EQ(r.status, 0);
  EXPECT_TRUE(r.contains("BOTTOM OF LAYER 2"));
  EXPECT_TRUE(r.contains("NOTE:-"));
}

TEST(AnalysisReport, VlasovFoundationTables) {
  SlabDeck d = small_slab();
  d.isubgr = 9;
  d.vshear = 500.0;
  auto r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.contains("VLASOV SHEAR PARAMETER =        500.000"));
  EXPECT_TRUE(r.has_line("          NODE     DEFLECTION     X-ROTATION     Y-ROTATION"));
  EXPECT_TRUE(r.contains("SUBGRADE STRESSES FOR VLASOV SUBGRADE"));
  EXPECT_EQ(deflections(r.lines()).size(), 49u);
  // No reaction sum is formed for this support, so the sum lines are absent.
  EXPECT_FALSE(r.contains("THE SUM OF REACTION FORCES IS"));
  EXPECT_FALSE(r.contains("SUM OF REACTION FORCES ="));
}

TEST(AnalysisReport, UnsupportedSlabReportsTheVanishedPivot) {
  SlabDeck d = small_slab();
  d.k = 0.0;
  d.isubgr = 7;
  auto r = run_deck(d.text());
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_TRUE(r.contains("***ZERO PIVOT IN EQUATION")) << r.report.substr(r.report.size() - 600);
  EXPECT_TRUE(r.contains(" PROGRAM TERMINATED."));
  EXPECT_FALSE(r.contains("NaN"));
  EXPECT_FALSE(r.contains(kDeflHeading));
  EXPECT_TRUE(r.contains("\r\nStop - Program terminated.\r\n"));
}

TEST(AnalysisReport, ZeroWidthElementInOneSlabIsRejected) {
  SlabDeck d = small_slab();
  d.xc = {0, 24, 48, 48, 72, 96, 120};
  auto r = run_deck(d.text());
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_TRUE(r.contains("***X-COORDINATES OF NODE LINES   3 AND   4 ARE    48.000 AND    48.000:"))
      << r.report.substr(r.report.size() - 600);
  EXPECT_FALSE(r.contains(kDeflHeading));
}

TEST(AnalysisReport, ParameterCardsOfARunWithoutUpdateAreStillRead) {
  // MAXIT = 1: no update reads node 2's card, yet the contour record comes after it.
  SlabDeck d = small_slab();
  d.isubgr = 0, d.isoil = std::vector<int>(49, 1);
  d.isoil[1] = 5;
  d.contour = "100000   0";
  d.tail = "   7.00000   3.74000    .03770  28.10000  53.10000    .07340\n000000 1.0\n";
  EXPECT_EQ(run_deck(d.text()).status, 0);
  d.tail.clear();  // the card is missing: the deck ends where it should stand
  EXPECT_EQ(run_deck(d.text()).status, 2);
}

}  // namespace
}  // namespace meridolan
