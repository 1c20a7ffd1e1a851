// Curling analyses on a Winkler support run from decks: the report they print and
// the decks they refuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// A 120 x 120 slab on 3 x 3 node lines, top 20 F cooler, one gap and one node
// listed with zero pressure.
SlabDeck small_curling_deck() {
  SlabDeck d;
  d.icurl = 1;
  d.iwink = 1;
  d.xc = d.yc = {0, 60, 120};
  d.layers = {Layer{8.0, 4.0e6, 0.15, 0.087, -20.0, 5.5e-6}};
  d.gaps = {{5, 0.01}};
  d.zero_pressure = {9};
  return d;
}

// The part of the report that the curling analysis and the results print.
std::string analysis_part(const RunResult& r) {
  const std::size_t at = r.report.find("ANALYSIS WITH TEMPERATURE AND OR GAPS");
  return at == std::string::npos ? "" : r.report.substr(at);
}

std::vector<std::string> lines_from(const RunResult& r, const std::string& text) {
  return testing::lines_from(r.lines(), text);
}

void expect_no_result_numbers(const RunResult& r) {
  EXPECT_FALSE(r.contains("NaN"));
  EXPECT_FALSE(r.contains("Inf"));
  EXPECT_FALSE(r.contains("DEFLECTIONS MEASURED FROM INITIALLY FLAT SURFACE"));
  EXPECT_TRUE(r.contains("PROGRAM TERMINATED."));
  EXPECT_TRUE(r.contains("\r\nStop - Program terminated.\r\n"));
}

TEST(CurlingReport, HeadingListsCentreAndCurlingDistancesBeforeTheIteration) {
  RunResult r = run_deck(small_curling_deck().text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const std::vector<std::string> l = lines_from(r, "ANALYSIS WITH TEMPERATURE");
  ASSERT_GT(l.size(), 40u);
  const std::vector<std::string> head = {
      "                   ANALYSIS WITH TEMPERATURE AND OR GAPS - SUBGRADE TYPE  7", "", "",
      "    DIFFERENCE IN TEMPERATURE BETWEEN BOTTOM AND TOP SURFACE IS   20.000", "", "",
      "    COEFFICIENT OF THERMAL EXPANSION=  .550E-05", "", "",
      "    CONCRETE DENSITY                =      .087", "", "",
      "    SLAB SELF-WEIGHT                = 10022.400", "", "",
      "    NODE NUMBER AND GAP AT THE NODE", "        5      .010", "", "",
      "    NODES WITH ZERO INITIAL REACTIVE PRESSURE", "        9", "", "",
      "              SIGN CONVENTION",
      "    INITIAL CURLING DISTANCES : POSITIVE UPWARDS FROM THE CENTER OF THE INITIALLY CURLED "
      "WEIGHTLESS SLAB",
      "    INITIAL GAP : POSITIVE DOWNWARD FROM THE CENTER OF INITIALLY CURLED WEIGHTLESS SLAB",
      "    SLAB DEFLECTIONS : POSITIVE DOWNWARDS FROM INITIALLY CURLED SLAB SURFACE",
      "    SUBGRADE DEFLECTIONS : POSITIVE UPWARDS FROM THE CENTER OF THE INITIALLY CURLED "
      "WEIGHTLESS SLAB",
      "", "    X-COORDINATE OF THE CENTER OF THE SLAB IS=  60.000",
      "    Y-COORDINATE OF THE CENTER OF THE SLAB IS=  60.000", "\f", "", "",
      "    INITIAL CURLING DISTANCES (PLUS GAPS IF THEY EXIST)", "",
      // 60^2 * 5.5E-6 * 20 / 16 = .02475 on the edges, twice that at the corners.
      "        1    .04950    2    .02475    3    .04950    4    .02475    5    .01000    6    "
      ".02475    7    .04950    8    .02475",
      "        9    .04950", "\f", "", "", "    ITERATION NUMBER IS   1", "", "",
      "    SLAB DEFLECTIONS ", ""};
  EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + head.size()), head);
  // No iteration banner on this path; the results follow the last update directly.
  EXPECT_FALSE(r.contains("I T E R A T I O N"));
  const std::string tail = analysis_part(r);
  EXPECT_LT(tail.find("NODES OUT OF CONTACT AFTER CURRENT ITERATION"),
            tail.find("DEFLECTIONS MEASURED FROM INITIALLY FLAT SURFACE"));
}

