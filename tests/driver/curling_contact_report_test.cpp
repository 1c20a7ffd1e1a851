// Curling and gap analyses with contact iteration run from decks: the report they
// print, how they end, and the decks they refuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// A 120 x 120 slab on 5 x 5 node lines, top 20 F cooler; springs or the elastic solid.
SlabDeck contact_deck(int isubgr = 7) {
  SlabDeck d;
  d.icurl = 1;
  d.isubgr = isubgr;
  d.xc = d.yc = {0, 30, 60, 90, 120};
  d.layers = {Layer{8.0, 4.0e6, 0.15, 0.087, -20.0, 5.5e-6}};
  if (isubgr == 8) d.k = 0.0, d.esub = 10000.0, d.prsub = 0.4;
  return d;
}

std::string analysis_part(const RunResult& r) {
  const std::size_t at = r.report.find("ANALYSIS WITH TEMPERATURE AND OR GAPS");
  return at == std::string::npos ? "" : r.report.substr(at);
}

double self_weight(const RunResult& r) {
  return value_after(r.lines(), "SLAB SELF-WEIGHT                =");
}

// Sum of the forces of the elastic solid's subgrade table.
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
  EXPECT_FALSE(r.contains("NaN"));
  EXPECT_FALSE(r.contains("ANALYSIS WITH TEMPERATURE"));
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
  // Lifted nodes print no subgrade stress and force.
  const auto defl = deflections(r.lines());
  const std::vector<int> out = last_node_list(r.lines(), "NODES OUT OF CONTACT");
  EXPECT_FALSE(out.empty());
  for (int n : out) EXPECT_TRUE(defl.at(n).q == 0.0 && defl.at(n).f == 0.0) << n;
}

TEST(CurlingContactReport, SubgradeTypesWithoutSupportInThisAnalysisAreRefused) {
  for (int type : {2, 5, 9}) {
    RunResult r = run_deck(contact_deck(type).text());
    EXPECT_TRUE(
        r.contains("***THE CURLING AND GAP ANALYSIS WITH CONTACT ITERATION (IWINK NOT 1) RUNS\r\n"
                   "          ON SUBGRADE TYPES 6, 7 AND 8 ONLY: SUBGRADE TYPE  " +
                   std::to_string(type) + " GIVES THE SLAB NO"))
        << type;
    expect_refused(r);
  }
}

TEST(CurlingContactReport, ElasticSolidIteratesForAnyIcurlAndPrintsOnceSettled) {
  // Self-weight alone keeps every node down: the first update changes nothing, and
  // the next solution prints the results, even with one cycle allowed.
  SlabDeck d = contact_deck(8);
  d.layers[0].dt = 0.0;
  d.icycle = 1;
  RunResult one = run_deck(d.text());
  d.icurl = 2;
  RunResult two = run_deck(d.text());
  ASSERT_EQ(two.status, 0) << two.errors;
  EXPECT_EQ(analysis_part(two), analysis_part(one));
  EXPECT_FALSE(two.contains("IC=ICYCLE"));
  EXPECT_TRUE(two.contains("IN DIFFERENT CONTACT CONDITION   IS    0"));
  EXPECT_TRUE(two.contains("ITERATION NUMBER IS   2"));
  // The loads are taken once: the solid carries the self-weight.
  EXPECT_NEAR(solid_force_sum(two) / self_weight(two), 1.0, 1e-4);
}

TEST(CurlingContactReport, IterationLimitReportsTheLastSolutionWithItsContactState) {
  // One solution with every node in contact; the update lifts the corners.
  for (int type : {7, 8}) {
    SlabDeck d = contact_deck(type);
    d.icycle = 1;
    RunResult r = run_deck(d.text());
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_TRUE(
        r.contains("\r\n    ITERATION NUMBER IS   2\r\n\r\n\r\n\r\n\r\n"
                   "         IC=ICYCLE\r\n"
                   "CONVERGENCE IS NOT ACHIEVED         --INCREASE ICYCLE\r\n"));
    EXPECT_FALSE(r.contains("ITERATION NUMBER IS   3"));
    EXPECT_FALSE(last_node_list(r.lines(), "NODES OUT OF CONTACT").empty());
    const auto first = last_node_table(r.lines(), "DEFLECTIONS OF THE SLAB");
    const auto defl = deflections(r.lines());
    EXPECT_LT(first.at(1), 0.0);
    EXPECT_NEAR(defl.at(1).w, first.at(1), 5e-6) << type;
    if (type == 7) {
      // The corner was in contact in that solution: it pulls on its spring.
      EXPECT_LT(defl.at(1).f, 0.0);
      EXPECT_NEAR(value_after(r.lines(), "THE SUM OF REACTION FORCES IS"), self_weight(r), 0.002);
    } else {
      EXPECT_NEAR(solid_force_sum(r) / self_weight(r), 1.0, 1e-4);
    }
  }
}

