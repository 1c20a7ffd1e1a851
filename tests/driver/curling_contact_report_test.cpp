// Curling and gap analyses with contact iteration run from decks: the report they
// print, how they end, and the decks they refuse.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// A 120 x 120 slab on 5 x 5 node lines on springs, top 20 F cooler.
SlabDeck contact_deck(int isubgr = 7) {
  SlabDeck d;
  d.icurl = 1;
  d.isubgr = isubgr;
  d.xc = d.yc = {0, 30, 60, 90, 120};
  d.layers = {Layer{8.0, 4.0e6, 0.15, 0.087, -20.0, 5.5e-6}};
  if (isubgr == 8) {
    d.k = 0.0;
    d.esub = 10000.0;
    d.prsub = 0.4;
  }
  return d;
}

std::string analysis_part(const RunResult& r) {
  const std::size_t at = r.report.find("ANALYSIS WITH TEMPERATURE AND OR GAPS");
  return at == std::string::npos ? "" : r.report.substr(at);
}

double self_weight(const RunResult& r) {
  return value_after(r.lines(), "SLAB SELF-WEIGHT                =");
}

// Sum of the subgrade forces of the elastic solid's table.
double solid_force_sum(const RunResult& r) {
  double sum = 0.0;
  std::vector<double> v;
  for (const std::string& l : lines_from(r.lines(), "SUBGRADE STRESSES FOR ELASTIC SOLID")) {
    if (l.find("MAXIMUM OR MINIMUM") != std::string::npos) break;
    if (numbers(l[0] == '\f' ? l.substr(1) : l, v) && v.size() == 3) sum += v[2];
  }
  return sum;
}

void expect_refused(const RunResult& r) {
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(r.contains("NaN"));
  EXPECT_FALSE(r.contains("ANALYSIS WITH TEMPERATURE"));
  EXPECT_FALSE(r.contains("DEFLECTIONS MEASURED FROM INITIALLY FLAT SURFACE"));
  EXPECT_TRUE(r.contains("PROGRAM TERMINATED.\r\nStop - Program terminated.\r\n"));
}

TEST(CurlingContactReport, HeadingBlockOfTwoLayersBeforeTheIteration) {
  SlabDeck d = contact_deck(6);
  d.layers.push_back(Layer{4.0, 1.0e6, 0.2, 0.1, -10.0, 6.0e-6});
  d.gaps = {{13, 0.01}};
  d.zero_pressure = {25};
  RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const std::vector<std::string> l = lines_from(r.lines(), "ANALYSIS WITH TEMPERATURE");
  const std::vector<std::string> head = {
      "                   ANALYSIS WITH TEMPERATURE AND OR GAPS - SUBGRADE TYPE  6",
      "",
      "",
      "    DIFFERENCE IN TEMPERATURE BETWEEN TOP AND BOTTOM SURFACE IS  -20.000",
      "",
      "",
      "    DIFFERENCE IN TEMPERATURE BETWEEN TOP AND BOTTOM SURFACE OF SECOND LAYER IS  -10.000",
      "",
      "",
      "    COEFFICIENT OF THERMAL EXPANSION=  .550E-05",
      "",
      "",
      "    COEFFICIENT OF THERMAL EXPANSION OF BOTTOM LAYER IS  .600E-05",
      "",
      "",
      "    CONCRETE DENSITY                =      .087",
      "",
      "",
      "    CONCRETE DENSITY - SECOND LAYER =      .100",
      "",
      "",
      "    SLAB SELF-WEIGHT                = 15782.400",
      "",
      "",
      "    NODE NUMBER AND GAP AT THE NODE",
      "       13      .010",
      "",
      "",
      "    NODES WITH ZERO INITIAL REACTIVE PRESSURE",
      "       25",
      "",
      "",
      "              SIGN CONVENTION",
      "    INITIAL GAP : POSITIVE OR ZERO ONLY, MEASURED FROM INITIALLY FLAT SLAB-SUBGRADE "
      "INTERFACE",
      "    SLAB DEFLECTIONS : POSITIVE DOWNWARDS FROM INITIALLY FLAT SLAB-SUBGRADE INTERFACE",
      "",
      "    ITERATION NUMBER IS   1",
      "",
      "",
      "    DEFLECTIONS OF THE SLAB ",
      ""};
  ASSERT_GT(l.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + head.size()), head);
  EXPECT_FALSE(r.contains("I T E R A T I O N"));
  // The results follow the last update; the lifted nodes print no stress and force.
  const std::string tail = analysis_part(r);
  EXPECT_LT(tail.rfind("NODES OUT OF CONTACT"),
            tail.find("DEFLECTIONS MEASURED FROM INITIALLY FLAT SURFACE"));
  const auto defl = deflections(r.lines());
  for (int n : last_node_list(r.lines(), "NODES OUT OF CONTACT")) {
    EXPECT_EQ(defl.at(n).q, 0.0) << n;
    EXPECT_EQ(defl.at(n).f, 0.0) << n;
  }
}