TEST(CurlingReport, ZeroPressureNodeStartsWithoutASpringAndIsReclassified) {
  RunResult r = run_deck(small_curling_deck().text());
  const auto l = r.lines();
  // Node 9 (a corner) was out for the first solution; the cooler top keeps the
  // corners up, so the first update changes the other three corners.
  EXPECT_EQ(last_node_list(l, "NODES OUT OF CONTACT AFTER CURRENT ITERATION"),
            (std::vector<int>{1, 3, 7, 9}));
  EXPECT_TRUE(r.contains("AFTER CURRENT ITERATION IS    3"));
  const auto d = deflections(l);
  for (int n : {1, 3, 7, 9}) {
    EXPECT_EQ(d.at(n).q, 0.0) << n;
    EXPECT_EQ(d.at(n).f, 0.0) << n;
  }
  EXPECT_NEAR(value_after(l, "THE SUM OF REACTION FORCES IS"), 10022.4, 0.002);
  EXPECT_NEAR(value_after(l, "SUM OF EXTERNAL FORCES AND SELF-WEIGHT (IF ANY) ="), 10022.4, 0.002);
}

TEST(CurlingReport, TwoLayersPrintTheBottomDensityAndWeighBoth) {
  SlabDeck d = small_curling_deck();
  d.layers.push_back(Layer{4.0, 1.0e6, 0.2, 0.1, -10.0, 6.0e-6});
  RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  // Both differences count: the bottom is 30 F warmer than the top.
  EXPECT_TRUE(r.contains("BETWEEN BOTTOM AND TOP SURFACE IS   30.000"));
  EXPECT_TRUE(r.contains("\r\n    CONCRETE DENSITY-BOTTOM LAYER=      .100\r\n"));
  EXPECT_DOUBLE_EQ(value_after(r.lines(), "SLAB SELF-WEIGHT                ="),
                   (8 * 0.087 + 4 * 0.1) * 120 * 120);
}

// Decks whose node lines start at 0 and the same deck moved by (250, -40).
TEST(CurlingReport, NodeLinesNotStartingAtZeroCurlAboutTheirOwnCentre) {
  SlabDeck d = small_curling_deck();
  d.xc = {0, 40, 80, 130, 180};
  d.yc = {0, 30, 60, 100};
  RunResult at0 = run_deck(d.text());
  for (double& x : d.xc) x += 250;
  for (double& y : d.yc) y -= 40;
  RunResult moved = run_deck(d.text());
  ASSERT_EQ(moved.status, 0) << moved.errors;
  EXPECT_TRUE(at0.contains("X-COORDINATE OF THE CENTER OF THE SLAB IS=  90.000"));
  EXPECT_TRUE(moved.contains("X-COORDINATE OF THE CENTER OF THE SLAB IS= 340.000"));
  EXPECT_TRUE(moved.contains("Y-COORDINATE OF THE CENTER OF THE SLAB IS=  10.000"));
  // Everything from the self-weight on, the centre lines apart, is the same.
  auto strip = [](const RunResult& r) {
    std::vector<std::string> out;
    for (const std::string& l : lines_from(r, "SLAB SELF-WEIGHT"))
      if (l.find("CENTER OF THE SLAB") == std::string::npos) out.push_back(l);
    return out;
  };
  EXPECT_FALSE(strip(at0).empty());
  EXPECT_EQ(strip(moved), strip(at0));
}

