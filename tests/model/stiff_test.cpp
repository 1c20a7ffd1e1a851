// Assembly: element classification, band-store addressing against a dense assembly,
// and the symmetry penalties.
#include "model/stiff.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/addek.h"
#include "model/mesh.h"
#include "model/plate.h"
#include "model/shape_poly.h"
#include "model/support.h"
#include "model/symtry.h"
#include "solvers/slab_model.h"

namespace meridolan {
namespace {

using testing::makeSlab;

TEST(Mesh, TwoSlabsSideBySide) {
  // NNX = (3, 3), NNY = (4): elements 7, 8, 9 lie in the joint strip at x = 10.
  auto m = makeSlab({0, 5, 10, 10, 15, 20}, {0, 4, 8, 12}, 8, 4e6, 0.15, 100, 5, 2);
  EXPECT_EQ(m.C.NNODE, 24);
  EXPECT_EQ(m.C.NEQ, 72);
  EXPECT_EQ(m.C.MBAND, 18);
  EXPECT_EQ(m.C.NBAND, 1296);
  EXPECT_EQ(m.C.NELEM, 15);
  for (int e = 1; e <= m.C.NELEM; ++e) {
    const auto n = ELNODE(e, m.C.NYT);
    const double a = (m.XN[n[2] - 1] - m.XN[n[0] - 1]) / 2;
    const double b = (m.YN[n[1] - 1] - m.YN[n[0] - 1]) / 2;
    const ElKind want = (e >= 7 && e <= 9) ? ElKind::XJoint : ElKind::Plate;
    EXPECT_EQ(ELKIND(m.C.NSLAB, a, b), want) << "element " << e;
  }
  EXPECT_EQ(ELNODE(7, 4), (std::array<int, 4>{9, 10, 13, 14}));
  EXPECT_EQ(m.XN[9 - 1], 10.0);
  EXPECT_EQ(m.XN[13 - 1], 10.0);
  m.assemble();
  EXPECT_EQ(m.W.NODEL, (std::array<int, 4>{19, 20, 23, 24}));  // last element, 15
  // Node 9 (x = 10) closes the first slab, node 13 (theta-y: equation 39) opens the
  // second; the plate elements on either side couple them to their neighbours.
  EXPECT_NE(m.SK[m.word(3 * 5 - 2, 3 * 9 - 2)], 0.0);
  EXPECT_NE(m.SK[m.word(3 * 13 - 2, 39)], 0.0);
  EXPECT_NE(m.SK[m.word(39, 3 * 17)], 0.0);
}

TEST(Mesh, CrossingOfTwoJointsIsEmpty) {
  // Coordinates repeated at the end: the last element is the empty crossing, so
  // NODEL keeps the corners of the one before it and nothing touches its nodes.
  auto m = makeSlab({0, 10, 10}, {0, 10, 10}, 8, 4e6, 0.15, 100, 5, 4);
  m.assemble();
  EXPECT_EQ(m.W.NODEL, (std::array<int, 4>{4, 5, 7, 8}));
  for (int r = 3 * 9 - 2; r <= 27; ++r) EXPECT_EQ(m.SK[m.word(r, r)], 0.0) << r;
}

// The band store against a dense assembly of the same element matrices, placed by
// the full 12 x 12 row and column of every word.
TEST(Assembly, BandStoreMatchesDenseAssembly) {
  auto m = makeSlab({0, 4, 10, 12}, {0, 3, 9}, 8, 4e6, 0.15, 120, 9);
  m.C.VSHEAR = 900;
  m.SKN = {100, 110, 120, 130, 140, 150, 160, 170, 180, 190, 200, 210};
  m.assemble();

  const int neq = m.C.NEQ;
  std::vector<double> K(neq * neq, 0.0);
  for (int e = 1; e <= m.C.NELEM; ++e) {
    const auto n = ELNODE(e, m.C.NYT);
    const double a = (m.XN[n[2] - 1] - m.XN[n[0] - 1]) / 2;
    const double b = (m.YN[n[1] - 1] - m.YN[n[0] - 1]) / 2;
    std::array<double, 2> CLAY{};
    std::array<double, 180> EKL{};
    std::array<double, 90> EK{};
    PLATE(m.C, a, b, {.top = {.thickness = 8, .modulus = 4e6}, .bottom = {}}, CLAY, EKL, EK);
    SUPPORT(m.C, n, a, b, m.SKN, m.ICON, EK);
    if (e == 1) {
      EXPECT_EQ(m.SK[m.C.MBAND - 1], EK[29]);  // w of N1 with theta-y of N4
    }
    for (int k = 0; k < 90; ++k) {
      const auto rc = testing::wordRC(k);
      if (rc[0] < 0) continue;
      const int r = 3 * (n[rc[0] / 3] - 1) + rc[0] % 3;
      const int c = 3 * (n[rc[1] / 3] - 1) + rc[1] % 3;
      K[r * neq + c] += EK[k];
    }
  }
  EXPECT_EQ(m.C.MBAND - 1, 3 * (m.C.NYT + 1) + 3 - 1);
  for (int r = 0; r < neq; ++r)
    for (int c = r; c < neq; ++c) {
      const double want = K[r * neq + c];
      if (c - r < m.C.MBAND) {
        EXPECT_NEAR(m.SK[m.word(r + 1, c + 1)], want, 1e-12 * std::abs(want)) << r << "," << c;
      } else {
        EXPECT_EQ(want, 0.0) << "coupling outside the band " << r << "," << c;
      }
    }
  // Words past the last column stay zero.
  for (int r = neq - m.C.MBAND + 2; r <= neq; ++r)
    for (int c = neq + 1; c < r + m.C.MBAND; ++c) EXPECT_EQ(m.SK[m.word(r, c)], 0.0);
}

TEST(Assembly, LumpedSpringsGiveEachNodeItsShareOfArea) {
  // Zero plate modulus leaves the springs alone: an interior node gets four quarters.
  auto m = makeSlab(testing::lines(4, 6), testing::lines(4, 4), 8, 0, 0.15, 50, 7);
  m.assemble();
  const double element = 6 * 4;
  EXPECT_DOUBLE_EQ(m.SK[m.word(3 * 6 - 2, 3 * 6 - 2)], 50 * element);      // interior
  EXPECT_DOUBLE_EQ(m.SK[m.word(3 * 2 - 2, 3 * 2 - 2)], 50 * element / 2);  // edge
  EXPECT_DOUBLE_EQ(m.SK[m.word(1, 1)], 50 * element / 4);                  // corner
}

TEST(Assembly, AddsToWhatTheStoreHolds) {
  auto m = makeSlab(testing::lines(3, 5), testing::lines(3, 5), 8, 4e6, 0.15, 100);
  m.assemble();
  const auto once = m.SK;
  STIFF(m.C, m.data(), m.SK, m.W);
  for (std::size_t i = 0; i < once.size(); ++i)
    EXPECT_NEAR(m.SK[i], 2 * once[i], 1e-14 * std::abs(once[0])) << i;
}

TEST(Symmetry, PenaltyOnTheRotationsOfTheFirstLines) {
  const double pen = 9.999999562023526e+24;
  EXPECT_EQ(pen, static_cast<double>(1e25f));
  Control C;
  testing::dimension(C, {6}, {4});
  const int neq = C.NEQ;
  const std::vector<int> thx = {2, 14, 26, 38, 50, 62}, thy = {3, 6, 9, 12};
  for (int isym : {1, 2, 3}) {
    C.ISYM = isym;
    std::vector<double> SK(neq * C.MBAND, 7.0);
    SYMTRY(C, SK);
    std::vector<int> want;
    if (isym != 2) want.insert(want.end(), thx.begin(), thx.end());
    if (isym != 1) want.insert(want.end(), thy.begin(), thy.end());
    for (int r = 1; r <= neq; ++r) {
      const bool hit = std::find(want.begin(), want.end(), r) != want.end();
      EXPECT_EQ(SK[(r - 1) * C.MBAND], hit ? pen : 7.0) << "isym " << isym << " eq " << r;
    }
    EXPECT_EQ(std::count(SK.begin(), SK.end(), 7.0), static_cast<long>(SK.size() - want.size()));
    const auto first = SK;
    SYMTRY(C, SK);  // replaces, does not add
    EXPECT_EQ(SK, first);
  }
}

// Dowels placed by node list: each joint direction reads its own list. 2 x 2 slabs of
// 10 x 10 (x-joint between x-lines 2 and 3, y-joint between y-lines 2 and 3); the
// x-list ties the pairs 5-9 and 6-10, the y-list the pairs 10-11 and 14-15. A dowel
// pair's deflections are coupled by nothing but the dowel shear: the dowel-concrete
// spring in series with the beam shear of half a dowel per element and pair.
TEST(Assembly, EachDowelListReachesOnlyItsOwnJoint) {
  auto m = makeSlab({0, 10, 10, 20}, {0, 10, 10, 20}, 8, 4e6, 0.15, 100, 5, 4);
  Control& C = m.C;
  const double ED = 29e6, DIN = 0.0490873852, W = 0.25, KDC = 1.5e6;
  JointInput J;
  J.LT = 1;  // dowels only, no aggregate interlock
  J.DO = 1.0;
  J.ED = ED;
  J.DIN = DIN;
  J.WJ = W;
  J.PRD = 0.3;
  J.KDC = KDC;
  J.JSW = {1, 1, 1};
  J.ND = 2;
  C.joint(Axis::x) = C.joint(Axis::y) = J;
  m.NDOWX = {5, 6};
  m.NDOWY = {10, 14};
  m.assemble();

  const auto w = [](int node) { return 3 * node - 2; };  // deflection equation
  // Half a dowel per pair: L / s = 1/2 for the element's pair length L = 5.
  const double EI = ED * DIN * 0.5, kb = 12 * EI / (W * W * W), kc = KDC * 0.5;
  const double shear = 1 / (1 / kb + 1 / kc);
  for (const auto& [near, far] : {std::array<int, 2>{5, 9}, {6, 10}, {10, 11}, {14, 15}})
    EXPECT_NEAR(m.SK[m.word(w(near), w(far))], -shear, 1e-12 * shear) << near << "-" << far;
  for (const auto& [near, far] : {std::array<int, 2>{7, 11}, {8, 12}, {2, 3}, {6, 7}})
    EXPECT_EQ(m.SK[m.word(w(near), w(far))], 0.0) << near << "-" << far;
}

// A plate element whose inputs repeat those of the one formed before it takes a copy
// of that matrix. The store must come out word for word as if every element were
// formed on its own, whatever input changes from one element to the next: size,
// thickness, modulus, subgrade at a corner, contact state (curling), two layers.
TEST(Assembly, RepeatedElementsGiveTheStoreOfElementsFormedOneByOne) {
  for (int isubgr : {5, 6, 7, 9}) {
    for (int icurl : {0, 1}) {
      // Spacing varies along x only; each other input differs at one node of its own
      // line of x (the fourth line of y), two lines apart, so that the elements
      // around that node differ from their neighbours in that input alone.
      auto m = makeSlab({0, 6, 12, 18, 21, 27, 33, 39, 45, 51, 57}, {0, 5, 10, 15, 20, 25}, 8, 4e6,
                        0.15, 100, isubgr);
      m.C.ICURL = icurl;
      m.C.VSHEAR = 350;
      m.C.NLAYER = 2;
      m.C.PR2 = 0.2;
      m.C.GSH = {0.425, 0.4};
      std::fill(m.THN2.begin(), m.THN2.end(), 4.0);
      std::fill(m.EN2.begin(), m.EN2.end(), 1e6);
      const auto node = [](int ix) { return 6 * ix + 4 - 1; };  // 0-based, line 4 of y
      m.SKN[node(0)] = 40;
      m.EN1[node(2)] = 5e6;
      m.ICON[node(4)] = 1;
      m.THN1[node(6)] = 9;
      m.THN2[node(8)] = 5;
      m.EN2[node(10)] = 2e6;
      m.assemble();

      // The same elements formed one at a time.
      Control C = m.C;
      std::vector<double> want(m.SK.size(), 0.0);
      StiffWork W;
      const auto mean = [&](const std::vector<double>& v, const std::array<int, 4>& n) {
        return (v[n[0] - 1] + v[n[1] - 1] + v[n[2] - 1] + v[n[3] - 1]) / 4.0;
      };
      const auto layer = [&](const std::vector<double>& h, const std::vector<double>& E,
                             const std::array<int, 4>& n) {
        return PlateLayer{.thickness = mean(h, n), .modulus = mean(E, n)};
      };
      for (int e = 1; e <= C.NELEM; ++e) {
        const auto nodes = ELNODE(e, C.NYT);
        const double a = (m.XN[nodes[2] - 1] - m.XN[nodes[0] - 1]) / 2.0;
        const double b = (m.YN[nodes[1] - 1] - m.YN[nodes[0] - 1]) / 2.0;
        std::fill(W.EK.begin(), W.EK.end(), 0.0);
        const PlateLayers L{.top = layer(m.THN1, m.EN1, nodes),
                            .bottom = layer(m.THN2, m.EN2, nodes)};
        PLATE(C, a, b, L, W.CLAY, W.EKL, W.EK);
        SUPPORT(C, nodes, a, b, m.SKN, m.ICON, W.EK);
        ADDEK(C.MBAND, nodes, W.EK, want);
      }
      for (std::size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(m.SK[i], want[i]) << "subgrade " << isubgr << " curl " << icurl << " word " << i;
    }
  }
}

}  // namespace
}  // namespace meridolan
