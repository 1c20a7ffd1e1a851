// Node tables and node lists of the curling analyses: lines, pages and empty lists.
#include "supports/node_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/dimensions.h"
#include "support/report_lines.h"
#include "supports/curl_data.h"

namespace meridolan {
namespace {

using testing::report_lines;

TEST(NodeTables, EightPairsALineAndANewPageAfterFiftyLinesAndAfterTheLast) {
  std::ostringstream out;
  Report rep(out);
  static const Format kLine("5X, 8(I5, F10.5)");
  std::vector<double> v(403);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = 0.5 * double(i);
  node_value_table(rep, kLine, 8, 403, v);
  rep.complete_line();
  const auto lines = report_lines(out.str());
  // 51 lines of values (50 full, one with 3 pairs), a page after line 50 and at the end.
  ASSERT_EQ(lines.size(), 1u + 51 + 2 * 2 + 1);
  EXPECT_EQ(lines[1],
            "        1    .00000    2    .50000    3   1.00000    4   1.50000    5   2.00000    "
            "6   2.50000    7   3.00000    8   3.50000");
  EXPECT_EQ(lines[51], "\f");
  EXPECT_EQ(lines[52], "");
  EXPECT_EQ(lines[53], "      401 200.00000  402 200.50000  403 201.00000");
  EXPECT_EQ(lines[54], "\f");
}

TEST(NodeTables, ListsWrapAfterTwentyFourNodesAndAnEmptyListIsOneBlankLine) {
  std::ostringstream out;
  Report rep(out);
  std::vector<int> nodes(25);
  for (int i = 0; i < 25; ++i) nodes[i] = i + 1;
  node_list(rep, nodes);
  node_list(rep, {});
  rep.complete_line();
  const auto lines = report_lines(out.str());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "       25");
  EXPECT_EQ(lines[3], "    ");
  EXPECT_EQ(lines[1].size(), 4u + 24 * 5);
}

// A plan from x = 100 to 160 and y = -20 to 40 in two elements each way.
struct Plan {
  Control C;
  Work w;
  Plan() {
    testing::dimension(C, {3}, {3});
    w.XC = {100, 130, 160};
    w.YC = {-20, 10, 40};
  }
};

TEST(CurlData, CentreOfCurlingByTheSymmetryIndexFromTheFirstNodeLines) {
  Plan p;
  const std::pair<double, double> want[4] = {{130, 10}, {130, -20}, {100, 10}, {100, -20}};
  for (int isym = 0; isym <= 4; ++isym) {
    p.C.ISYM = isym;
    const PlanPoint c = curling_centre(p.C, p.w);
    EXPECT_EQ(c.x, want[std::min(isym, 3)].first) << isym;
    EXPECT_EQ(c.y, want[std::min(isym, 3)].second) << isym;
  }
}

}  // namespace
}  // namespace meridolan
