// The run frame: control records, sizing, memory check, title page and stop line.
#include <gtest/gtest.h>

#include "driver/control_records.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using testing::run_deck;
using testing::run_file;

const std::string kStop = "Stop - Program terminated.\r\n";

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Head of a deck: records 1 to 8 for one slab, one layer, dense liquid.
std::string head(int inmode, int nlarea, int nxt, int nyt, const std::string& contour,
                 int isubgr = 4) {
  char buf[512];
  std::snprintf(
      buf, sizeof buf,
      "%d\nSIZING RUN\n%5d    0    0    0\n%5d\n%5d\n    1    0   200.000\n%5d    1\n%s\n", inmode,
      nlarea, nxt, nyt, isubgr, contour.c_str());
  return buf;
}

TEST(Sizing, WorkedExamplesFromDecks) {
  auto two = run_file(MERIDOLAN_TEST_DATA "/two_slabs_memreq_3951.dat");
  EXPECT_EQ(two.status, kExitRefused);
  EXPECT_TRUE(
      two.has_line("                   TOTAL MEMORY SPACES FOR THE FINITE ELEMENT MESH=  3951"));
  EXPECT_TRUE(
      two.has_line("                   TOTAL MEMORY SPACES FOR SUBROUTINE CONTUR      =  1440"));
  EXPECT_TRUE(two.has_line("                   --- NO CONTOURS REQUESTED ---"));

  auto solid = run_file(MERIDOLAN_TEST_DATA "/elastic_solid_memreq_60307.dat");
  EXPECT_EQ(solid.status, 0);
  EXPECT_TRUE(
      solid.has_line("                   TOTAL MEMORY SPACES FOR THE FINITE ELEMENT MESH= 60307"));
}

TEST(Sizing, DerivedDimensions) {
  Control C;
  C.NNX = {3, 3};
  C.NNY = {4};
  C.NXT = 6, C.NYT = 4, C.NLAYER = 1, C.ISUBGR = 4, C.NLAREA = 1;
  derive_dimensions(C);
  EXPECT_EQ(C.NNODE, 24);
  EXPECT_EQ(C.NEQ, 72);
  EXPECT_EQ(C.MBAND, 18);
  EXPECT_EQ(C.NBAND, 1296);
  EXPECT_EQ(C.LJX, 24);
  EXPECT_EQ(C.LJY, 1);
  EXPECT_EQ(C.MEMREQ, 3951);
  EXPECT_EQ(C.MEMCON, 1440);

  Control S;
  S.NNX = {10}, S.NNY = {10}, S.NXT = 10, S.NYT = 10, S.NLAYER = 2, S.ISUBGR = 8, S.NLAREA = 2;
  derive_dimensions(S);
  EXPECT_EQ(S.NPACK, 45150);
  EXPECT_EQ(S.LSK, 10800);
  EXPECT_EQ(S.NTRI, 5050);
  EXPECT_EQ(S.LSKR, 1);
  EXPECT_EQ(S.LKN, 1);
  EXPECT_EQ(S.LSOIL, 1);
  EXPECT_EQ(S.LL2, 100);
  EXPECT_EQ(S.MEMREQ, 60307);
}

TEST(Sizing, HugeMeshesAreCaughtNotWrapped) {
  // NEQ*(NEQ+1)/2 of this elastic-solid mesh is far beyond 64 bits.
  Control C;
  C.NNX.fill(99999);
  C.NNY.fill(99999);
  C.NXT = C.NYT = 999990;
  C.ISUBGR = 8;
  derive_dimensions(C);
  EXPECT_GT(C.MEMREQ, Control::MAXMEM);
  EXPECT_GT(C.NPACK, 0);
  EXPECT_EQ(C.NNODE, 0);  // nothing that indexes arrays is stored

  auto r = run_deck(
      "1\nHUGE\n    0    0    0    0\n99999\n99999\n    1    0   200.000\n    8    1\n000000   "
      "0\n");
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_TRUE(
      r.has_line("                   TOTAL MEMORY SPACES FOR THE FINITE ELEMENT MESH=******"));
  EXPECT_TRUE(r.has_line("                    NEEDS TOTAL MEMORY  OF AT LEAST**********"));
}

