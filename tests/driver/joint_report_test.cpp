// Jointed pavements through the whole program: the printed load-transfer section,
// the decisions taken where dowel data leave no usable joint, and the mesh checks.
#include <gtest/gtest.h>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// Two slabs 0..120 and 120..240 in x, 0..120 in y, 3 x 3 nodes each (60-in elements),
// on springs; an unsymmetric load on the first slab.
SlabDeck small_pair(const JointRecords& j) {
  SlabDeck d;
  d.xc = {0, 60, 120, 120, 180, 240};
  d.yc = {0, 60, 120};
  d.nnx = {3, 3};
  d.isubgr = 7;
  d.jx = j;
  d.loads = {{100.0, 90, 110, 50, 70}};
  return d;
}

std::vector<int> near_nodes(const std::vector<TransferLine>& t) {
  std::vector<int> n;
  for (const TransferLine& l : t) n.push_back(l.n);
  return n;
}

bool has_nan(const RunResult& r) {
  return r.contains("NaN") || r.contains("Inf");
}

TEST(JointReport, DowelsAndInterlockPrintTwoLinesPerNodeThenTotalsAndNotice) {
  const RunResult r = run_deck(small_pair(JointRecords{}).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  const auto t = transfer_lines(lines);
  EXPECT_EQ(near_nodes(t), (std::vector<int>{7, 7, 8, 8, 9, 9}));
  double sd = 0, sa = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    EXPECT_EQ(t[i].m, t[i].n + 3);
    EXPECT_EQ(t[i].partner, -t[i].load);
    (i % 2 == 0 ? sd : sa) += t[i].load;
  }
  EXPECT_NEAR(value_after(lines, "TRANSFERRED BY DOWELS IN X- DIRECTION IS"), sd, 0.002);
  EXPECT_NEAR(value_after(lines, "AGGREGATE INTERLOCK IN X- DIRECTION IS"), sa, 0.002);
  // A transfer line: node, load, partner, load, and the blanks the format ends with.
  char line[120];
  std::snprintf(line, sizeof line, "%14d%20.3f%25d%20.3f          ", 7, t[0].load, 10,
                t[0].partner);
  EXPECT_TRUE(r.has_line(line)) << line;
  const std::string tail =
      "AND THE SECOND SHOWS LOAD TRANSFERRED BY AGGREGATE INTERLOCK\r\n\f\b \r\r\n";
  EXPECT_TRUE(r.contains(tail));
  EXPECT_FALSE(has_nan(r));
}

