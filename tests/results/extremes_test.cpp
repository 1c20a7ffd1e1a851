// Extreme-value search, the summary, and the order of the sections of a pass.
#include "results/extremes.h"

#include <gtest/gtest.h>

#include "model_fixture.h"
#include "results/stress.h"

namespace meridolan::testing {
namespace {

std::string maxima(const Control& C, const ExtremeValues& e, double sumr, double sumext) {
  return capture([&](Report& rep) { MAXIMA(rep, C, e, sumr, sumext); });
}

std::string stress(Model& m, int pass = 1) {
  return capture([&](Report& rep) { STRESS(rep, m.C, pass, m.w, m.res); });
}

// The summary's entries in the order of its classic numbering 1 to 19: deflection
// largest and smallest, subgrade stress, then per layer the largest x, minor, y and
// major bottom stresses, then the smallest of the same.
Extreme& entry(ExtremeValues& e, int k) {
  if (k == 1) return e.deflection_max;
  if (k == 2) return e.deflection_min;
  if (k == 3) return e.subgrade_stress_max;
  const bool smallest = k >= 12;
  LayerExtremes& l = e.bottom[((k - 4) % 8) / 4];
  switch ((k - 4) % 4) {
    case 0:
      return smallest ? l.x_min : l.x_max;
    case 1:
      return smallest ? l.minor_min : l.minor_max;
    case 2:
      return smallest ? l.y_min : l.y_max;
    default:
      return smallest ? l.major_min : l.major_max;
  }
}

const std::string kNote = "NOTE:-  X-STRESS TOP = - (X-STRESS BOTTOM)";
const std::string kLayer2 = "RANGE OF X-STRESS AT BOTTOM OF LAYER 2: FROM";
const std::string kSums = "SUM OF REACTION FORCES =";

TEST(Extremes, SearchKeepsLargestAndSmallestWithTheLastNodeOnTies) {
  Model m = make_model({3}, {3});
  add_layer(m, 6.0, 1.5e6, 0.3, 0);
  const int N = m.C.NNODE;
  for (int n = 1; n <= N; ++n) {
    m.w.R[3 * (n - 1)] = 0.5;                                         // all equal and positive
    m.w.STN1[(1 - 1) * N + (n - 1)] = n == 4 || n == 6 ? -3.0 : 1.0;  // x-stress
    m.w.STN1[(4 - 1) * N + (n - 1)] = n;                              // major
    m.w.STN2[(5 - 1) * N + (n - 1)] = -n;                             // layer-2 minor
  }
  ExtremeValues e;
  results::search_extremes(m.C, m.w, e);
  const LayerExtremes& l1 = e.bottom[0];
  EXPECT_EQ(e.deflection_max.value, 0.5);
  EXPECT_EQ(e.deflection_max.node, N);
  EXPECT_EQ(e.deflection_min.value, 0.0);  // no deflection at or below 0
  EXPECT_EQ(e.deflection_min.node, 0);
  EXPECT_EQ(l1.x_max.value, 1.0);
  EXPECT_EQ(l1.x_max.node, N);
  EXPECT_EQ(l1.x_min.value, -3.0);
  EXPECT_EQ(l1.x_min.node, 6);
  EXPECT_EQ(l1.major_max.value, N);
  EXPECT_EQ(l1.major_max.node, N);
  EXPECT_EQ(l1.major_min.value, 0.0);  // every major stress positive: the range starts at 0
  EXPECT_EQ(l1.major_min.node, 0);
  EXPECT_EQ(e.bottom[1].minor_min.value, -N);
  EXPECT_EQ(e.bottom[1].minor_min.node, N);
  EXPECT_EQ(l1.y_min.node, N);  // y-stress all 0: the range ends at the last node
}

TEST(Extremes, SummaryLinesAndPairs) {
  Model m = make_model({3}, {3});
  ExtremeValues e;
  for (int k = 1; k <= 19; ++k) entry(e, k) = {0.25 * k, k};
  std::string out = maxima(m.C, e, 0.0, 500.0);
  const std::string defl = "\r\n" + X(24) + "DEFLECTION                   =" + F(0.25, 10, 6) +
                           X(4) + "AT NODE" + I(1, 5) + "\r\n" + X(24) +
                           "                           AND" + F(0.5, 10, 6) + X(4) + "AT NODE" +
                           I(2, 5);
  EXPECT_NE(out.find(defl), std::string::npos) << out;
  // The x-stress range runs from entry 12 to entry 4.
  EXPECT_NE(out.find("\r\n" + X(9) + "RANGE OF X-STRESS AT BOTTOM OF LAYER 1: FROM" +
                     F(3.0, 10, 3) + X(2) + "AT NODE" + I(12, 5) + X(5) + "TO" + F(1.0, 10, 3) +
                     X(2) + "AT NODE" + I(4, 5)),
            std::string::npos);
  EXPECT_NE(out.find("MAJOR PRINC. STRESS BOT. LAYER 1: FROM" + F(3.75, 10, 3)), std::string::npos);
  EXPECT_EQ(count_of(out, kNote), 1);
  EXPECT_EQ(count_of(out, kLayer2), 0);
  EXPECT_EQ(count_of(out, kSums), 0);  // a zero sum prints no sum lines

  out = maxima(m.C, e, -12.5, 500.0);
  EXPECT_NE(out.find(X(22) + kSums + F(-12.5, 10, 2) + "\r\n\r\n" + X(11) +
                     "SUM OF EXTERNAL FORCES AND SELF-WEIGHT (IF ANY) =" + F(500.0, 10, 2)),
            std::string::npos);

  add_layer(m, 6.0, 1.5e6, 0.3, 0);
  out = maxima(m.C, e, 0.0, 0.0);
  EXPECT_EQ(count_of(out, kNote), 1);
  EXPECT_NE(
      out.find(kLayer2 + F(4.0, 10, 3) + X(2) + "AT NODE" + I(16, 5) + X(5) + "TO" + F(2.0, 10, 3)),
      std::string::npos);
  m.C.ICOMP = 1;  // bonded layers: top and bottom are not mirror images
  out = maxima(m.C, e, 0.0, 0.0);
  EXPECT_EQ(count_of(out, kNote), 0);
  EXPECT_EQ(count_of(out, kLayer2), 1);
}

TEST(Stress, OnePassPrintsEverySectionInOrder) {
  Model m = make_model({3}, {3});
  m.C.TOTLD = 100;
  m.C.DT1 = 10;
  m.C.ALF1 = 5e-6;
  for (int n = 1; n <= m.C.NNODE; ++n) m.w.R[3 * (n - 1)] = 0.003;
  const std::string out = stress(m);
  const auto head = out.find("SUBGRADE FORCE"), table = out.find("DEPTH"),
             summary = out.find("MAXIMUM OR MINIMUM"), note = out.find(kNote),
             sums = out.find(kSums);
  EXPECT_LT(head, table);
  EXPECT_LT(table, summary);
  EXPECT_LT(summary, note);
  EXPECT_LT(note, sums);
  EXPECT_EQ(m.res.extremes.deflection_max.node, 9);
  EXPECT_EQ(m.res.extremes.subgrade_stress_max.node, 9);
  // A flat slab: -E DT ALF / (2 (1 - nu)) along the edges and both ways in the
  // middle; equal values leave the range at the highest node.
  const double t = -4e6 * 10 * 5e-6 / (2 * 0.85);
  EXPECT_DOUBLE_EQ(m.res.extremes.bottom[0].x_min.value, t);
  EXPECT_EQ(m.res.extremes.bottom[0].x_min.node, 6);
  EXPECT_DOUBLE_EQ(m.res.extremes.bottom[0].y_min.value, t);
  EXPECT_EQ(m.res.extremes.bottom[0].y_min.node, 8);
  EXPECT_NE(out.find("TO" + F(0.0, 10, 3) + X(2) + "AT NODE" + I(9, 5)), std::string::npos);
}

TEST(Stress, GateAndFinalPrintAfterConvergence) {
  Model m = make_model({3}, {3});
  m.C.ISUBGR = 2;
  m.C.MAXIT = 5;
  for (int n = 1; n <= m.C.NNODE; ++n) m.w.R[3 * (n - 1)] = 0.002;
  std::string out = stress(m);
  EXPECT_NE(out.find("SUBGRADE FORCE"), std::string::npos);
  EXPECT_EQ(out.find("DEPTH"), std::string::npos);  // pass 1 of 5 prints no stresses
  EXPECT_EQ(out.find("MAXIMUM"), std::string::npos);
  const double vext3 = m.res.extremes.subgrade_stress_max.value, sumr = m.res.extremes.reaction_sum;

  // The final print keeps the extremes and the reaction sum of the pass before it.
  for (int n = 1; n <= m.C.NNODE; ++n) m.w.R[3 * (n - 1)] = 0.001;
  out = stress(m, kConvergedRepeat);
  EXPECT_EQ(out.find("SUBGRADE FORCE"), std::string::npos);
  EXPECT_NE(out.find("DEPTH"), std::string::npos);
  EXPECT_EQ(m.res.extremes.subgrade_stress_max.value, vext3);
  EXPECT_EQ(m.res.extremes.reaction_sum, sumr);
  EXPECT_EQ(m.res.extremes.deflection_max.value, 0.001);
  EXPECT_NE(out.find(kSums + F(sumr, 10, 2)), std::string::npos);

  m.C.IPRIT = 1;  // a printed iteration shows stresses on every pass
  out = stress(m, 2);
  EXPECT_NE(out.find("DEPTH"), std::string::npos);
}

TEST(Stress, CurlingRemovesGapsFromTheDisplacementsBeforeTheSearch) {
  Model m = make_model({3}, {3});
  m.C.ICURL = 1;
  m.C.IWINK = 1;
  m.C.ISUBGR = 7;
  for (int n = 1; n <= m.C.NNODE; ++n) {
    m.w.R[3 * (n - 1)] = 0.01;
    m.w.GAPN[n - 1] = 0.001 * n;
  }
  const std::string out = stress(m);
  EXPECT_NE(out.find("DEFLECTIONS MEASURED FROM INITIALLY FLAT SURFACE"), std::string::npos);
  for (int n = 1; n <= m.C.NNODE; ++n) EXPECT_DOUBLE_EQ(m.w.R[3 * (n - 1)], 0.01 - 0.001 * n);
  EXPECT_EQ(m.res.extremes.deflection_max.node, 1);
  EXPECT_DOUBLE_EQ(m.res.extremes.deflection_max.value, 0.009);
}

TEST(Stress, ElasticSolidAndVlasovTables) {
  Model m = make_model({3}, {3});
  m.C.ISUBGR = 8;
  std::string out = stress(m);
  EXPECT_NE(out.find(X(12) + "ELASTIC SOLID SUBGRADE  -   SUBGRADE TYPE = 8"), std::string::npos);
  EXPECT_EQ(out.find("SUBGRADE FORCE"), std::string::npos);
  EXPECT_EQ(out.find("MAXIMUM"), std::string::npos);  // the elastic solid prints its own summary
  EXPECT_NE(out.find("DEPTH"), std::string::npos);

  m.C.ISUBGR = 9;
  m.C.VSHEAR = 10;
  for (int n = 1; n <= m.C.NNODE; ++n) m.w.R[3 * (n - 1)] = 0.01;
  out = stress(m);
  EXPECT_EQ(out.find("ELASTIC SOLID"), std::string::npos);
  EXPECT_NE(out.find("SUBGRADE STRESSES FOR VLASOV SUBGRADE"), std::string::npos);
  EXPECT_NE(out.find("MAXIMUM"), std::string::npos);
  EXPECT_EQ(out.find(kSums), std::string::npos);
  EXPECT_DOUBLE_EQ(m.res.extremes.subgrade_stress_max.value, 1.0);
}

}  // namespace
}  // namespace meridolan::testing