TEST(MemoryCheck, LimitIsInclusive) {
  // 693 x 11 nodes with 150 loaded areas need exactly 2,000,000 words. Contours in
  // mode 2 end the run after the check, with the contour warning on the title page.
  auto pass = run_deck(head(2, 150, 693, 11, "100000   0"));
  EXPECT_EQ(pass.status, 0);
  EXPECT_TRUE(
      pass.has_line("                   TOTAL MEMORY SPACES FOR THE FINITE ELEMENT MESH=******"));
  EXPECT_FALSE(pass.contains("(FINITE ELEMENT MESH)"));
  EXPECT_TRUE(pass.contains("(SUBROUTINE CONTUR)"));
  EXPECT_TRUE(pass.has_line("                    NEEDS TOTAL MEMORY  OF AT LEAST    457380"));
  EXPECT_TRUE(ends_with(pass.report, "\r\n" + kStop));

  // 982 x 9 nodes with 3 loaded areas need 2,000,001.
  auto fail = run_deck(head(1, 3, 982, 9, "000000   0"));
  EXPECT_EQ(fail.status, kExitRefused);
  EXPECT_TRUE(
      fail.has_line("                   ***NOT ENOUGH MEMORY FOR THE PARAMETERS PROVIDED."));
  EXPECT_TRUE(fail.has_line("                   (FINITE ELEMENT MESH)"));
  EXPECT_TRUE(fail.has_line("                    NEEDS TOTAL MEMORY  OF AT LEAST   2000001"));
  EXPECT_TRUE(fail.has_line("                    PROGRAM TERMINATED."));
  // The message ends with two empty lines, then the stop line.
  EXPECT_TRUE(ends_with(fail.report, " PROGRAM TERMINATED.\r\n\r\n\r\n" + kStop));
}

