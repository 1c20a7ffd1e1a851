// Jointed pavements checked against models whose answer is known: slabs that do not
// touch, slabs tied so stiffly that they act as one, statics across the joint, and the
// worked values of one dowel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "model/joint.h"
#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// Node lines 0, h, 2h, ..., length.
std::vector<double> lines(double length, int elements, double from = 0.0) {
  std::vector<double> c;
  for (int i = 0; i <= elements; ++i) c.push_back(from + length * i / elements);
  return c;
}

// Two 120 x 120 slabs side by side along x (10-in elements), joint at x = 120.
SlabDeck two_slabs(int isubgr, const JointRecords& j, const Load& load) {
  SlabDeck d;
  d.xc = lines(120, 12);
  for (double x : lines(120, 12, 120)) d.xc.push_back(x);
  d.yc = lines(120, 12);
  d.nnx = {13, 13};
  d.isubgr = isubgr;
  d.jx = j;
  d.loads = {load};
  return d;
}

JointRecords aggregate_only(double agg) {
  JointRecords j;
  j.lt = 0;
  j.agg = agg;
  return j;
}

JointRecords dowels_only(double kdc) {
  JointRecords j;
  j.lt = 1;
  j.kdc = kdc;
  return j;
}

const Load kEdgeLoad{90.0, 110, 120, 55, 65};  // 9000 lb against the joint
constexpr int kNear = 12 * 13 + 7;             // joint node under the load, x = 120, y = 60
constexpr int kFar = kNear + 13;               // its partner on the unloaded slab

double efficiency(const RunResult& r) {
  const auto d = deflections(r.lines());
  return d.at(kFar).w / d.at(kNear).w;
}

// The printed deflection field of every node, as text.
std::map<int, std::string> printed_deflections(const RunResult& r) {
  std::map<int, std::string> out;
  bool in = false;
  for (const std::string& l : r.lines()) {
    in = in || l.find("DEFLECTION     X-ROTATION") != std::string::npos;
    if (!in) continue;
    if (l.find("LOAD TRANSFER IN") != std::string::npos || l.find("DEPTH") != std::string::npos)
      break;
    std::vector<double> v;
    if (l.size() >= 29 && numbers(l, v) && v.size() == 6) out[int(v[0])] = l.substr(16, 13);
  }
  return out;
}

TEST(JointValidation, WithoutTransferTheLoadedSlabActsAlone) {
  const RunResult both = run_deck(two_slabs(5, aggregate_only(0.0), kEdgeLoad).text());
  SlabDeck alone;
  alone.xc = lines(120, 12);
  alone.yc = lines(120, 12);
  alone.isubgr = 5;
  alone.loads = {kEdgeLoad};
  const RunResult one = run_deck(alone.text());
  ASSERT_EQ(both.status, 0);
  ASSERT_EQ(one.status, 0);
  const auto p1 = printed_deflections(one), p2 = printed_deflections(both);
  ASSERT_EQ(p1.size(), 13u * 13u);
  for (int n = 1; n <= 13 * 13; ++n) EXPECT_EQ(p2.at(n), p1.at(n)) << "node " << n;
  // The unloaded slab does not move at all.
  const auto d = deflections(both.lines());
  for (int n = 13 * 13 + 1; n <= 2 * 13 * 13; ++n) EXPECT_EQ(d.at(n).w, 0.0) << n;
}

TEST(JointValidation, StiffInterlockApproachesTheWholePavementAsOneSlab) {
  // A load in the middle of the first slab; the one-slab model spans both slabs with
  // one node line at x = 120.
  const Load mid{90.0, 55, 65, 55, 65};
  SlabDeck whole;
  whole.xc = lines(240, 24);
  whole.yc = lines(120, 12);
  whole.isubgr = 5;
  whole.loads = {mid};
  const RunResult one = run_deck(whole.text());
  const auto w1 = deflections(one.lines());
  const auto s1 = stresses(one.lines());
  const int centre = 6 * 13 + 7;  // (60, 60), the same number in both models
  const double w_ref = w1.at(centre).w, s_ref = s1.at(centre)[1][1];

  double prev_w = 0, prev_step = 1e9;
  for (double agg : {1e3, 1e4, 1e5, 1e6, 1e7}) {
    const RunResult r = run_deck(two_slabs(5, aggregate_only(agg), mid).text());
    const auto w = deflections(r.lines());
    const auto s = stresses(r.lines());
    const double wc = w.at(centre).w;
    const double jump = w.at(kNear).w - w.at(kFar).w;
    std::printf(
        "  AGG %.0e: centre deflection %+.3f %%, centre x-stress %+.3f %%, joint opening "
        "%.2e in\n",
        agg, 100 * (wc / w_ref - 1), 100 * (s.at(centre)[1][1] / s_ref - 1), jump);
    // Each tenfold factor changes the answer less than the one before: it converges.
    if (agg > 1e3) {
      EXPECT_LT(std::abs(wc - prev_w), prev_step);
      prev_step = std::abs(wc - prev_w);
    }
    prev_w = wc;
    if (agg == 1e7) {
      // The joint closes to the printed digit; what is left is a hinge (interlock
      // carries no moment), within a few per cent of the slab that bends
      // continuously across x = 120.
      EXPECT_LE(std::abs(jump), 1.5e-6);
      EXPECT_LT(std::abs(wc / w_ref - 1), 0.03);
      EXPECT_LT(std::abs(s.at(centre)[1][1] / s_ref - 1), 0.03);
    }
  }
}