TEST(CurlingContactReport, SubgradeTypesWithoutSupportInThisAnalysisAreRefused) {
  for (int type : {2, 5, 9}) {
    SlabDeck d = contact_deck(type);
    RunResult r = run_deck(d.text());
    EXPECT_TRUE(
        r.contains("***THE CURLING AND GAP ANALYSIS WITH CONTACT ITERATION (IWINK NOT 1) RUNS\r\n"
                   "          ON SUBGRADE TYPES 6, 7 AND 8 ONLY: SUBGRADE TYPE  " +
                   std::to_string(type) + " GIVES THE SLAB NO"))
        << type;
    EXPECT_FALSE(r.contains("NOT AVAILABLE")) << type;
    expect_refused(r);
  }
}

TEST(CurlingContactReport, AnyNonzeroIcurlIsTheContactAnalysisOnTheElasticSolid) {
  SlabDeck d = contact_deck(8);
  RunResult one = run_deck(d.text());
  d.icurl = 2;
  RunResult two = run_deck(d.text());
  ASSERT_EQ(two.status, 0) << two.errors;
  EXPECT_TRUE(two.contains("ITERATION NUMBER IS   2"));
  EXPECT_FALSE(analysis_part(one).empty());
  EXPECT_EQ(analysis_part(two), analysis_part(one));
  // The loads are taken once: the solid carries the self-weight.
  EXPECT_NEAR(solid_force_sum(two) / self_weight(two), 1.0, 1e-4);
}

TEST(CurlingContactReport, IterationLimitReportsTheLastSolutionWithItsContactState) {
  // Springs: one solution with every node in contact; the update lifts the corners.
  SlabDeck d = contact_deck(7);
  d.icycle = 1;
  RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(
      r.contains("\r\n    ITERATION NUMBER IS   2\r\n\r\n\r\n\r\n\r\n"
                 "         IC=ICYCLE\r\n"
                 "CONVERGENCE IS NOT ACHIEVED         --INCREASE ICYCLE\r\n"));
  EXPECT_FALSE(r.contains("ITERATION NUMBER IS   3"));
  EXPECT_FALSE(last_node_list(r.lines(), "NODES OUT OF CONTACT").empty());
  // The corner was in contact in that solution: it pulls on its spring.
  const auto defl = deflections(r.lines());
  EXPECT_EQ(defl.at(1).q, 0.0);
  EXPECT_LT(defl.at(1).f, 0.0);
  EXPECT_NEAR(value_after(r.lines(), "THE SUM OF REACTION FORCES IS"), self_weight(r), 0.002);

  // Elastic solid: the results come from the solid, with every node in contact.
  d = contact_deck(8);
  d.icycle = 1;
  r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.contains("IC=ICYCLE"));
  EXPECT_FALSE(r.contains("ITERATION NUMBER IS   3"));
  const std::string tail = r.report.substr(r.report.find("IC=ICYCLE"));
  EXPECT_NE(tail.find("SUBGRADE STRESSES FOR ELASTIC SOLID"), std::string::npos);
  EXPECT_EQ(tail.find("DEFLECTIONS OF THE SLAB"), std::string::npos);
  const auto first = last_node_table(r.lines(), "DEFLECTIONS OF THE SLAB");
  const auto printed = deflections(r.lines());
  EXPECT_NEAR(printed.at(1).w, first.at(1), 5e-6);
  EXPECT_LT(printed.at(1).w, 0.0);
  EXPECT_NEAR(solid_force_sum(r) / self_weight(r), 1.0, 1e-4);
}

