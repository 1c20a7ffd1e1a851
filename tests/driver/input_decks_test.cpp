// Whole decks through the program: what the echo of the model shows, and that every
// record is read under its condition (a record too many or too few ends the deck
// early or leaves a read error).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/run_deck.h"

namespace meridolan {
namespace {

using testing::run_file;
using testing::RunResult;

const std::string kStop = "Stop - Program terminated.\r\n";

RunResult deck(const std::string& name) {
  RunResult r = run_file(std::string(MERIDOLAN_TEST_DATA "/") + name);
  EXPECT_EQ(r.status, 0) << r.errors;
  // Warnings of the columns at most (one deck has text after a record on purpose).
  for (std::size_t at = 0; at < r.errors.size(); at = r.errors.find('\n', at) + 1)
    EXPECT_EQ(r.errors.compare(at, 20, "meridolan: warning: "), 0) << r.errors;
  EXPECT_TRUE(r.report.size() >= kStop.size() &&
              r.report.compare(r.report.size() - kStop.size(), kStop.size(), kStop) == 0);
  return r;
}

// Each text appears, after the one before it.
void expect_in_order(const RunResult& r, const std::vector<std::string>& texts) {
  std::size_t at = 0;
  for (const std::string& t : texts) {
    const std::size_t found = r.report.find(t, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << t;
    at = found + t.size();
  }
}

std::size_t index_of(const std::vector<std::string>& lines, const std::string& text) {
  return static_cast<std::size_t>(
      std::find_if(lines.begin(), lines.end(),
                   [&](const std::string& l) { return l.find(text) != std::string::npos; }) -
      lines.begin());
}

std::size_t count(const std::string& s, const std::string& text) {
  std::size_t n = 0;
  for (std::size_t at = s.find(text); at != std::string::npos; at = s.find(text, at + 1)) ++n;
  return n;
}

TEST(InputDecks, OneSlabEchoesTheModelBeforeTheAnalysis) {
  RunResult r = deck("input_one_slab.dat");
  expect_in_order(
      r, {"TOTAL MEMORY SPACES FOR THE FINITE ELEMENT MESH",
          "NO. OF NODES IN SLABS ALONG X-AXIS     =    3    0",
          "X-COORDINATES ARE:", "Y-COORDINATES ARE:",
          "   1   0   0  2   0  60  3   0 120  4  60   0  5  60  60  6  60 120  7 120"
          "   0  8 120  60  9 120 120\r\n",
          "NO. OF SLABS =    1", "POISSON RATIO OF TOP LAYER=      .150",
          "THICKNESS OF TOP LAYER    =     8.000", "MODULUS OF TOP LAYER      =  .400E+07",
          "MODULUS OF SUBGRADE REACTION =   200.000", "RADIUS OF RELAT. STIFFNESS=    30.567",
          "LOADED AREAS AS SPECIFIED", "LOADED SUBAREAS GENERATED",
          "TOTAL APPLIED LOAD IS 40000.000", "I T E R A T I O N   N O.  1"});
  EXPECT_FALSE(r.contains("COMP. ACTION"));
  EXPECT_FALSE(r.contains("LOAD TRANSFER IN"));
  EXPECT_TRUE(r.has_line("                      100.000    50.000    70.000    50.000    70.000"));
  EXPECT_TRUE(r.has_line("               4      100.000      .000    10.000      .000    10.000"));
}

TEST(InputDecks, TwoSlabColumnsWithDowelsBySpacing) {
  RunResult r = deck("input_two_columns_spacing.dat");
  expect_in_order(
      r, {"RADIUS OF RELAT. STIFFNESS",
          "\f\b \r\r\n\r\n         ********** LOAD TRANSFER IN X-DIRECTION ********",
          "TYPE OF LOAD TRANSFER: COMBINATION OF AGGREGATE INTERLOCK AND STEEL BARS",
          "SPACING=    12.000", "JOINT WIDTH=      .250", "AGGREGATE INTERLOCK FACTOR=  .500E+05",
          "LOADED AREAS AS SPECIFIED", "TOTAL APPLIED LOAD IS 40000.000",
          "THE LOAD TRANSFERRED BY DOWELS IN X- DIRECTION IS"});
  EXPECT_FALSE(r.contains("LOAD TRANSFER IN Y-DIRECTION"));
  EXPECT_FALSE(r.contains("DOWELS ARE LOCATED"));
  // The load crosses the joint at x = 120: the joint column's elements 5 and 6 go.
  const std::vector<std::string> lines = r.lines();
  const std::size_t head = index_of(lines, "ELEMENT  PRESSURE");
  ASSERT_LT(head + 6, lines.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + head + 2, lines.begin() + head + 7),
            (std::vector<std::string>{
                "               3      100.000    50.000    60.000    50.000    60.000",
                "               4      100.000    50.000    60.000      .000    10.000",
                "               7      100.000      .000    10.000    50.000    60.000",
                "               8      100.000      .000    10.000      .000    10.000",
                "         TOTAL APPLIED LOAD IS 40000.000"}));
}

TEST(InputDecks, DowelListOverTwoLines) {
  RunResult r = deck("input_dowel_list.dat");
  const std::string head = "         DOWELS ARE LOCATED AT THE FOLLOWING NODES IN X-DIRECTION";
  EXPECT_EQ(count(r.report, head), 2u);
  const std::vector<std::string> lines = r.lines();
  const std::size_t at = index_of(lines, "JOINT WIDTH");
  ASSERT_LT(at + 5, lines.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + at, lines.begin() + at + 6),
            (std::vector<std::string>{
                "                          JOINT WIDTH=      .250", head,
                "             1    2    3    4    5    6    7    8    9   10   11   12   13   14"
                "   15   16",
                head, "            17   18   19   20", "\f"}));
  EXPECT_FALSE(r.contains("AGGREGATE INTERLOCK FACTOR"));
  // Twenty y-coordinates over three deck lines, echoed ten per line.
  EXPECT_TRUE(
      r.has_line("     120.000      132.000      144.000      156.000      168.000      "
                 "180.000      192.000      204.000      216.000      228.000"));
}

TEST(InputDecks, TwoSlabRowsContinueWithoutANewPage) {
  RunResult r = deck("input_two_rows.dat");
  EXPECT_FALSE(r.contains("LOAD TRANSFER IN X-DIRECTION"));
  const std::vector<std::string> lines = r.lines();
  const std::size_t at = index_of(lines, "RADIUS OF RELAT. STIFFNESS");
  ASSERT_LT(at + 14, lines.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + at + 1, lines.begin() + at + 15),
            (std::vector<std::string>{
                "", "", "", "", "", "", "         ********** LOAD TRANSFER IN Y-DIRECTION ********",
                "", "", "", "         TYPE OF LOAD TRANSFER: AGGREGATE INTERLOCK", "", "",
                "         AGGREGATE INTERLOCK FACTOR=  .250E+05"}));
  // No loaded areas in a full deck: no load echo at all.
  EXPECT_FALSE(r.contains("LOADED AREAS AS SPECIFIED"));
  EXPECT_FALSE(r.contains("TOTAL APPLIED LOAD"));
}