TEST(CurlingContactReport, UniformGapOnTheElasticSolidShiftsTheSlabByTheGap) {
  SlabDeck d = contact_deck(8);
  d.layers[0].dt = 0.0;
  RunResult flat = run_deck(d.text());
  for (int n = 1; n <= 25; ++n) d.gaps.push_back({n, 0.05});
  RunResult gap = run_deck(d.text());
  const auto a = last_node_table(flat.lines(), "DEFLECTIONS OF THE SLAB");
  const auto b = last_node_table(gap.lines(), "DEFLECTIONS OF THE SLAB");
  ASSERT_EQ(b.size(), 25u);
  for (const auto& [n, v] : a) EXPECT_NEAR(b.at(n), v + 0.05, 1.5e-5) << n;
  // The solid acts on the deflections beyond the gaps: the same subgrade table.
  auto table = [](const RunResult& r) {
    const std::size_t from = r.report.find("SUBGRADE STRESSES FOR ELASTIC SOLID");
    return r.report.substr(from, r.report.find("MAXIMUM OR MINIMUM") - from);
  };
  EXPECT_EQ(table(gap), table(flat));
}

TEST(CurlingContactReport, LayerThicknessesPerNodeAndBondedLayers) {
  SlabDeck uniform = contact_deck(7);
  SlabDeck per_node = uniform;
  per_node.layers[0].h = 0.0;
  per_node.thn1.assign(25, 8.0);
  RunResult a = run_deck(uniform.text()), b = run_deck(per_node.text());
  EXPECT_FALSE(analysis_part(a).empty());
  EXPECT_EQ(analysis_part(b), analysis_part(a));

  // Bonded equal layers with 10 F across each bend like one layer of 8 in with 20 F.
  SlabDeck two = uniform;
  two.icomp = 1;
  two.layers = {Layer{4.0, 4.0e6, 0.15, 0.087, -10.0, 5.5e-6},
                Layer{4.0, 4.0e6, 0.15, 0.087, -10.0, 5.5e-6}};
  RunResult c = run_deck(two.text());
  EXPECT_EQ(last_node_table(c.lines(), "DEFLECTIONS OF THE SLAB"),
            last_node_table(a.lines(), "DEFLECTIONS OF THE SLAB"));

  // A bonded layer without thickness has no equivalent thickness: it is refused
  // with the layer records, before the thermal moments are formed.
  two.layers[0].h = 0.0;
  two.thn1.assign(25, 0.0);
  RunResult bad = run_deck(two.text());
  EXPECT_TRUE(
      bad.contains("***TOP-LAYER THICKNESS RECORDS, NODE     1: THICKNESS =           .0000\r\n"));
  expect_refused(bad);
}

TEST(CurlingContactReport, MovedNodeLinesAndJointedPavements) {
  SlabDeck d = contact_deck(7);
  RunResult at0 = run_deck(d.text());
  for (double& x : d.xc) x += 250;
  for (double& y : d.yc) y -= 40;
  RunResult moved = run_deck(d.text());
  const std::string to = "DEFLECTIONS MEASURED FROM INITIALLY FLAT SURFACE";
  const std::string a = analysis_part(at0), b = analysis_part(moved);
  EXPECT_EQ(b.substr(0, b.find(to)), a.substr(0, a.find(to)));

  // Two slabs of 120 x 120 on 10 in elements, joined at x = 120 by dowels and
  // interlock. The report lumps the reactions by tributary area; the dense liquid
  // supports the slab through the consistent matrix, so there they balance roughly.
  for (int type : {6, 7}) {
    d = contact_deck(type);
    d.xc.clear();
    d.yc.clear();
    for (int i = 0; i <= 12; ++i) d.yc.push_back(10.0 * i);
    for (int s = 0; s < 2; ++s)
      for (int i = 0; i <= 12; ++i) d.xc.push_back(120.0 * s + 10.0 * i);
    d.nnx = {13, 13};
    RunResult r = run_deck(d.text());
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_FALSE(r.contains("NaN") || r.contains("IC=ICYCLE")) << type;
    EXPECT_TRUE(r.contains("LOAD TRANSFER IN")) << type;
    EXPECT_DOUBLE_EQ(self_weight(r), 8 * 0.087 * 240 * 120);
    const double sum = value_after(r.lines(), "SUM OF REACTION FORCES =");
    EXPECT_NEAR(sum / self_weight(r), 1.0, type == 7 ? 1e-6 : 0.01) << type;
  }
}

}  // namespace
}  // namespace meridolan