TEST(CurlingContactReport, SettledElasticSolidPrintsItsResultsWhateverTheLimit) {
  // Self-weight alone keeps every node down: the first update changes nothing, and
  // the next solution prints the results even with one cycle allowed.
  SlabDeck d = contact_deck(8);
  d.layers[0].dt = 0.0;
  d.icycle = 1;
  RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_FALSE(r.contains("IC=ICYCLE"));
  EXPECT_TRUE(r.contains("IN DIFFERENT CONTACT CONDITION   IS    0"));
  EXPECT_TRUE(r.contains("ITERATION NUMBER IS   2"));
  EXPECT_TRUE(r.contains("SUBGRADE STRESSES FOR ELASTIC SOLID"));
  EXPECT_NEAR(solid_force_sum(r) / self_weight(r), 1.0, 1e-4);
}

TEST(CurlingContactReport, UniformGapOnTheElasticSolidShiftsTheSlabByTheGap) {
  SlabDeck d = contact_deck(8);
  d.layers[0].dt = 0.0;
  RunResult flat = run_deck(d.text());
  for (int n = 1; n <= 25; ++n) d.gaps.push_back({n, 0.05});
  RunResult gap = run_deck(d.text());
  ASSERT_EQ(gap.status, 0) << gap.errors;
  EXPECT_TRUE(last_node_list(gap.lines(), "NODES OUT OF CONTACT").empty());
  const auto a = last_node_table(flat.lines(), "DEFLECTIONS OF THE SLAB");
  const auto b = last_node_table(gap.lines(), "DEFLECTIONS OF THE SLAB");
  ASSERT_EQ(b.size(), 25u);
  for (const auto& [n, v] : a) EXPECT_NEAR(b.at(n), v + 0.05, 1.5e-5) << n;
  // The solid acts on the deflection beyond the gap: the same subgrade table.
  auto table = [](const RunResult& r) {
    const std::string& s = r.report;
    const std::size_t from = s.find("SUBGRADE STRESSES FOR ELASTIC SOLID");
    return from == std::string::npos ? "" : s.substr(from, s.find("MAXIMUM OR MINIMUM") - from);
  };
  EXPECT_FALSE(table(flat).empty());
  EXPECT_EQ(table(gap), table(flat));
}

TEST(CurlingContactReport, ThicknessPerNodeUsesTheNodalThicknesses) {
  SlabDeck uniform = contact_deck(7);
  SlabDeck per_node = uniform;
  per_node.layers[0].h = 0.0;
  per_node.thn1.assign(25, 8.0);
  RunResult a = run_deck(uniform.text()), b = run_deck(per_node.text());
  ASSERT_EQ(b.status, 0) << b.errors;
  EXPECT_FALSE(analysis_part(a).empty());
  EXPECT_EQ(analysis_part(b), analysis_part(a));

  // Thicknesses that vary weigh and bend with the nodal values; nothing divides by 0.
  per_node.thn1[12] = 10.0;
  RunResult c = run_deck(per_node.text());
  ASSERT_EQ(c.status, 0) << c.errors;
  EXPECT_DOUBLE_EQ(self_weight(c), 0.087 * (8 * 120 * 120 + 2 * 30 * 30));
  EXPECT_FALSE(c.contains("NaN"));
  EXPECT_NEAR(value_after(c.lines(), "THE SUM OF REACTION FORCES IS"), self_weight(c), 0.002);

  // Bonded layers scale the temperature by each layer's thickness.
  per_node.layers.push_back(Layer{4.0, 4.0e6, 0.15, 0.087, -10.0, 5.5e-6});
  per_node.icomp = 1;
  per_node.thn1.assign(25, 0.0);
  RunResult bonded = run_deck(per_node.text());
  EXPECT_TRUE(bonded.contains(
      "***THE LAYERS OF ELEMENT     1 ARE      .000 AND     4.000 THICK: THE\r\n"
      "          THERMAL MOMENT OF BONDED LAYERS NEEDS A POSITIVE THICKNESS OF EACH LAYER."));
  expect_refused(bonded);
}