TEST(CurlingReport, UniformThicknessGivenPerNodeRunsAsTheUniformValue) {
  SlabDeck uniform = small_curling_deck();
  SlabDeck per_node = uniform;
  per_node.layers[0].h = 0.0;
  per_node.thn1.assign(9, 8.0);
  RunResult a = run_deck(uniform.text()), b = run_deck(per_node.text());
  ASSERT_EQ(b.status, 0) << b.errors;
  EXPECT_FALSE(analysis_part(a).empty());
  EXPECT_EQ(analysis_part(b), analysis_part(a));
}

TEST(CurlingReport, VaryingNodalThicknessIsRefusedForCurlingAndWeighedForGapsAlone) {
  SlabDeck d = small_curling_deck();
  d.layers[0].h = 0.0;
  d.thn1 = {8, 8, 8, 8, 10, 8, 8, 8, 8};
  RunResult curl = run_deck(d.text());
  EXPECT_EQ(curl.status, kExitRefused);
  EXPECT_TRUE(curl.contains(
      "***THE SLAB THICKNESS IS GIVEN PER NODE AND DIFFERS FROM NODE TO NODE:\r\n"
      "          THE INITIAL CURLING DISTANCES NEED ONE THICKNESS FOR THE WHOLE SLAB."));
  EXPECT_FALSE(curl.contains("ANALYSIS WITH TEMPERATURE"));
  expect_no_result_numbers(curl);

  // Without a temperature difference only the weight needs the thicknesses: the
  // middle node's quarter-elements weigh 2 in more.
  d.layers[0].dt = 0.0;
  RunResult gaps = run_deck(d.text());
  ASSERT_EQ(gaps.status, 0) << gaps.errors;
  EXPECT_DOUBLE_EQ(value_after(gaps.lines(), "SLAB SELF-WEIGHT                ="),
                   0.087 * (8 * 120 * 120 + 2 * 60 * 60));
  EXPECT_FALSE(gaps.contains("NaN"));
}

TEST(CurlingReport, WinklerCurlingOnAnElasticSolidIsRefused) {
  SlabDeck d = small_curling_deck();
  d.isubgr = 8;
  d.esub = 20000.0;  // the solid's modulus
  RunResult r = run_deck(d.text());
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_TRUE(
      r.contains("***THE CURLING ANALYSIS ON A WINKLER SUPPORT (IWINK = 1) CANNOT RUN ON AN\r\n"
                 "          ELASTIC SOLID SUBGRADE (SUBGRADE TYPE 8)"));
  expect_no_result_numbers(r);
}

TEST(CurlingReport, NoNodeInContactEndsTheRunWithAMessage) {
  SlabDeck d = small_curling_deck();
  d.zero_pressure = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  RunResult r = run_deck(d.text());
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_TRUE(
      r.contains("***NO NODE OF THE SLAB IS IN CONTACT WITH THE SUBGRADE IN ITERATION   1."));
  EXPECT_FALSE(r.contains("    SLAB DEFLECTIONS \r\n"));
  expect_no_result_numbers(r);

  // A suction over the whole slab lifts every node after the first solution.
  d = small_curling_deck();
  d.zero_pressure.clear();
  d.loads = {Load{-5.0, 0, 120, 0, 120}};
  r = run_deck(d.text());
  EXPECT_TRUE(
      r.contains("***NO NODE OF THE SLAB IS IN CONTACT WITH THE SUBGRADE IN ITERATION   2."));
  EXPECT_EQ(last_node_list(r.lines(), "NODES OUT OF CONTACT AFTER CURRENT ITERATION").size(), 9u);
  expect_no_result_numbers(r);
}

TEST(CurlingReport, ZeroPressureNodeOutsideTheMeshIsRefused) {
  SlabDeck d = small_curling_deck();
  d.zero_pressure = {4, 10};
  RunResult r = run_deck(d.text());
  EXPECT_TRUE(
      r.contains("***NODE    10 OF THE ZERO INITIAL REACTIVE PRESSURE RECORDS IS NOT A "
                 "NODE OF THE MESH (1 TO     9)."));
  EXPECT_FALSE(r.contains("ANALYSIS WITH TEMPERATURE"));
}

}  // namespace
}  // namespace meridolan
