// The contour data file: final record, header and data layout, values of the last
// pass, and where the file goes.
#include "driver/contour.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/dimensions.h"
#include "support/report_lines.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using testing::read_file;
using testing::run_deck;

// One slab of a single element (four nodes) under a pressure of 10 over the whole
// slab on k = 200: every node deflects 0.05, every node is a slab corner (no stress).
const std::string kFourNodes =
    "1\nFOUR NODES\n    1    0    0    0\n    2\n    2\n    1    0   200.000     0.000     0.000\n"
    "    5    1              0\n101001   3\n     0.000   100.000\n     0.000    80.000\n"
    "     8.000 4.000E+06     0.150     0.000     0.000 0.000E+00\n"
    "    10.000     0.000   100.000     0.000    80.000\n"
    "010000  12345678\n";

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

std::string ints(std::initializer_list<int> v) {
  std::string s;
  for (int i : v) {
    std::string f = std::to_string(i);
    s += std::string(15 - f.size(), ' ') + f;
  }
  return s;
}

TEST(ContourFile, FourNodesValueByValue) {
  auto r = run_deck(kFourNodes);
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.report.ends_with("\r\nStop - Program terminated.\r\n"));
  // Nothing to say when the data go to a stream, but the scale's implied decimals.
  EXPECT_EQ(r.errors,
            "meridolan: warning: deck line 13, columns 7-16: \"12345678\" is read by F10.7 as "
            "1.2345678: without a decimal point its last 7 digits are taken as decimals\n");
  const auto l = split(r.contour);
  ASSERT_EQ(l.size(), 8u) << r.contour;
  // Header: MEMCON = 60*4 + 3*3, NNODE, NGRID, NNX(1..3), NNY(1..2), NSTRV = 6*4, NXT,
  // NYT, ICONT(1..6) as on record 8, ICONT2(1..6) from the final record.
  EXPECT_EQ(l[0], ints({249, 4, 3, 2, 0, 0, 2}));
  EXPECT_EQ(l[1], ints({0, 24, 2, 2, 1, 0, 1}));
  EXPECT_EQ(l[2], ints({0, 0, 1, 0, 1, 0, 0}));
  EXPECT_EQ(l[3], ints({0, 0}));
  // Data: 25 values in lines of 8, 8, 8 and 1. CSCALE has seven implied decimals;
  // nodes run along y first; then the deflections and three stress columns.
  const std::string z = "  .00000000E+00", d = "  .50000000E-01";
  EXPECT_EQ(l[4], "  .12345678E+01" + z + z + "  .10000000E+03  .10000000E+03" + z +
                      "  .80000000E+02" + z);
  EXPECT_EQ(l[5], "  .80000000E+02" + d + d + d + d + z + z + z);
  EXPECT_EQ(l[6], z + z + z + z + z + z + z + z);
  EXPECT_EQ(l[7], z);
  // No carriage control in this file: plain lines ending in a line feed.
  EXPECT_EQ(r.contour.find('\r'), std::string::npos);
  EXPECT_TRUE(r.contour.ends_with(z + "\n"));
}

TEST(ContourFile, HeaderHoldsTheFirstThreeColumnAndTwoRowCounts) {
  // Four slab columns and three slab rows: only NNX(1..3) and NNY(1..2) are written.
  Control C;
  C.NGRID = 10;
  C.NLAYER = 2;
  C.ICONT = {0, 0, 0, 0, 0, 9};
  testing::dimension(C, {3, 4, 5, 6}, {2, 7, 3});
  C.ICONT2 = {1, 1, 1, 1, 1, 1};
  std::ostringstream out;
  Report cnt(out, false);
  contour_header(cnt, C);
  const auto l = split(out.str());
  ASSERT_EQ(l.size(), 4u);
  EXPECT_EQ(l[0], ints({13060, 216, 10, 3, 4, 5, 2}));
  EXPECT_EQ(l[1], ints({7, 8 * 216, 18, 12, 0, 0, 0}));  // two layers: NSTRV = 8*NNODE
  EXPECT_EQ(l[2], ints({0, 0, 9, 1, 1, 1, 1}));
  EXPECT_EQ(l[3], ints({1, 1}));
}

