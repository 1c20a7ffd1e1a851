// Joint elements: where dowels are placed, which components act, and how the terms
// of one node pair enter the element matrix.
#include "model/joint.h"

#include <gtest/gtest.h>

#include <vector>

namespace meridolan {
namespace {

JointInput dowelled(const std::vector<int>& list) {
  JointInput J;
  J.LT = 2;
  J.DO = 1.25;
  J.ED = 29e6;
  J.WJ = 0.25;
  J.PRD = 0.3;
  J.KDC = 1.5e6;
  J.AGG = 1000;
  J.DIN = 0.119841;
  J.PHI = 54.1663;
  J.JSW = {0, 1, 1};
  J.ND = static_cast<int>(list.size());
  return J;
}

TEST(JointTerms, ListedNodesReceiveHalfADowelPerElement) {
  std::vector<int> list = {7, 8, 9};  // consecutive near-face nodes, in order
  const JointInput J = dowelled(list);
  const auto t = JTERMS(J, list, 6.0, {7, 8});
  EXPECT_TRUE(t[0].dowel && t[1].dowel);
  // Half a dowel over a pair: the spacing is twice the element length.
  EXPECT_DOUBLE_EQ(t[0].KSH, DOWEL(J, 6.0, 12.0).KSH);

  // Only the second node listed: the second pair alone.
  std::vector<int> second = {8};
  const auto u = JTERMS(dowelled(second), second, 6.0, {7, 8});
  EXPECT_FALSE(u[0].dowel);
  EXPECT_TRUE(u[1].dowel);
}

TEST(JointTerms, AnUnsortedListStopsAtTheFirstNodeItMeets) {
  // The entry for the second node comes first: the search stops there and the first
  // pair gets no dowel although it is listed.
  std::vector<int> list = {8, 7};
  const auto t = JTERMS(dowelled(list), list, 6.0, {7, 8});
  EXPECT_FALSE(t[0].dowel);
  EXPECT_TRUE(t[1].dowel);
}

TEST(JointTerms, TransferTypeSelectsTheComponents) {
  std::vector<int> none;
  JointInput J = dowelled(none);
  J.SP = 12.0;  // spread dowels reach both pairs
  J.LT = 0;     // interlock only
  auto t = JTERMS(J, none, 6.0, {1, 2});
  EXPECT_FALSE(t[0].dowel);
  EXPECT_DOUBLE_EQ(t[0].ka, 6000.0);
  J.LT = 1;  // dowels only: no interlock even with a factor given
  t = JTERMS(J, none, 6.0, {1, 2});
  EXPECT_TRUE(t[0].dowel && t[1].dowel);
  EXPECT_EQ(t[1].ka, 0.0);
  J.LT = 5;  // any other code: both
  t = JTERMS(J, none, 6.0, {1, 2});
  EXPECT_TRUE(t[0].dowel);
  EXPECT_DOUBLE_EQ(t[0].ka, 6000.0);
  // Negative spacing and no list: no dowel anywhere.
  J.SP = -12.0;
  t = JTERMS(J, none, 6.0, {1, 2});
  EXPECT_FALSE(t[0].dowel || t[1].dowel);
}

TEST(JointTerms, ANarrowJointIsFormedAtTheWidthFloor) {
  std::vector<int> none;
  JointInput J = dowelled(none);
  J.WJ = 0.005;
  JointInput floor = J;
  floor.WJ = kMinJointWidth;
  EXPECT_EQ(DOWEL(J, 6, 12).KMO, DOWEL(floor, 6, 12).KMO);
  EXPECT_NEAR(kMinJointWidth, 0.0099999998, 1e-10);

  // The beam terms in closed form, 6 EI / ((1 + phi) w^2) and (4 + phi) EI / ((1 + phi) w),
  // at the single-precision 0.01 for every width up to it, and at the width itself above.
  const double EI = 29e6 * 0.119841 * 6.0 / 12.0;
  const auto KMO = [&](double w) { return 6.0 * EI / (55.1663 * w * w); };
  const auto c4 = [&](double w) { return 58.1663 * EI / (55.1663 * w); };
  const double f = static_cast<double>(0.01f);
  for (double wj : {0.0, 0.005, 0.0099, 0.0125, 0.25}) {
    J.WJ = wj;
    const double w = wj > f ? wj : f;
    EXPECT_EQ(dowel_width(J), w) << wj;
    const PairTerms p = DOWEL(J, 6, 12);
    EXPECT_NEAR(p.KMO / KMO(w), 1.0, 1e-14) << wj;
    EXPECT_NEAR(p.c4 / c4(w), 1.0, 1e-14) << wj;
  }
}

// The element matrix of one pair, as a 4 x 4 over (wP, thP, wQ, thQ), read from the
// block triangle of an x-joint (pair N1-N3, theta = y-rotation) and of a y-joint
// (pair N1-N2, theta = x-rotation).
TEST(JointTerms, PairTermsGoToTheirBlockTriangleWords) {
  PairTerms p;
  p.KSH = 1, p.KMO = 10, p.c4 = 100, p.c2 = 1000, p.kt = 10000, p.ka = 0.5;
  const std::array<PairTerms, 2> t = {p, PairTerms{}};
  std::array<double, 90> x{}, y{};
  JOINT(ElKind::XJoint, t, x);
  JOINT(ElKind::YJoint, t, y);
  // x-joint: w1 row 1, th_y1 word 9, w3 word 64, coupling w1-w3 word 19, w1-th_y3 21.
  EXPECT_EQ(x[0], 1.5);
  EXPECT_EQ(x[18], -1.5);
  EXPECT_EQ(x[63], 1.5);
  EXPECT_EQ(x[2], 10);   // w1 - th_y1
  EXPECT_EQ(x[8], 100);  // th_y1 - th_y1
  EXPECT_EQ(x[20], 10);  // w1 - th_y3
  EXPECT_EQ(x[24], -10);
  EXPECT_EQ(x[26], 1000);
  EXPECT_EQ(x[65], -10);
  EXPECT_EQ(x[4], 10000);  // torsion on th_x1
  // y-joint: the couplings change sign, the rotation is the x-rotation.
  EXPECT_EQ(y[9], -1.5);   // w1 - w2
  EXPECT_EQ(y[1], -10);    // w1 - th_x1
  EXPECT_EQ(y[4], 100);    // th_x1 - th_x1
  EXPECT_EQ(y[12], 10);    // th_x1 - w2
  EXPECT_EQ(y[37], 10);    // w2 - th_x2
  EXPECT_EQ(y[8], 10000);  // torsion on th_y1
  double rest = 0;         // the second pair got nothing
  for (int k : {36, 54, 81}) rest += std::abs(x[k]);
  EXPECT_EQ(rest, 0.0);
}

}  // namespace
}  // namespace meridolan
