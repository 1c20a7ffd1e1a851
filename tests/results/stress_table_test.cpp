// The printed stress table: the rows of each node and the paging.
#include "results/stress_table.h"

#include <gtest/gtest.h>

#include <array>

#include "model_fixture.h"
#include "results/layer_stress.h"

namespace meridolan::testing {
namespace {

using Row = std::array<double, 5>;

void set_row(std::vector<double>& t, int rows, int n, const Row& r) {
  for (int k = 1; k <= 5; ++k) t[(k - 1) * rows + (n - 1)] = r[k - 1];
}

std::string row_text(double depth, const Row& r) {
  std::string s = F(depth, 10, 3);
  for (double v : r) s += X(3) + F(v, 13, 6);
  return s;
}
// First line of a node (after its empty record) and the lines that follow.
std::string first_line(int n, const Row& r) {
  return "\r\n\r\n" + X(9) + I(n, 5) + X(5) + row_text(0.0, r);
}
std::string next_line(double depth, const Row& r) {
  return "\r\n" + X(19) + row_text(depth, r);
}

std::string table(const Model& m) {
  std::array<LayerStresses, 2> layers;
  results::layer_faces(m.C, m.w, layers);
  return capture([&](Report& rep) { results::print_stress_table(rep, m.C, m.w, layers); });
}

const std::string kHeading = "\r\n" + X(10) + "NODE" + X(10) + "DEPTH" + X(6) + "X-STRESS" + X(8) +
                             "Y-STRESS" + X(8) + "XY-STRESS" + X(3) + "MAJ.PRINC.STRESS" + X(2) +
                             "MIN.PRINC.STRESS" + "\r\n";

TEST(StressTable, OneLayerTopIsTheMirroredBottom) {
  Model m = make_model({3}, {3});
  const Row bottom{1.5, -2.25, 1.25, 3.0, -4.0};
  set_row(m.w.STN1, m.C.NNODE, 1, bottom);
  const std::string out = table(m);
  const Row top{-1.5, 2.25, -1.25, 4.0, -3.0};  // major and minor change places
  const std::string want = kHeading + first_line(1, top) + next_line(10.0, bottom);
  EXPECT_EQ(out.substr(0, want.size()), want);
  // Nine nodes of two lines each, one page.
  EXPECT_EQ(count_of(out, "\r\n" + X(19) + F(10.0, 10, 3)), 9);
  EXPECT_EQ(count_of(out, kPageThrow), 1);
}

TEST(StressTable, UnbondedLayersMirrorEachLayer) {
  Model m = make_model({3}, {3});
  add_layer(m, 6.0, 1.5e6, 0.3, 0);
  const Row b1{1.5, -2.25, 1.25, 3.0, -4.0}, b2{-7.5, 2.5, 1.0, 2.75, -7.75};
  set_row(m.w.STN1, m.C.NNODE, 2, b1);
  set_row(m.w.STN2, m.C.NNODE, 2, b2);
  const std::string out = table(m);
  const Row t1{-1.5, 2.25, -1.25, 4.0, -3.0}, t2{7.5, -2.5, -1.0, 7.75, -2.75};
  EXPECT_NE(
      out.find(first_line(2, t1) + next_line(10.0, b1) + next_line(10.0, t2) + next_line(16.0, b2)),
      std::string::npos)
      << out;
}

TEST(StressTable, BondedTopsFollowTheNeutralAxis) {
  Model m = make_model({3}, {3});
  add_layer(m, 6.0, 2e6, 0.2, 1);
  const Row b1{1.5, -2.25, 1.25, 3.0, -4.0}, b2{-7.5, 2.5, 1.0, 2.75, -7.75};
  set_row(m.w.STN1, m.C.NNODE, 3, b1);
  set_row(m.w.STN2, m.C.NNODE, 3, b2);
  const std::string out = table(m);
  // h1 = 10, h2 = 6, E1/E2 = 2: ZNA2 = 16 * 10 * 0.5 / (3 + 10), ZNA1 = 8 - ZNA2.
  const double zna2 = 80.0 / 13, zna1 = 8 - zna2;
  const double g = (5 + zna1) / (3 + zna2), f1 = -g * 2, f2 = 0.5;
  const Row t1{f1 * b2[0], f1 * b2[1], f1 * b2[2], f1 * b2[4], f1 * b2[3]};
  const Row t2{f2 * b1[0], f2 * b1[1], f2 * b1[2], f2 * b1[3], f2 * b1[4]};
  EXPECT_NE(
      out.find(first_line(3, t1) + next_line(10.0, b1) + next_line(10.0, t2) + next_line(16.0, b2)),
      std::string::npos)
      << out;
}

TEST(StressTable, EighteenNodesPerPageForOneLayerElevenForTwo) {
  Model one = make_model({5}, {4});  // 20 nodes
  std::string out = table(one);
  const Row zero{};
  EXPECT_EQ(count_of(out, kPageThrow), 2);
  EXPECT_NE(out.find(kPageThrow + first_line(19, zero)), std::string::npos);
  EXPECT_EQ(out.find(kPageThrow + first_line(18, zero)), std::string::npos);
  EXPECT_EQ(count_of(out, "NODE"), 1);  // no heading on later pages

  Model two = make_model({5}, {4});
  add_layer(two, 6.0, 1.5e6, 0.3, 0);
  out = table(two);
  EXPECT_EQ(count_of(out, kPageThrow), 2);
  EXPECT_NE(out.find(kPageThrow + first_line(12, zero)), std::string::npos);
  EXPECT_EQ(out.substr(out.size() - kPageThrow.size() - 2), kPageThrow + "\r\n");
}

}  // namespace
}  // namespace meridolan::testing