TEST(JointValidation, LoadTransferEfficiencyRisesWithInterlockAndDowelSupport) {
  double prev = -1.0;
  for (double agg : {1e2, 1e3, 1e4, 1e5, 1e6, 1e7}) {
    const double e = efficiency(run_deck(two_slabs(7, aggregate_only(agg), kEdgeLoad).text()));
    std::printf("  AGG %.0e: efficiency %.4f\n", agg, e);
    EXPECT_GT(e, prev);
    prev = e;
  }
  EXPECT_GT(prev, 0.99);
  prev = -1.0;
  for (double kdc : {1e6, 3e6, 1e7, 1e8, 1e9}) {
    const double e = efficiency(run_deck(two_slabs(7, dowels_only(kdc), kEdgeLoad).text()));
    std::printf("  KDC %.0e: efficiency %.4f\n", kdc, e);
    EXPECT_GT(e, prev);
    prev = e;
  }
}

// On springs every reaction is a nodal force, so the load that crosses the joint is
// exactly what the subgrade under the unloaded slab carries.
void expect_statics(const JointRecords& j) {
  const RunResult r = run_deck(two_slabs(7, j, kEdgeLoad).text());
  ASSERT_EQ(r.status, 0);
  const auto lines_ = r.lines();
  std::vector<double> sums;
  for (const std::string& l : lines_) {
    const auto p = l.find("THE SUM OF REACTION FORCES IS");
    if (p != std::string::npos) sums.push_back(std::strtod(l.c_str() + p + 29, nullptr));
  }
  ASSERT_EQ(sums.size(), 2u);
  const double unloaded = sums[1] - sums[0];
  const double dowels = value_after(lines_, "TRANSFERRED BY DOWELS IN X- DIRECTION IS");
  const double aggregate = value_after(lines_, "AGGREGATE INTERLOCK IN X- DIRECTION IS");
  std::printf("  unloaded slab %.3f, dowels %.3f + interlock %.3f\n", unloaded, dowels, aggregate);
  EXPECT_NEAR(dowels + aggregate, unloaded, 0.0021);
  EXPECT_GT(dowels, 0.0);
}

TEST(JointValidation, TransferredLoadEqualsTheReactionsOfTheUnloadedSlab) {
  JointRecords spaced;  // dowels every 12 in and interlock
  expect_statics(spaced);
  JointRecords listed = spaced;  // a dowel at every near-face node instead
  listed.sp = 0.0;
  for (int n = 12 * 13 + 1; n <= 13 * 13; ++n) listed.list.push_back(n);
  expect_statics(listed);
}

// The same across a y-joint (two slab rows, one column, so one sum line for both):
// the nodal spring forces of the unloaded row carry what its dowels, listed at every
// near-face node, and its interlock pass.
TEST(JointValidation, TransferredLoadAcrossAYJointEqualsTheForcesOfTheUnloadedSlab) {
  SlabDeck d;
  d.xc = lines(120, 12);
  d.yc = lines(120, 12);
  for (double y : lines(120, 12, 120)) d.yc.push_back(y);
  d.nny = {13, 13};
  d.isubgr = 7;
  d.jy.sp = 0.0;
  for (int i = 1; i <= 13; ++i) d.jy.list.push_back((i - 1) * 26 + 13);
  d.loads = {{90.0, 55, 65, 110, 120}};
  const RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines_ = r.lines();
  double unloaded = 0.0;
  for (const auto& [node, v] : deflections(lines_))
    if ((node - 1) % 26 >= 13) unloaded += v.f;
  const double dowels = value_after(lines_, "TRANSFERRED BY DOWELS IN Y- DIRECTION IS");
  const double aggregate = value_after(lines_, "AGGREGATE INTERLOCK IN Y- DICTION IS");
  std::printf("  unloaded slab %.3f, dowels %.3f + interlock %.3f\n", unloaded, dowels, aggregate);
  // 169 printed forces, each within half a unit of the third decimal.
  EXPECT_NEAR(dowels + aggregate, unloaded, 0.09);
  EXPECT_GT(dowels, 0.1 * unloaded);
}