std::string example_with(const std::string& subgrade_record) {
  std::string deck = read_file(MERIDOLAN_EXAMPLES "/interior_load.dat");
  const std::string rec = "    5    1              0\n";
  const auto at = deck.find(rec);
  EXPECT_NE(at, std::string::npos);
  deck.replace(at, rec.size(), subgrade_record + "\n");
  return deck;
}

TEST(ContourFile, StressesOfAPassThatPrintedNoneAreComputedForTheFile) {
  // A pass limit other than 1 without iteration printout: the pass prints no
  // stresses, but the file holds the stresses of its displacements, the same as
  // when they are printed.
  auto printed = run_deck(example_with("    5    1              0"));
  auto gated = run_deck(example_with("    5    2              0"));
  ASSERT_EQ(printed.status, 0);
  ASSERT_EQ(gated.status, 0);
  EXPECT_TRUE(printed.contains("X-STRESS"));
  EXPECT_FALSE(gated.contains("X-STRESS"));
  EXPECT_EQ(gated.contour, printed.contour);
  // 1 + 6*169 values in lines of 8 after the four header lines.
  const auto l = split(gated.contour);
  ASSERT_EQ(l.size(), 4u + 127u);
  std::vector<double> v;
  for (std::size_t i = 4; i < l.size(); ++i)
    for (std::size_t c = 0; c + 15 <= l[i].size(); c += 15)
      v.push_back(std::strtod(l[i].substr(c, 15).c_str(), nullptr));
  ASSERT_EQ(v.size(), 1015u);
  // The x-stress under the load (node 85, the slab centre) is a tension, printed
  // negative, and the major principal stress is never below the minor one.
  const int N = 169;
  EXPECT_LT(v[1 + 3 * N + 84], -50.0);
  for (int n = 0; n < N; ++n) EXPECT_GE(v[1 + 4 * N + n], v[1 + 5 * N + n]) << n + 1;
}

TEST(ContourFile, WrittenOnlyWhenRequestedAndTheDeckIsComplete) {
  // No request: the final record is not read and nothing is written.
  std::string none = kFourNodes;
  none.replace(none.find("101001   3"), 10, "000000   3");
  auto r = run_deck(none);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.contour, "");
  EXPECT_TRUE(r.contains("--- NO CONTOURS REQUESTED ---"));

  // The final record missing: the report is complete, the run ends on the unreadable
  // deck and no file is written.
  std::string cut = kFourNodes.substr(0, kFourNodes.find("010000"));
  auto m = run_deck(cut);
  EXPECT_EQ(m.status, 2);
  EXPECT_EQ(m.contour, "");
  EXPECT_TRUE(m.contains("MAXIMUM OR MINIMUM VALUES"));
  EXPECT_NE(m.errors.find("unit 5"), std::string::npos) << m.errors;
}

TEST(ContourFile, NamedFileAndUnwritableFile) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("meridolan_contour_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path file = dir / "four.cnt";
  {
    std::istringstream in(kFourNodes);
    std::ostringstream out, err;
    EXPECT_EQ(run(in, out, err, ContourFile{file.string()}), 0);
    EXPECT_EQ(read_file(file.string()), run_deck(kFourNodes).contour);
    EXPECT_TRUE(err.str().ends_with("\nmeridolan: contour data written to " + file.string() + "\n"))
        << err.str();
  }
  {
    // A folder that does not exist: the report is complete with its stop line, the
    // run says why on standard error and ends with status 73.
    std::istringstream in(kFourNodes);
    std::ostringstream out, err;
    EXPECT_EQ(run(in, out, err, ContourFile{(dir / "no" / "such.cnt").string()}), 73);
    EXPECT_TRUE(out.str().ends_with("Stop - Program terminated.\r\n"));
    EXPECT_NE(err.str().find("cannot create the contour data file"), std::string::npos);
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace meridolan
