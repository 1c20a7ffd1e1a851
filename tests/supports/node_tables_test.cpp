// Node tables and node lists of the curling analyses: lines, pages and empty lists.
#include "supports/node_tables.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

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

TEST(NodeTables, DisplacementVectorShownWithAStrideOfThree) {
  std::ostringstream out;
  Report rep(out);
  static const Format kLine("6(5X, I5, F10.5)");
  const std::vector<double> R = {0.1, 9, 9, 0.2, 9, 9, 0.3, 9, 9};
  node_value_table(rep, kLine, 6, 3, R, 3);
  const auto lines = report_lines(out.str());
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "        1    .10000         2    .20000         3    .30000     ");
  EXPECT_EQ(lines[2], "\f");
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

TEST(NodeTables, ChangedAndLiftedNodesInAscendingOrder) {
  const std::vector<int> icon = {0, 1, 1, 0, 1}, iconp = {0, 0, 1, 1, 1};
  std::vector<int> list(5, -1);
  ASSERT_EQ(changed_nodes(5, icon, iconp, list), 2);
  EXPECT_EQ(list[0], 2);
  EXPECT_EQ(list[1], 4);
  ASSERT_EQ(nodes_out_of_contact(5, icon, list), 3);
  EXPECT_EQ((std::vector<int>(list.begin(), list.begin() + 3)), (std::vector<int>{2, 3, 5}));
}

// A plan from x = 100 to 160 and y = -20 to 40 in two elements each way.
struct Plan {
  Control C;
  Work w;
  Plan() {
    C.NXT = C.NYT = 3;
    C.NNODE = 9;
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

TEST(CurlData, SelfWeightOverThePlanOrFromTheNodalThicknesses) {
  Plan p;
  p.C.NLAYER = 1;
  p.C.TH1 = 8;
  p.C.GAM1 = 0.125;
  EXPECT_EQ(self_weight(p.C, p.w), 1.0 * 60 * 60);
  // Thickness per node: the nodal weights times the tributary areas.
  p.C.TH1 = 0;
  p.w.THN1 = {8, 8, 8, 8, 16, 8, 8, 8, 8};
  p.w.QSUB = {225, 450, 225, 450, 900, 450, 225, 450, 225};
  EXPECT_EQ(self_weight(p.C, p.w), 1.0 * 3600 + 900);
  EXPECT_EQ(unit_weight(p.C, p.w, 5), 2.0);
}

}  // namespace
}  // namespace meridolan