TEST(JointValidation, CurledJointedSlabsBalanceTheirWeightAndTheLoadAcrossTheJoint) {
  // Winkler curling of two dowelled slabs with a cold top: the contact iteration
  // converges and the joint passes what the second slab's springs carry beyond its
  // own weight.
  SlabDeck d = two_slabs(7, JointRecords{}, kEdgeLoad);
  d.layers[0].gam = 0.0868;
  d.layers[0].dt = -20.0;
  d.layers[0].alf = 5.5e-6;
  d.icurl = 1;
  d.iwink = 1;
  d.icycle = 20;
  const RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto lines_ = r.lines();
  EXPECT_TRUE(r.contains("CONTACT CONDITION BEFORE AND AFTER CURRENT ITERATION IS    0"));
  std::vector<double> sums;
  for (const std::string& l : lines_) {
    const auto p = l.find("THE SUM OF REACTION FORCES IS");
    if (p != std::string::npos) sums.push_back(std::strtod(l.c_str() + p + 29, nullptr));
  }
  ASSERT_EQ(sums.size(), 2u);
  const double weight = value_after(lines_, "SLAB SELF-WEIGHT                =");
  EXPECT_NEAR(sums[1], 9000.0 + weight, 0.002);
  const double second = sums[1] - sums[0] - weight / 2;
  const double across = value_after(lines_, "TRANSFERRED BY DOWELS IN X- DIRECTION IS") +
                        value_after(lines_, "AGGREGATE INTERLOCK IN X- DIRECTION IS");
  EXPECT_NEAR(across, second, 0.005);
  EXPECT_FALSE(r.contains("NaN"));
}

TEST(JointValidation, StiffInterlockOnTheElasticSolidApproachesOneSlab) {
  // Two 60 x 60 in slabs on a half-space; the faces of the joint stand on one point of
  // the solid, so with the joint closed the model is the one slab of the whole
  // pavement, apart from the hinge (interlock carries no moment).
  const Load mid{100.0, 25, 35, 25, 35};
  auto solid = [](SlabDeck d) {
    d.isubgr = 8, d.k = 0.0, d.esub = 20000.0, d.prsub = 0.3;
    return d;
  };
  SlabDeck whole;
  whole.xc = lines(120, 12);
  whole.yc = lines(60, 6);
  whole.loads = {mid};
  const auto w1 = deflections(run_deck(solid(whole).text()).lines());
  const int centre = 3 * 7 + 4;  // (30, 30) in both models
  double prev = 1e9;
  for (double agg : {1e2, 1e4, 1e6, 1e8}) {
    SlabDeck d;
    d.xc = lines(60, 6);
    for (double x : lines(60, 6, 60)) d.xc.push_back(x);
    d.yc = lines(60, 6);
    d.nnx = {7, 7};
    d.jx = aggregate_only(agg);
    d.loads = {mid};
    const RunResult r = run_deck(solid(d).text());
    ASSERT_EQ(r.status, 0) << r.errors;
    const auto w = deflections(r.lines());
    const double off = std::abs(w.at(centre).w / w1.at(centre).w - 1);
    // The far edge of the second slab, x = 120: node 13*7 + 4 in both models.
    std::printf("  AGG %.0e: deflection under the load %+.3f %% (far edge %.6f vs %.6f)\n", agg,
                100 * (w.at(centre).w / w1.at(centre).w - 1), w.at(13 * 7 + 4).w,
                w1.at(12 * 7 + 4).w);
    EXPECT_LE(off, prev);
    prev = off;
  }
  EXPECT_LT(prev, 0.02);
}

