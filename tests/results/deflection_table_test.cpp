// The deflection table: subgrade reactions, reaction sums, paging and the Vlasov
// subgrade stresses.
#include <gtest/gtest.h>

#include "model_fixture.h"
#include "results/deflections.h"

namespace meridolan::testing {
namespace {

using results::tributary_areas;

void set_deflections(Model& m, double w) {
  for (int n = 1; n <= m.C.NNODE; ++n) m.w.R[3 * (n - 1)] = w;
}

// The deflection table of the model's displacements, its extremes into `e`.
std::string table(Model& m, ExtremeValues& e) {
  tributary_areas(m.C, m.w);
  NodeTable t;
  results::node_table(m.C, m.w, t, e);
  return capture([&](Report& rep) { results::print_node_table(rep, t); });
}
std::string table(Model& m) {
  ExtremeValues e;
  return table(m, e);
}

// Start of the printed line of node n in the deflection table.
std::string node_start(int n) {
  return "\r\n" + X(9) + I(n, 5) + X(2);
}

const std::string kSumText = "THE SUM OF REACTION FORCES IS";

TEST(DeflectionTable, TributaryAreasAreQuartersOfTheElements) {
  Model m = make_model({4, 3}, {5}, 12.0, 10.0, true);
  tributary_areas(m.C, m.w);
  double total = 0;
  for (double q : m.w.QSUB) total += q;
  const double width = m.w.XN.back() - m.w.XN.front(), height = m.w.YN.back();
  EXPECT_NEAR(total, width * height, 1e-9);  // the joint elements add nothing
  const double x1 = m.w.XN[m.C.NYT], y1 = m.w.YN[1], y2 = m.w.YN[2];
  EXPECT_DOUBLE_EQ(m.w.QSUB[0], x1 * y1 / 4);
  EXPECT_DOUBLE_EQ(m.w.QSUB[1], x1 * y1 / 4 + x1 * (y2 - y1) / 4);
}

TEST(DeflectionTable, UpliftPrintsZeroStressButNegativeForce) {
  Model m = make_model({3}, {3});
  set_deflections(m, 0.01);
  m.w.R[3 * 4] = -0.02;  // node 5, the middle node
  m.w.R[3 * 4 + 1] = 0.001;
  m.w.R[3 * 4 + 2] = -0.002;
  ExtremeValues e;
  const std::string out = table(m, e);
  const double area = 12.0 * 10.0;  // interior node: four quarters
  const double f = area * -0.02 * 100;
  EXPECT_NE(out.find(node_start(5) + F(-0.02, 13, 6) + X(2) + F(0.001, 13, 6) + X(2) +
                     F(-0.002, 13, 6) + X(14) + F(0.0, 10, 3) + X(10) + F(f, 10, 3)),
            std::string::npos)
      << out;
  // Edge and corner nodes: k w with their own areas; the sum includes the uplift.
  const double others = 0.01 * 100 * (4 * 30.0 + 4 * 60.0);
  EXPECT_DOUBLE_EQ(e.reaction_sum, others + f);
  EXPECT_NE(out.find(X(9) + kSumText + F(others + f, 10, 3)), std::string::npos);
  EXPECT_EQ(e.subgrade_stress_max.value, 1.0);
  EXPECT_EQ(e.subgrade_stress_max.node, 9);  // equal stresses: the last node is kept
}

TEST(DeflectionTable, FiftyNodesPerPage) {
  Model m = make_model({10}, {12});  // 120 nodes
  set_deflections(m, 0.001);
  ExtremeValues e;
  const std::string out = table(m, e);
  EXPECT_EQ(count_of(out, kPageThrow), 3);
  EXPECT_NE(out.find(kPageThrow + node_start(51)), std::string::npos);
  EXPECT_NE(out.find(kPageThrow + node_start(101)), std::string::npos);
  EXPECT_EQ(out.find(kPageThrow + node_start(50)), std::string::npos);
  const std::string tail = kSumText + F(e.reaction_sum, 10, 3) + kPageThrow + "\r\n";
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

TEST(DeflectionTable, SumLinesAfterTheFirstThreeSlabColumns) {
  struct Case {
    std::vector<int> nnx;
    std::vector<int> after;  // nodes followed by a sum line
  };
  const Case cases[] = {{{3}, {9}}, {{3, 3}, {9, 18}}, {{2, 2, 2, 2}, {6, 12, 18}}};
  for (const Case& c : cases) {
    Model m = make_model(c.nnx, {3});
    set_deflections(m, 0.001);
    const std::string out = table(m);
    EXPECT_EQ(count_of(out, kSumText), static_cast<int>(c.after.size()));
    for (int n : c.after) {
      const auto at = out.find(node_start(n));
      ASSERT_NE(at, std::string::npos);
      const auto next = out.find("\r\n", at + 2);
      EXPECT_EQ(out.compare(next + 2, 9 + kSumText.size(), X(9) + kSumText), 0) << n;
    }
  }
  // Two slab columns: the second line shows the total of both slabs.
  Model m = make_model({3, 3}, {3});
  set_deflections(m, 0.001);
  const std::string out = table(m);
  const double slab = 0.001 * 100 * 24.0 * 20.0;
  EXPECT_NE(out.find(kSumText + F(slab, 10, 3)), std::string::npos);
  EXPECT_NE(out.find(kSumText + F(2 * slab, 10, 3)), std::string::npos);
}

TEST(DeflectionTable, CurlingMeasuresFromTheFlatSurfaceAndDropsLostContact) {
  Model m = make_model({3}, {3});
  m.C.ICURL = 1;
  m.C.IWINK = 1;
  set_deflections(m, 0.01);
  m.w.GAPN[2] = 0.004;  // node 3
  m.w.ICON[6] = 1;      // node 7 without contact
  const std::string out = table(m);
  const double q3 = (0.01 - 0.004) * 100;
  EXPECT_NE(out.find(node_start(3) + F(0.006, 13, 6) + X(2) + F(0, 13, 6) + X(2) + F(0, 13, 6) +
                     X(14) + F(q3, 10, 3) + X(10) + F(q3 * 30, 10, 3)),
            std::string::npos);
  EXPECT_NE(out.find(node_start(7) + F(0.01, 13, 6) + X(2) + F(0, 13, 6) + X(2) + F(0, 13, 6) +
                     X(14) + F(0, 10, 3) + X(10) + F(0, 10, 3)),
            std::string::npos);
}

TEST(DeflectionTable, VlasovSubgradeAveragesCornerReactions) {
  Model m = make_model({4}, {3}, 12.0, 10.0, true);
  m.C.ISUBGR = 9;
  m.C.VSHEAR = 50;
  const double c = 1e-4, w0 = -0.002;
  set_field(
      m, [&](double x, double) { return w0 + c * x * x; },
      [&](double x, double) { return 2 * c * x; }, [](double, double) { return 0.0; });
  ExtremeValues e;
  const std::string out = table(m, e);
  // Three columns only, no reaction sums.
  EXPECT_NE(
      out.find(node_start(1) + F(w0, 13, 6) + X(2) + F(0, 13, 6) + X(2) + F(0, 13, 6) + "\r\n"),
      std::string::npos);
  EXPECT_EQ(count_of(out, kSumText), 0);
  EXPECT_EQ(e.reaction_sum, 0.0);

  VlasovTable vt;
  results::vlasov_table(m.C, m.w, vt, e);
  const std::string vl = capture([&](Report& rep) { results::print_vlasov_table(rep, vt); });
  // The element reproduces w_xx = 2c exactly, so s = k w - 2c VSHEAR at every node;
  // nodes where that is negative print zero.
  for (int n = 1; n <= m.C.NNODE; ++n) {
    const double x = m.w.XN[n - 1];
    const double sn = std::max(100 * (w0 + c * x * x) - 2 * c * 50, 0.0);
    EXPECT_NE(vl.find("\r\n" + X(19) + I(n, 5) + X(5) + F(sn, 12, 5)), std::string::npos) << n;
  }
  EXPECT_EQ(e.subgrade_stress_max.node, m.C.NNODE);  // largest at the far edge, last node of ties
  EXPECT_EQ(count_of(vl, kPageThrow), 1);
}

}  // namespace
}  // namespace meridolan::testing
