// The rest of the model deck: joints and dowels in both directions, loaded areas and
// their subareas, and the soil-class, temperature and gap records.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "driver/input.h"
#include "driver/input_fixture.h"
#include "support/deck_builder.h"

namespace meridolan {
namespace {

using testing::control;
using testing::fmt_e;
using testing::fmt_f;
using testing::fmt_i;
using testing::Reading;

// Runs the joint and load reading with the node lines in place.
Reading joints(Control& C, Work& w, const std::string& deck, std::vector<double> xc,
               std::vector<double> yc, const std::function<void(Work&)>& more = {}) {
  return testing::read_with(C, w, deck, read_joints_and_loads, [&](Work& w) {
    w.XC = xc;
    w.YC = yc;
    if (more) more(w);
  });
}

// J1: inside and outside diameter, modulus, spacing, joint width, Poisson ratio,
// dowel-concrete modulus.
std::string dowels(double di, double dout, double sp, double wj, double prd) {
  return fmt_f(di) + fmt_f(dout) + fmt_e(2.9e7) + fmt_f(sp) + fmt_f(wj) + fmt_f(prd) +
         fmt_e(1.5e6) + "\n";
}

std::string nodes16(const std::vector<int>& n) {
  std::string s;
  for (std::size_t i = 0; i < n.size(); ++i) s += fmt_i(n[i]) + (i % 16 == 15 ? "\n" : "");
  return s + (n.size() % 16 != 0 ? "\n" : "");
}

std::vector<std::string> dowel_block(const std::string& spacing) {
  return {
      "",
      "",
      "",
      "         PROPERTIES OF THE DOWEL BARS:",
      "",
      "                          INSIDE DIA.=      .000",
      "                         OUTSIDE DIA.=     1.250",
      "                MODULUS OF ELASTICITY=  .290E+08",
      "                              SPACING=" + spacing,
      "                      POISSON RATIO =      .300",
      "           DOWEL-CONCRETE INTERACTION=  .150E+07",
      "",
      "",
      "                          JOINT WIDTH=      .250",
  };
}

std::vector<std::string> cat(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(JointEcho, CombinedTransferAcrossXWithDowelsBySpacing) {
  Control C = control({3, 3}, {3});
  C.joint(Axis::x).LT = 2;
  C.PR1 = 0.15;
  Work w;
  Reading r = joints(C, w, dowels(0, 1.25, 12, 0.25, 0.3) + fmt_e(5.0e4) + "\nnot a record\n",
                     {0, 10, 20, 20, 30, 40}, {0, 10, 20});
  EXPECT_EQ(r.deck_lines, 2);
  const std::vector<std::string> want = cat({
      {"", "\f", "", "         ********** LOAD TRANSFER IN X-DIRECTION ********", "", "", "",
       "         TYPE OF LOAD TRANSFER: COMBINATION OF AGGREGATE INTERLOCK AND STEEL BARS"},
      dowel_block("    12.000"),
      {"", "", "         AGGREGATE INTERLOCK FACTOR=  .500E+05", "\f", "", ""},
  });
  // No y section, and no load echo for a full deck without loaded areas.
  EXPECT_EQ(r.lines, want);
  // The worked dowel: solid bar of diameter 1.25, Poisson ratio 0.3, joint 0.25 wide.
  EXPECT_NEAR(C.joint(Axis::x).DIN, 0.11984130651399028, 1e-15);
  EXPECT_NEAR(C.joint(Axis::x).AS, 1.1044655926525593, 1e-15);
  EXPECT_NEAR(C.joint(Axis::x).PHI, 54.16626883604831, 1e-12);
  EXPECT_NEAR(C.joint(Axis::x).DIN, 0.119841, 5e-7);
  EXPECT_NEAR(C.joint(Axis::x).AS, 1.10447, 5e-6);
  EXPECT_NEAR(C.joint(Axis::x).PHI, 54.1663, 5e-5);
  EXPECT_EQ(C.joint(Axis::x).ND, 0);
  EXPECT_EQ(C.NSUB, 0);
  EXPECT_EQ(C.TOTLD, 0.0);
  EXPECT_DOUBLE_EQ(C.GSH[0], 0.425);
  EXPECT_DOUBLE_EQ(C.GSH[1], 0.5);
}

TEST(JointEcho, DowelListOverTwoLinesRepeatsItsHeading) {
  Control C = control({2, 2}, {20});
  C.joint(Axis::x).LT = 1;
  Work w;
  std::vector<int> list;
  for (int n = 21; n <= 40; ++n) list.push_back(n);
  Reading r = joints(C, w, dowels(0, 1.25, 0, 0.25, 0.3) + fmt_i(20) + "\n" + nodes16(list),
                     {0, 10, 10, 20}, std::vector<double>(20, 0.0));
  EXPECT_EQ(r.deck_lines, 4);
  const std::string head = "         DOWELS ARE LOCATED AT THE FOLLOWING NODES IN X-DIRECTION";
  const std::vector<std::string> want{
      "                          JOINT WIDTH=      .250", head,
      "            21   22   23   24   25   26   27   28   29   30   31   32   33   34   35   36",
      head, "            37   38   39   40",
      // Steel bars only: no aggregate interlock record.
      "\f", "", ""};
  EXPECT_EQ(r.from("JOINT WIDTH", 100), want);
  EXPECT_EQ(C.joint(Axis::x).ND, 20);
  EXPECT_EQ(w.NDOWX[0], 21);
  EXPECT_EQ(w.NDOWX[19], 40);
  EXPECT_TRUE(r.has("TYPE OF LOAD TRANSFER: STEEL BARS"));
}

TEST(JointEcho, AggregateAcrossXAndListedDowelsAcrossY) {
  Control C = control({2, 2}, {2, 2});
  C.joint(Axis::x).LT = 0;
  C.joint(Axis::y).LT = 1;
  Work w;
  const std::string deck = fmt_e(3.0e4) + "\n" + dowels(0, 1.25, 0, 0.25, 0.3) + fmt_i(3) + "\n" +
                           nodes16({3, 7, 11}) + "not a record\n";
  Reading r = joints(C, w, deck, {0, 10, 10, 20}, {0, 10, 10, 20});
  EXPECT_EQ(r.deck_lines, 4);
  const std::vector<std::string> want = cat({
      {"", "\f", "", "         ********** LOAD TRANSFER IN X-DIRECTION ********", "", "", "",
       "         TYPE OF LOAD TRANSFER: AGGREGATE INTERLOCK", "", "",
       "         AGGREGATE INTERLOCK FACTOR=  .300E+05",
       // The y heading does not start a page.
       "", "", "", "", "", "", "         ********** LOAD TRANSFER IN Y-DIRECTION ********", "", "",
       "", "         TYPE OF LOAD TRANSFER: STEEL BARS"},
      dowel_block("      .000"),
      {"         DOWELS ARE LOCATED AT THE FOLLOWING NODES IN Y-DIRECTION",
       "             3    7   11", "\f", "", ""},
  });
  EXPECT_EQ(r.lines, want);
  EXPECT_EQ(C.joint(Axis::x).AGG, 3.0e4);
  EXPECT_EQ(C.joint(Axis::y).ND, 3);
  EXPECT_EQ(w.NDOWY[2], 11);
  EXPECT_NEAR(C.joint(Axis::y).PHI, 54.16626883604831, 1e-12);
}

TEST(JointEcho, DerivedDowelValuesForZeroWidthAndHollowBars) {
  {
    // A zero joint width is echoed as read; PHIX is formed with the 0.01 floor.
    Control C = control({3, 3}, {3});
    C.joint(Axis::x).LT = 1;
    Work w;
    Reading r = joints(C, w, dowels(0, 1.25, 12, 0, 0.3), {0, 10, 20, 20, 30, 40}, {0, 10, 20});
    EXPECT_TRUE(r.has("JOINT WIDTH=      .000"));
    EXPECT_EQ(C.joint(Axis::x).WJ, 0.0);
    EXPECT_TRUE(std::isfinite(C.joint(Axis::x).PHI));
    EXPECT_NEAR(C.joint(Axis::x).PHI, 33853.919535918314, 1e-8);
  }
  {
    // A narrow but nonzero width is used as read: only the stiffness floors it later.
    Control C = control({3, 3}, {3});
    C.joint(Axis::x).LT = 1;
    Work w;
    joints(C, w, dowels(0, 1.25, 12, 0.005, 0.3), {0, 10, 20, 20, 30, 40}, {0, 10, 20});
    EXPECT_EQ(C.joint(Axis::x).WJ, 0.005);
    EXPECT_NEAR(C.joint(Axis::x).PHI, 135415.67209012076, 1e-7);
  }
  {
    // Hollow bar: inside diameter 0.5.
    Control C = control({3, 3}, {3});
    C.joint(Axis::x).LT = 1;
    Work w;
    joints(C, w, dowels(0.5, 1.25, 12, 0.5, 0.25), {0, 10, 20, 20, 30, 40}, {0, 10, 20});
    EXPECT_NEAR(C.joint(Axis::x).DIN, 0.11677336906723212, 1e-15);
    EXPECT_NEAR(C.joint(Axis::x).AS, 0.16118926195422345, 1e-15);
    EXPECT_NEAR(C.joint(Axis::x).PHI, 86.93385724445706, 1e-12);
  }
}

TEST(JointEcho, ModeZeroReadsOnlyTheDowelCount) {
  // Mode 0 leaves LTX at -1: no type line, the dowel block of zeros, the count
  // record, and the aggregate line without its record. Loads are echoed empty.
  Control C = control({3, 3}, {3});
  C.INMODE = 0;
  Work w;
  Reading r = joints(C, w, fmt_i(0) + "\nnot a record\n", {0, 10, 20, 20, 30, 40}, {0, 10, 20});
  EXPECT_FALSE(r.stopped);
  EXPECT_EQ(r.deck_lines, 1);
  EXPECT_FALSE(r.has("TYPE OF LOAD TRANSFER"));
  EXPECT_TRUE(r.has("OUTSIDE DIA.=      .000"));
  EXPECT_TRUE(r.has("AGGREGATE INTERLOCK FACTOR=  .000E+00"));
  EXPECT_TRUE(r.has("LOADED AREAS AS SPECIFIED"));
  EXPECT_TRUE(r.has("TOTAL APPLIED LOAD IS      .000"));
}

TEST(LoadEcho, AreasSubareasAndTotalLoad) {
  Control C = control({4}, {3});
  C.NLAREA = 2;
  Work w;
  const std::string deck = fmt_f(100) + fmt_f(5) + fmt_f(25) + fmt_f(0) + fmt_f(10) + "\n" +
                           fmt_f(50) + fmt_f(12) + fmt_f(18) + fmt_f(5) + fmt_f(15) + "\n";
  Reading r = joints(C, w, deck, {0, 10, 20, 30}, {0, 10, 20});
  EXPECT_EQ(r.deck_lines, 2);
  const std::vector<std::string> want{
      "",
      "\f",
      "",
      "",
      "",
      "",
      "",
      "         LOADED AREAS AS SPECIFIED WITH RESPECT TO GLOBAL COORDINATE SYSTEM:",
      "",
      "",
      "                     PRESSURE  X1-COOR.  X2-COOR.  Y1-COOR.  Y2-COOR.",
      "",
      "                      100.000     5.000    25.000      .000    10.000",
      "",
      "                       50.000    12.000    18.000     5.000    15.000",
      "\f",
      "",
      "         LOADED SUBAREAS GENERATED WITH RESPECT TO MESH SPECIFIED AND LOCAL COORDINATE "
      "SYSTEM:",
      "",
      "",
      "            ELEMENT  PRESSURE  X1-COOR.  X2-COOR.  Y1-COOR.  Y2-COOR.",
      "",
      "               1      100.000     5.000    10.000      .000    10.000",
      "               3      100.000      .000    10.000      .000    10.000",
      "               5      100.000      .000     5.000      .000    10.000",
      "               3       50.000     2.000     8.000     5.000    10.000",
      "               4       50.000     2.000     8.000      .000     5.000",
      "         TOTAL APPLIED LOAD IS 23000.000",
      "\f",
      "",
      ""};
  EXPECT_EQ(r.lines, want);
  EXPECT_EQ(C.NSUB, 5);
  EXPECT_DOUBLE_EQ(C.TOTLD, 23000.0);  // 100 x 20 x 10 + 50 x 6 x 10
}

TEST(LoadEcho, AreaOffTheMeshStopsAfterTheAreaEcho) {
  Control C = control({4}, {3});
  C.NLAREA = 2;
  Work w;
  const std::string deck = fmt_f(100) + fmt_f(5) + fmt_f(25) + fmt_f(0) + fmt_f(10) + "\n" +
                           fmt_f(50) + fmt_f(12) + fmt_f(38) + fmt_f(5) + fmt_f(15) + "\n";
  Reading r = joints(C, w, deck, {0, 10, 20, 30}, {0, 10, 20});
  EXPECT_TRUE(r.stopped);
  EXPECT_LT(r.report.find("50.000    12.000    38.000"), r.report.find("***LOADED AREA   2"));
  EXPECT_TRUE(
      r.has("X1-COOR.=    12.000  X2-COOR.=    38.000  Y1-COOR.=     5.000  Y2-COOR.="
            "    15.000"));
  EXPECT_FALSE(r.has("LOADED SUBAREAS GENERATED"));
}

TEST(SpecialRecords, SoilClassesTemperatureAndGaps) {
  Control C = control({3}, {3});
  C.ISUBGR = 0;
  C.ICURL = 1;
  Work w;
  std::string deck;
  for (int n = 1; n <= 9; ++n) deck += fmt_i(n % 5 + 1) + (n == 8 ? "\n" : "");
  deck += "\n";
  // T1 holds data beyond column 15 that is not read.
  deck += fmt_i(2) + fmt_i(7) + fmt_i(5) + "12345678901234567890\n";
  deck += fmt_i(4) + fmt_i(9) + "\n";
  const int gap_node[7] = {9, 2, 5, 1, 3, 7, 8};
  for (int i = 0; i < 7; ++i)
    deck += fmt_i(gap_node[i]) + fmt_f(0.01 * (i + 1)) + (i == 4 ? "\n" : "");
  deck += "\nnot a record\n";
  Reading r = joints(C, w, deck, {0, 10, 20}, {0, 10, 20}, [](Work& w) {
    std::fill(w.ICON.begin(), w.ICON.end(), 7);  // display coordinates of the node table
    std::fill(w.GAPN.begin(), w.GAPN.end(), 1.0);
  });
  EXPECT_FALSE(r.stopped);
  EXPECT_EQ(r.deck_lines, 6);
  // One slab, no loads, a temperature analysis: nothing is echoed (no page throw).
  EXPECT_EQ(r.report, "");
  EXPECT_EQ(w.ISOIL, (std::vector<int>{2, 3, 4, 5, 1, 2, 3, 4, 5}));
  EXPECT_EQ(C.NZRP, 2);
  EXPECT_EQ(C.NGAPN, 7);
  EXPECT_EQ(C.ICYCLE, 5);
  EXPECT_EQ(w.IZRP[0], 4);
  EXPECT_EQ(w.IZRP[1], 9);
  EXPECT_EQ(std::vector<int>(w.IGAPN.begin(), w.IGAPN.begin() + 7),
            (std::vector<int>{9, 2, 5, 1, 3, 7, 8}));
  const std::vector<double> gap{0.04, 0.02, 0.05, 0, 0.03, 0, 0.06, 0.07, 0.01};
  EXPECT_EQ(w.GAPN, gap);
  EXPECT_EQ(w.ICON, std::vector<int>(9, 0));
}

TEST(SpecialRecords, GapAtANodeOutsideTheMeshStops) {
  Control C = control({3}, {3});
  C.ICURL = 1;
  Work w;
  const std::string deck = fmt_i(0) + fmt_i(1) + fmt_i(5) + "\n" + fmt_i(10) + fmt_f(0.5) + "\n";
  Reading r = joints(C, w, deck, {0, 10, 20}, {0, 10, 20});
  EXPECT_TRUE(r.stopped);
  EXPECT_TRUE(
      r.has("***NODE    10 OF THE INITIAL GAP RECORDS IS NOT A NODE OF THE MESH (1 TO     9)."));
}

TEST(JointEcho, ADowelListIsKeptWholeUpToOneEntryPerNode) {
  // The x-direction segment was sized for NYT = 3 nodes; several joints can need more,
  // so a list is kept up to one entry per node (NNODE = 12) and refused beyond.
  Control C = control({2, 2}, {3});
  C.joint(Axis::x).LT = 1;
  Work w;
  Reading r = joints(
      C, w, dowels(0, 1.25, 0, 0.25, 0.3) + fmt_i(5) + "\n" + nodes16({1, 2, 3, 4, 5}) + "1.0E5\n",
      {0, 10, 10, 20}, {0, 10, 20});
  EXPECT_FALSE(r.stopped);
  EXPECT_TRUE(r.has("DOWELS ARE LOCATED AT THE FOLLOWING NODES IN X-DIRECTION"));
  ASSERT_GE(w.NDOWX.size(), 5u);
  EXPECT_EQ(w.NDOWX[4], 5);

  Control C2 = control({2, 2}, {3});
  C2.joint(Axis::x).LT = 1;
  Work w2;
  std::vector<int> many(13);
  for (int i = 0; i < 13; ++i) many[i] = i + 1;
  Reading r2 = joints(C2, w2, dowels(0, 1.25, 0, 0.25, 0.3) + fmt_i(13) + "\n" + nodes16(many),
                      {0, 10, 10, 20}, {0, 10, 20});
  EXPECT_TRUE(r2.stopped);
  EXPECT_TRUE(
      r2.has("***DOWEL NODES IN X-DIRECTION:    13 ENTRIES GIVEN, AT MOST    12 CAN BE "
             "STORED.\r\n                    PROGRAM TERMINATED."));
  EXPECT_FALSE(r2.has("DOWELS ARE LOCATED"));
}

}  // namespace
}  // namespace meridolan