TEST(JointValidation, CurledJointedSlabsOnTheElasticSolidFollowTheOneSlab) {
  // The same plan curled up at its ends by a cooler top, with the load near the middle
  // of the first slab: the ends lose contact. Each face pair of the joint stands on one
  // point, which is in or out of contact as a whole; with the joint closed by a stiff
  // interlock the jointed slabs settle where the one slab does.
  auto curled = [](SlabDeck d) {
    d.isubgr = 8, d.k = 0.0, d.esub = 20000.0, d.prsub = 0.3;
    d.layers = {Layer{8.0, 4.0e6, 0.15, 0.087, -30.0, 5.5e-6}};
    d.loads = {{100.0, 25, 35, 25, 35}};
    d.icurl = 1, d.iwink = 0, d.icycle = 20;
    return d;
  };
  SlabDeck whole;
  whole.xc = lines(120, 12);
  whole.yc = lines(60, 6);
  const RunResult one = run_deck(curled(whole).text());
  ASSERT_EQ(one.status, 0) << one.errors;
  SlabDeck d;
  d.xc = lines(60, 6);
  for (double x : lines(60, 6, 60)) d.xc.push_back(x);
  d.yc = lines(60, 6);
  d.nnx = {7, 7};
  // Interlock carries no moment: stiff dowels close the joint against bending too.
  d.jx.lt = 2;
  d.jx.agg = 1e8;
  d.jx.ed = 2.9e8, d.jx.kdc = 1.5e8, d.jx.sp = 10.0, d.jx.wj = 0.1;
  const RunResult two = run_deck(curled(d).text());
  ASSERT_EQ(two.status, 0) << two.errors;
  ASSERT_TRUE(two.contains("SUBGRADE STRESSES FOR ELASTIC SOLID"));
  EXPECT_FALSE(two.contains("CONVERGENCE IS NOT ACHIEVED"));

  const auto l1 = one.lines(), l2 = two.lines();
  const auto w1 = deflections(l1), w2 = deflections(l2);
  const auto s1 = solid_subgrade_rows(l1), s2 = solid_subgrade_rows(l2);
  // Node of the one slab at the place of node n of the jointed slabs (the second
  // slab's nodes are one node line further on).
  const auto same_place = [](int n) { return n <= 49 ? n : n - 7; };
  double largest = 0.0, worst = 0.0;
  int out1 = 0, out2 = 0, disagree = 0;
  for (const auto& [n, w] : w2) {
    const int m = same_place(n);
    largest = std::max(largest, std::abs(w1.at(m).w));
    worst = std::max(worst, std::abs(w.w - w1.at(m).w));
    const bool off2 = s2.at(n).force == 0.0, off1 = s1.at(m).force == 0.0;
    if (off2 != off1) ++disagree;
    out2 += off2;
  }
  for (const auto& [m, row] : s1) out1 += row.force == 0.0;
  std::printf(
      "  out of contact: %d of 91 nodes (one slab), %d of 98 (jointed); largest "
      "deflection difference %.2e of %.2e\n",
      out1, out2, worst, largest);
  EXPECT_GT(out1, 0) << "the curled ends lose contact";
  EXPECT_EQ(disagree, 0) << "nodes whose contact differs from the one slab's";
  // Both faces of every joint point share its state and its stress.
  for (int n = 43; n <= 49; ++n) EXPECT_EQ(s2.at(n).stress, s2.at(n + 7).stress) << n;
  // What is left is the joint's own flexibility (dowels ten times as stiff as steel
  // bars, which is as far as the system stays well conditioned): 2.8 % of the largest
  // deflection.
  EXPECT_LT(worst, 0.04 * largest);
  // The subgrade carries the load and the self-weight in both.
  EXPECT_NEAR(value_after(l2, "SUM OF REACTION FORCES ="),
              value_after(l1, "SUM OF REACTION FORCES ="),
              0.01 * value_after(l1, "SUM OF REACTION FORCES ="));
}

TEST(JointValidation, WorkedDowelValues) {
  // Solid 1.25-in bar, E = 29e6, nu = 0.3, 12-in spacing, 0.25-in joint, x-joint element
  // with b = 6 (half a dowel per node pair).
  JointInput J;
  J.LT = 1;
  J.DO = 1.25;
  J.ED = 29e6;
  J.SP = 12;
  J.WJ = 0.25;
  J.PRD = 0.3;
  J.KDC = 1.5e6;
  J.JSW = {1, 1, 1};
  J.DIN = 0.04908699914813042 * std::pow(1.25, 4.0);
  const double AS = 0.7068579792976379 * 1.25 * 1.25;
  J.PHI = 24 * 1.3 * J.DIN / (0.25 * 0.25 * AS);
  EXPECT_NEAR(J.DIN, 0.119841, 5e-7);
  EXPECT_NEAR(AS, 1.10447, 5e-6);
  EXPECT_NEAR(J.PHI, 54.1663, 5e-5);
  const auto six = [](double got, double want) { EXPECT_NEAR(got / want, 1.0, 5e-6) << got; };
  const PairTerms p = DOWEL(J, 6, 12);
  six(p.KSH, 727447);
  six(p.kt, 10693600);
  six(p.KMO, 3023930);
  six(p.c4, 7328790);
  six(p.c2, -6572800);
  // The series parts on their own: an unyielding concrete leaves the beam's shear, an
  // unyielding beam the concrete.
  JointInput rigid_concrete = J;
  rigid_concrete.KDC = 1e300;
  six(DOWEL(rigid_concrete, 6, 12).KSH, 24191500);
  JointInput rigid_bar = J;
  rigid_bar.ED = 1e300;
  six(DOWEL(rigid_bar, 6, 12).KSH, 750000);
  six(J.ED * J.DIN * 6 / 12, 1737700);
}

}  // namespace
}  // namespace meridolan
