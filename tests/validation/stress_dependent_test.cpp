// Stress-dependent subgrade: the iteration against the soil curves it follows.
#include <gtest/gtest.h>

#include <cmath>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// Built-in soil classes 1 and 3, as single-precision constants:
// CEXP, REXP, XLIN, SLOPE, KLIN, DY.
constexpr float kClass1[6] = {15.0f, 0.8f, 0.168f, 0.62f, 11.9f, 0.04f};
constexpr float kClass3[6] = {7.0f, 3.74f, 0.0377f, 28.1f, 53.1f, 0.0734f};

// Secant of the pressure-deflection curve at deflection w.
double secant(const float* c, double w) {
  const double x = w / c[5], past = x - c[2];
  if (past <= 0) return double(c[4]) / c[5];
  return (2.0 + c[0] * (1 - std::exp(-c[1] * past)) + c[3] * past) / w;
}

// A 120 in square 9 x 9 node slab on a stress-dependent subgrade.
SlabDeck soil_slab(int isubgr, double h, double p, int iprit) {
  SlabDeck d;
  for (int i = 0; i < 9; ++i) d.xc.push_back(15.0 * i), d.yc.push_back(15.0 * i);
  d.layers = {Layer{h, 4.0e6, 0.15}};
  d.loads = {{p, 52.5, 67.5, 52.5, 67.5}};
  d.isubgr = isubgr, d.k = 100.0, d.maxit = 20, d.tol1 = 0.01, d.iprit = iprit;
  return d;
}

// Lines from the last one holding `text` on.
std::vector<std::string> from_last(const std::vector<std::string>& lines, const std::string& text) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) at = i;
  return {lines.begin() + at, lines.end()};
}

int count(const RunResult& r, const std::string& text) {
  int n = 0;
  for (const std::string& l : r.lines()) n += l.find(text) != std::string::npos;
  return n;
}

const std::string kDefl = "DEFLECTION     X-ROTATION", kStress = "DEPTH      X-STRESS";
const std::string kRatio = "RATIO OF NO. OF PTS OFF TOL1";

TEST(StressDependent, LightLoadConvergesToTheDenseLiquidOfTheLinearModulus) {
  const RunResult r = run_deck(soil_slab(1, 8.0, 10.0, 0).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  // Pass 1 on k = 100, every node moves to 297.4999971; pass 2 keeps them all.
  EXPECT_EQ(count(r, "I T E R A T I O N   N O."), 3);
  EXPECT_EQ(value_after(from_last(r.lines(), kRatio), "NODES="), 0.0);
  EXPECT_EQ(count(r, kDefl), 2);
  // IPRIT = 0: stresses only in the final print, after the last ratio line.
  EXPECT_EQ(count(r, kStress), 1);
  EXPECT_EQ(from_last(r.lines(), kStress).size(), from_last(r.lines(), kRatio).size() - 2);

  SlabDeck dense = soil_slab(5, 8.0, 10.0, 0);
  dense.k = 297.4999971, dense.maxit = 1;
  std::string text = dense.text();
  text.replace(text.find(fmt_f(dense.k)), 10, "297.499997");
  const RunResult d = run_deck(text);
  const auto want = deflections(d.lines());
  const auto got = deflections(from_last(r.lines(), kDefl));
  ASSERT_EQ(got.size(), 81u);
  for (const auto& [n, v] : want) {
    EXPECT_NEAR(got.at(n).w, v.w, 1e-6) << n;
    EXPECT_NEAR(got.at(n).rx, v.rx, 1e-6) << n;
    EXPECT_NEAR(got.at(n).ry, v.ry, 1e-6) << n;
  }
  EXPECT_EQ(stresses(from_last(r.lines(), kStress)), stresses(from_last(d.lines(), kStress)));
}

TEST(StressDependent, TwoSoilsConvergeToTheSecantOfEachNodesOwnClass) {
  // Class 1 under the first five node lines, class 3 under the last four; a heavy
  // load on the boundary between them takes both far past their linear ranges.
  SlabDeck d = soil_slab(0, 5.0, 150.0, 1);
  for (int n = 0; n < 81; ++n) d.isoil.push_back(n / 9 < 5 ? 1 : 3);
  const RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  ASSERT_EQ(value_after(from_last(r.lines(), kRatio), "NODES="), 0.0);  // TOL2 = 0

  const auto lines = r.lines();
  const auto w = deflections(from_last({lines.begin(), lines.end() - 1}, kDefl));
  int nonlinear[2] = {0, 0};
  std::vector<double> v;
  for (const std::string& l : from_last(lines, "NEW SUBGR.MOD.K*")) {
    if (!numbers(l, v) || v.size() != 5) continue;
    const int n = int(v[0]);
    const float* c = n <= 45 ? kClass1 : kClass3;
    EXPECT_NEAR(v[1] * c[5], w.at(n).w, 5e-7 + 5e-6 * c[5]) << n;  // the printed deflection
    EXPECT_NEAR(v[2], secant(c, w.at(n).w), 2e-4 * v[2] + 5e-6) << n;
    EXPECT_GE(v[3], 1 - d.tol1) << n;
    EXPECT_LE(v[3], 1 + d.tol1) << n;
    nonlinear[n > 45] += std::abs(v[2] * c[5] / c[4] - 1) > 0.01;
  }
  EXPECT_GT(nonlinear[0], 3);
  EXPECT_GT(nonlinear[1], 3);
}

TEST(StressDependent, PassLimitReachedEndsAfterThatPassesPrint) {
  SlabDeck d = soil_slab(2, 5.0, 150.0, 0);
  d.maxit = 2;
  const RunResult r = run_deck(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_EQ(count(r, "I T E R A T I O N   N O."), 2);
  EXPECT_EQ(count(r, kRatio), 1);
  EXPECT_GT(value_after(r.lines(), "NODES="), 0.0);
  EXPECT_EQ(count(r, kDefl), 2);
  EXPECT_EQ(count(r, kStress), 1);  // pass 2 = MAXIT
  const auto tail = from_last(r.lines(), "SUM OF EXTERNAL FORCES");
  ASSERT_EQ(tail.size(), 3u);  // the summary's last line, the stop line, its line end
  EXPECT_EQ(tail[1], "Stop - Program terminated.");
}

}  // namespace
}  // namespace meridolan