TEST(InputDecks, TwoLayersPrintTheBottomLayerOnItsOwnPage) {
  RunResult r = deck("input_two_layers.dat");
  const std::vector<std::string> lines = r.lines();
  const std::size_t at = index_of(lines, "PROPERTIES OF THE BOTTOM LAYER :");
  ASSERT_GE(at, 4u);
  EXPECT_EQ(lines[at - 4], "\f");
  expect_in_order(
      r, {"NO. OF LAYERS=    2", "COMP. ACTION =    1", "THICKNESS OF TOP LAYER    =     9.000",
          "PROPERTIES OF THE BOTTOM LAYER :", "POISSON RATIO OF BOTTOM LAYER=      .200",
          "THICKNESS OF BOTTOM LAYER    =     6.000", "MODULUS OF BOTTOM LAYER      =  .100E+07",
          "MODULUS OF SUBGRADE REACTION =   200.000", "LOADED AREAS AS SPECIFIED"});
  EXPECT_FALSE(r.contains("RADIUS OF RELAT. STIFFNESS"));
}

TEST(InputDecks, CurlingRecordsWithGapsOverTwoLines) {
  // T1 carries text after column 15; seven gap pairs take two lines. All of it is
  // read without error, and echoed only by the curling analysis after the loads.
  RunResult r = deck("input_curling_gaps.dat");
  const std::vector<std::string> lines = r.lines();
  const std::size_t at = index_of(lines, "RADIUS OF RELAT. STIFFNESS");
  const std::size_t loads = index_of(lines, "LOADED AREAS AS SPECIFIED");
  ASSERT_LT(loads, lines.size());
  // A temperature analysis has no new page before the loads.
  for (std::size_t i = at + 1; i < loads; ++i) EXPECT_EQ(lines[i], "") << i;
  expect_in_order(r, {"TOTAL APPLIED LOAD IS", "ANALYSIS WITH TEMPERATURE AND OR GAPS",
                      "NODE NUMBER AND GAP AT THE NODE",
                      "        1      .010    2      .020    3      .030    4      .040    5      "
                      ".050    6      .060    7      .070",
                      "NODES WITH ZERO INITIAL REACTIVE PRESSURE", "        1    3"});
}

}  // namespace
}  // namespace meridolan