TEST(JointReport, ListedDowelsPrintOnlyWhereTheStiffnessPlacedThem) {
  JointRecords j;
  j.sp = 0.0;
  j.list = {8};  // the middle near-face node only
  const RunResult r = run_deck(small_pair(j).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(near_nodes(transfer_lines(r.lines())), (std::vector<int>{7, 8, 8, 9}));
  EXPECT_TRUE(r.contains("DOWELS ARE LOCATED AT THE FOLLOWING NODES IN X-DIRECTION"));
  // The spacing stays as read: the echo and any later pass see zero.
  EXPECT_TRUE(r.contains("SPACING=      .000"));
}

TEST(JointReport, TypesOtherThanZeroAndOneTransferByBoth) {
  JointRecords j;
  j.lt = 3;
  const RunResult r = run_deck(small_pair(j).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(transfer_lines(r.lines()).size(), 6u);
  EXPECT_TRUE(r.contains("NOTICE:  IF A NODE NUMBER IS REPEATED"));
  EXPECT_FALSE(r.contains("TYPE OF LOAD TRANSFER"));  // no type line for such a code
}

TEST(JointReport, TorsionAloneCarriesNoLoad) {
  JointRecords j;
  j.lt = 1;
  j.jsw = {1, 0, 0};
  const RunResult r = run_deck(small_pair(j).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto t = transfer_lines(r.lines());
  ASSERT_EQ(t.size(), 3u);
  for (const TransferLine& l : t) EXPECT_EQ(std::abs(l.load), 0.0);
  EXPECT_FALSE(r.contains("AGGREGATE INTERLOCK IN X- DIRECTION IS"));
}

TEST(JointReport, AZeroJointWidthGivesFiniteLoads) {
  JointRecords j;
  j.wj = 0.0;
  const RunResult r = run_deck(small_pair(j).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.contains("JOINT WIDTH=      .000"));
  EXPECT_EQ(transfer_lines(r.lines()).size(), 6u);
  EXPECT_FALSE(has_nan(r));
}

TEST(JointReport, DowelsWithoutPlacementAreNamedAndCarryNothing) {
  JointRecords j;
  j.sp = 0.0;  // no spacing and an empty list
  const RunResult r = run_deck(small_pair(j).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.contains("***WARNING: NO DOWEL IS PLACED IN X-DIRECTION"));
  EXPECT_EQ(transfer_lines(r.lines()).size(), 3u);  // interlock lines only
  EXPECT_EQ(value_after(r.lines(), "TRANSFERRED BY DOWELS IN X- DIRECTION IS"), 0.0);
  EXPECT_FALSE(has_nan(r));
}

TEST(JointReport, PlacedDowelsWithoutConcreteSupportAreRefused) {
  JointRecords j;
  j.kdc = 0.0;
  const RunResult r = run_deck(small_pair(j).text());
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_TRUE(
      r.contains("***DOWEL-CONCRETE INTERACTION IN X-DIRECTION IS  .000E+00: IT MUST BE "
                 "POSITIVE\r\n          FOR THE DOWELS TO CARRY LOAD."));
  EXPECT_FALSE(r.contains("TRANSFERRED LOAD"));
}

TEST(JointReport, DowelsTooStiffForTheirSupportStopAtANegativePivot) {
  JointRecords j;
  j.lt = 1;
  j.kdc = 1.5e5;  // soft concrete support under 1.25-in bars every 12 in
  SlabDeck d = small_pair(j);
  d.xc = {0, 10, 20, 30, 40, 50, 60, 60, 70, 80, 90, 100, 110, 120};
  d.yc = {0, 10, 20, 30, 40, 50, 60};
  d.nnx = {7, 7};
  d.loads = {{90.0, 50, 60, 25, 35}};
  const RunResult r = run_deck(d.text());
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_TRUE(r.contains("***NEGATIVE PIVOT IN EQUATION"))
      << r.report.substr(r.report.size() - 900);
  EXPECT_TRUE(r.contains("THE MODEL HAS DOWELS"));
  EXPECT_FALSE(r.contains("TRANSFERRED LOAD"));
  // A little stiffer support keeps the matrix positive definite, but the dowels still
  // draw energy from the solution: the report says their loads mean nothing.
  d.jx.kdc = 7e5;
  const RunResult w = run_deck(d.text());
  EXPECT_TRUE(w.contains("***WARNING: THE DOWELS OF THIS X-JOINT STORE NEGATIVE ENERGY"));
  d.jx.kdc = 1.5e6;
  EXPECT_FALSE(run_deck(d.text()).contains("NEGATIVE ENERGY"));
}

TEST(JointReport, SlabRowsPrintTheYSectionOnceWithItsNoticeAtTheEnd) {
  SlabDeck d;
  d.xc = {0, 60, 120};
  d.yc = {0, 60, 60, 120, 120, 180};
  d.nny = {2, 2, 2};
  d.isubgr = 7;
  d.jy = JointRecords{};
  d.loads = {{100.0, 50, 70, 40, 60}};
  const RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_FALSE(r.contains("LOAD TRANSFER IN X-DIRECTION"));
  const auto t = transfer_lines(r.lines());
  // Joint after row 1 (nodes 2, 8, 14), then after row 2 (nodes 4, 10, 16).
  EXPECT_EQ(near_nodes(t), (std::vector<int>{2, 2, 8, 8, 14, 14, 4, 4, 10, 10, 16, 16}));
  for (const TransferLine& l : t) EXPECT_EQ(l.m, l.n + 1);
  EXPECT_TRUE(r.contains("\r\n\r\n         THE LOAD TRANSFERRED BY DOWELS IN Y- DIRECTION IS"));
  EXPECT_TRUE(r.contains("THE LOAD TRANSFERRED BY AGGREGATE INTERLOCK IN Y- DICTION IS"));
  std::size_t notices = 0;
  for (std::size_t at = r.report.find("NOTICE:"); at != std::string::npos;
       at = r.report.find("NOTICE:", at + 1))
    ++notices;
  EXPECT_EQ(notices, 1u);
  // Reaction sums: all rows of a slab column counted; one column, one line at the end.
  std::size_t sums = 0;
  for (const std::string& l : r.lines()) sums += l.find("THE SUM OF REACTION FORCES IS") != l.npos;
  EXPECT_EQ(sums, 1u);
  EXPECT_NEAR(value_after(r.lines(), "THE SUM OF REACTION FORCES IS"), 40000.0, 0.002);
}

// The notice follows every x-joint of a combined transfer and the y-section once at
// its end, each by its own direction's type.
TEST(JointReport, EachDirectionPrintsTheNoticeOfItsOwnTransferType) {
  for (const auto& [ltx, lty] : {std::pair{2, 1}, std::pair{1, 2}, std::pair{2, 2}}) {
    SlabDeck d;
    d.xc = {0, 60, 120, 120, 180, 240};
    d.yc = {0, 60, 120, 120, 180, 240};
    d.nnx = {3, 3};
    d.nny = {3, 3};
    d.isubgr = 7;
    d.jx.lt = ltx;
    d.jy.lt = lty;
    d.loads = {{100.0, 90, 110, 90, 110}};
    const RunResult r = run_deck(d.text());
    ASSERT_EQ(r.status, 0) << r.errors;
    // The echo has the same headings: the transfer sections are the last ones.
    const std::size_t x = r.report.rfind("LOAD TRANSFER IN X-DIRECTION");
    const std::size_t y = r.report.rfind("LOAD TRANSFER IN Y-DIRECTION");
    ASSERT_LT(x, y);
    std::size_t in_x = 0, in_y = 0;
    for (std::size_t at = r.report.find("NOTICE:", x); at != std::string::npos;
         at = r.report.find("NOTICE:", at + 1))
      ++(at < y ? in_x : in_y);
    EXPECT_EQ(in_x, ltx == 2 ? 1u : 0u) << ltx << lty;
    EXPECT_EQ(in_y, lty == 2 ? 1u : 0u) << ltx << lty;
  }
}

TEST(JointReport, SumLinesCountEveryRowOfASlabColumn) {
  SlabDeck d;
  d.xc = {0, 60, 120, 120, 180, 240};
  d.yc = {0, 60, 60, 120};
  d.nnx = {3, 3};
  d.nny = {2, 2};
  d.isubgr = 7;
  d.loads = {{100.0, 10, 50, 10, 50}};
  const RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines = r.lines();
  std::vector<std::string> before;  // the node line just above each sum line
  for (std::size_t i = 1; i < lines.size(); ++i)
    if (lines[i].find("THE SUM OF REACTION FORCES IS") != std::string::npos)
      before.push_back(lines[i - 1].substr(0, 14));
  EXPECT_EQ(before, (std::vector<std::string>{"            12", "            24"}));
  // Both joints are present: the crossing element adds nothing, the report is finite.
  EXPECT_TRUE(r.contains("LOAD TRANSFER IN Y-DIRECTION"));
  EXPECT_FALSE(has_nan(r));
}

TEST(JointReport, VlasovSubgradeOverJointsStaysFinite) {
  SlabDeck d = small_pair(JointRecords{});
  d.isubgr = 9;
  d.vshear = 500.0;
  const RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.contains("SUBGRADE STRESSES FOR VLASOV SUBGRADE"));
  EXPECT_FALSE(has_nan(r));
}

TEST(JointReport, HalfModelPrintsTheDeflectionsOfTheFullModel) {
  // Symmetric about y = 0: the full pavement spans y = -120..120, the half 0..120.
  SlabDeck full = small_pair(JointRecords{});
  full.yc = {-120, -60, 0, 60, 120};
  full.loads = {{100.0, 90, 110, -20, 20}};
  SlabDeck half = small_pair(JointRecords{});
  half.isym = 1;
  half.loads = {{100.0, 90, 110, 0, 20}};
  const auto wf = deflections(run_deck(full.text()).lines());
  const auto wh = deflections(run_deck(half.text()).lines());
  ASSERT_EQ(wh.size(), 18u);
  for (int col = 0; col < 6; ++col)
    for (int row = 0; row < 3; ++row)
      EXPECT_NEAR(wh.at(col * 3 + row + 1).w, wf.at(col * 5 + row + 3).w, 1.5e-6)
          << col << " " << row;
}

TEST(JointReport, TenByTenSlabsBalanceTheirLoad) {
  // The largest layout: 10 x 10 slabs of 3 x 3 nodes, joints both ways, a quarter model.
  SlabDeck d;
  for (int k = 0; k < 10; ++k)
    for (double x : {0.0, 15.0, 30.0}) {
      d.xc.push_back(30.0 * k + x);
      d.yc.push_back(30.0 * k + x);
    }
  d.nnx = d.nny = std::vector<int>(10, 3);
  d.isym = 3;
  d.isubgr = 7;
  d.jx = d.jy = JointRecords{};
  d.loads = {{100.0, 0, 10, 0, 10}, {50.0, 140, 170, 140, 170}};
  const RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.contains("NO. OF SLABS =  100"));
  EXPECT_NEAR(value_after(r.lines(), "SUM OF REACTION FORCES ="), 55000.0, 0.006);
  EXPECT_EQ(transfer_lines(r.lines()).size(), 2u * 2 * 9 * 30);  // two lines a node pair
  EXPECT_FALSE(has_nan(r));
}

TEST(JointReport, NodeCountsThatLeaveASlabWithoutElementsAreRefused) {
  SlabDeck gap = small_pair(JointRecords{});
  gap.nnx = {3, 0, 3};
  const RunResult r = run_deck(gap.text());
  EXPECT_TRUE(r.contains(
      "***NODE COUNTS ALONG X (CONTROL RECORD 4): SLAB  2 HAS NO NODES BUT SLAB  3 FOLLOWS IT."));
  SlabDeck single = small_pair(JointRecords{});
  single.xc = {0, 60, 120, 120, 180};
  single.nnx = {3, 1, 1};
  const RunResult s = run_deck(single.text());
  EXPECT_TRUE(s.contains("SLAB  2 HAS A SINGLE NODE LINE; EVERY SLAB NEEDS AT LEAST TWO."));
  EXPECT_FALSE(s.contains("X-COORDINATES ARE"));
}

}  // namespace
}  // namespace meridolan