TEST(MemoryCheck, ModeTwoWithContoursStopsSilentlyWhenTheyFit) {
  auto r = run_deck(head(2, 1, 5, 5, "100000   0"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.report, kStop);
}

TEST(TitlePage, BannerLayout) {
  auto r = run_file(MERIDOLAN_TEST_DATA "/two_slabs_memreq_3951.dat");
  ASSERT_EQ(r.report.rfind("\r\n\f\b \r", 0), 0u) << "the report opens with a page throw";
  auto lines = r.lines();
  ASSERT_GT(lines.size(), 30u);
  EXPECT_EQ(lines[1], "\f");
  EXPECT_EQ(lines[2], "");
  for (int i = 3; i < 26; ++i) {
    const std::string& box = lines[i];
    ASSERT_GE(box.size(), 19u + 56u) << i;
    EXPECT_EQ(box.substr(0, 19), std::string(19, ' ')) << i;
    EXPECT_EQ(box[19], '*') << i;
    EXPECT_EQ(box[19 + 55], '*') << i;
  }
  EXPECT_EQ(lines[3], std::string(19, ' ') + std::string(56, '*'));
  EXPECT_EQ(lines[6], std::string(19, ' ') + "*   MERIDOLAN    " + std::string(38, ' ') + "*");
  EXPECT_EQ(lines[10],
            std::string(19, ' ') + "*   PAVEMENTS WITH A VARIETY OF SUPPORT MODELS         * ");
  for (int i = 16; i <= 20; ++i) EXPECT_EQ(lines[i].substr(19, 5), "*   -") << i;
  EXPECT_EQ(lines[22],
            std::string(19, ' ') + "*    DATE OF PRESENT VERSION:   MARCH 15, 1989         *");
  // Title: two empty lines, then 19 blanks and the 80 title characters.
  EXPECT_EQ(lines[26], "");
  EXPECT_EQ(lines[27], "");
  std::string title = "TWO SLABS SIDE BY SIDE, DOWELLED AND INTERLOCKED JOINT";
  title.resize(80, ' ');
  EXPECT_EQ(lines[28], std::string(19, ' ') + title);
}

TEST(ControlRecords, JointSwitchDefaultsAndSlabCounts) {
  // NNX = 4, 0, 4: three slab columns, no x-joint record (NNX(2) = 0); NNY = 3, 3:
  // the y-joint record is read and 0 0 0 becomes 0 1 1.
  std::istringstream in(
      "1\nT\n    0    0    0    0\n    4    0    4\n    3    3\n    1    0   100.000\n"
      "    5    1\n000000   0\n    1    0    0    0\n");
  Deck deck(in);
  Control C;
  read_control(deck, C);
  EXPECT_EQ(C.NSX, 3);
  EXPECT_EQ(C.NSY, 2);
  EXPECT_EQ(C.NSLAB, 6);
  EXPECT_EQ(C.NXT, 8);
  EXPECT_EQ(C.joint(Axis::x).LT, -1);
  EXPECT_EQ(C.joint(Axis::y).LT, 1);
  EXPECT_EQ(C.joint(Axis::y).JSW, (std::array<int, 3>{0, 1, 1}));
  EXPECT_EQ(C.joint(Axis::x).JSW, (std::array<int, 3>{0, 1, 1}));  // applied although not read
  derive_dimensions(C);
  EXPECT_EQ(C.LJX, 1);
  EXPECT_EQ(C.LJY, C.NNODE);

  // Mode 0 reads records 1 to 5 only; everything else keeps its initial value.
  std::istringstream in0("0\nT\n    1    0    0    0\n    3    3\n    4\n");
  Deck deck0(in0);
  Control Z;
  read_control(deck0, Z);
  EXPECT_EQ(Z.NLAYER, 0);
  EXPECT_EQ(Z.joint(Axis::x).LT, -1);
  EXPECT_EQ(Z.joint(Axis::x).JSW, (std::array<int, 3>{0, 0, 0}));
  derive_dimensions(Z);
  EXPECT_EQ(Z.LL2, 1);
  EXPECT_EQ(Z.LSOIL, Z.NNODE);
}

TEST(BadDecks, MalformedFieldKeepsReportAndNamesTheField) {
  // The deck breaks in the coordinates, after the control records: nothing has been
  // printed yet, and the message says where.
  std::string deck = head(1, 0, 3, 3, "000000   0") + "     0.000    1x.000\n";
  auto r = run_deck(deck);
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.errors.find("unit 5"), std::string::npos) << r.errors;
  EXPECT_NE(r.errors.find("READ"), std::string::npos);
  EXPECT_NE(r.errors.find("line 9"), std::string::npos) << r.errors;
  EXPECT_NE(r.errors.find("11-20"), std::string::npos) << r.errors;
  EXPECT_NE(r.errors.find("1x.000"), std::string::npos) << r.errors;
  EXPECT_EQ(r.report.find("Stop - Program terminated."), std::string::npos);
}

TEST(BadDecks, DeckEndingEarlyAfterTitlePage) {
  // Coordinates present, layer record missing: the title page and the echo so far
  // stay in the report, the error names the end of the deck.
  std::string deck = head(1, 0, 3, 3, "000000   0") +
                     "     0.000    10.000    20.000\n     0.000    10.000    20.000\n";
  auto r = run_deck(deck);
  EXPECT_NE(r.status, 0);
  EXPECT_TRUE(r.contains("TOTAL MEMORY SPACES FOR THE FINITE ELEMENT MESH="));
  EXPECT_NE(r.errors.find("unit 5"), std::string::npos);
  EXPECT_NE(r.errors.find("end"), std::string::npos) << r.errors;
  EXPECT_TRUE(ends_with(r.report, "\r\n")) << "the pending line is completed";
}

TEST(BadDecks, ImpossibleNodeCountsStopWithMessage) {
  auto r = run_deck(
      "1\nT\n    0    0    0    0\n    1\n    4\n    1    0   100.000\n    5    1\n000000   0\n");
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_TRUE(r.contains("AT LEAST TWO NODE LINES IN EACH DIRECTION"));
  EXPECT_TRUE(ends_with(r.report, kStop));
  // Two slab columns: the x-joint record follows the contour record.
  auto n = run_deck(
      "1\nT\n    0    0    0    0\n    5   -2\n    4\n    1    0   100.000\n    5    1\n000000   "
      "0\n"
      "    0\n");
  EXPECT_TRUE(n.contains("MUST NOT BE NEGATIVE"));
  EXPECT_TRUE(ends_with(n.report, kStop));
}

}  // namespace
}  // namespace meridolan