TEST(CurlingContactReport, BondedEqualLayersBendLikeOneLayerOfTheirTotalThickness) {
  // A linear temperature through 8 in: 10 F across each 4 in layer, 20 F across all.
  SlabDeck one = contact_deck(7);
  SlabDeck two = one;
  two.icomp = 1;
  two.layers = {Layer{4.0, 4.0e6, 0.15, 0.087, -10.0, 5.5e-6},
                Layer{4.0, 4.0e6, 0.15, 0.087, -10.0, 5.5e-6}};
  RunResult a = run_deck(one.text()), b = run_deck(two.text());
  ASSERT_EQ(b.status, 0) << b.errors;
  const auto wa = last_node_table(a.lines(), "DEFLECTIONS OF THE SLAB");
  const auto wb = last_node_table(b.lines(), "DEFLECTIONS OF THE SLAB");
  ASSERT_EQ(wa.size(), 25u);
  EXPECT_EQ(wb, wa);
  EXPECT_EQ(last_node_list(b.lines(), "NODES OUT OF CONTACT"),
            last_node_list(a.lines(), "NODES OUT OF CONTACT"));
}

TEST(CurlingContactReport, NodeLinesNotStartingAtZeroGiveTheSameAnalysis) {
  SlabDeck d = contact_deck(7);
  d.xc = {0, 40, 80, 130, 180};
  d.yc = {0, 30, 60, 100, 120};
  RunResult at0 = run_deck(d.text());
  for (double& x : d.xc) x += 250;
  for (double& y : d.yc) y -= 40;
  RunResult moved = run_deck(d.text());
  ASSERT_EQ(moved.status, 0) << moved.errors;
  EXPECT_DOUBLE_EQ(self_weight(moved), 8 * 0.087 * 180 * 120);
  const std::string stop = "DEFLECTIONS MEASURED FROM INITIALLY FLAT SURFACE";
  const std::string a = analysis_part(at0), b = analysis_part(moved);
  EXPECT_FALSE(a.empty());
  EXPECT_EQ(b.substr(0, b.find(stop)), a.substr(0, a.find(stop)));
}

TEST(CurlingContactReport, JointedPavementsRunOnDenseLiquidAndSprings) {
  // Two 120 x 120 slabs joined at x = 120 by dowels and interlock, top 20 F cooler,
  // 10 in elements.
  for (int type : {6, 7}) {
    SlabDeck d = contact_deck(type);
    d.xc.clear();
    d.yc.clear();
    for (int i = 0; i <= 12; ++i) d.yc.push_back(10.0 * i);
    for (int s = 0; s < 2; ++s)
      for (int i = 0; i <= 12; ++i) d.xc.push_back(120.0 * s + 10.0 * i);
    d.nnx = {13, 13};
    d.jx.lt = 2;
    RunResult r = run_deck(d.text());
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_FALSE(r.contains("NaN")) << type;
    EXPECT_FALSE(r.contains("IC=ICYCLE")) << type;
    EXPECT_TRUE(r.contains("LOAD TRANSFER IN")) << type;
    EXPECT_DOUBLE_EQ(self_weight(r), 8 * 0.087 * 240 * 120);
    // The reaction sum after the second slab is the whole support force. The report
    // lumps the reactions by tributary area; the dense liquid (type 6) supports the
    // slab through the consistent matrix, so there they balance only roughly.
    double total = 0.0;
    for (const std::string& l : r.lines())
      if (auto p = l.find("THE SUM OF REACTION FORCES IS"); p != std::string::npos)
        total = std::strtod(l.c_str() + p + 29, nullptr);
    EXPECT_NEAR(total / self_weight(r), 1.0, type == 7 ? 1e-6 : 0.01) << type;
  }
}

}  // namespace
}  // namespace meridolan
