// Validation against plate theory and against the program's own exact identities.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// Node lines from 0 to `length`: elements of size `fine` up to `fine_to`, then
// growing by a factor 1.2 per element, the last one stretched to end at `length`.
std::vector<double> graded(double fine, double fine_to, double length) {
  std::vector<double> c{0.0};
  double x = 0.0, s = fine;
  while (x + fine <= fine_to + 1e-9) c.push_back(x += fine);
  while (true) {
    s *= 1.2;
    if (x + 1.6 * s >= length) break;
    c.push_back(x += s);
  }
  c.push_back(length);
  return c;
}

// Slab on a dense liquid: E = 4,000,000 psi, h = 8 in, nu = 0.15, k = 200 pci.
constexpr double kE = 4.0e6, kH = 8.0, kNu = 0.15, kK = 200.0;

double radius_of_relative_stiffness() {
  return std::pow(kE * kH * kH * kH / (12.0 * (1.0 - kNu * kNu) * kK), 0.25);
}

struct Interior {
  double w, stress;
};

// Interior load, closed form for a plate on a dense liquid under a uniformly
// loaded circle of radius a (Westergaard, "New formulas for stresses in concrete
// pavements of airfields", ASCE Transactions 113, 1948, eqs. for the interior case):
//   w     = P/(8 k l^2) * {1 + (1/(2 pi)) [ln(a/(2 l)) + gamma - 5/4] (a/l)^2}
//   sigma = 3(1+nu) P/(2 pi h^2) [ln(2 l/a) + 1/2 - gamma] + 3(1+nu) P/(64 h^2) (a/l)^2
// gamma = 0.5772... (Euler). The thin-plate stress formula applies here because
// a > 1.724 h, so no thick-plate radius correction is needed. A square load of side
// c is taken as the circle of equal area, a = c / sqrt(pi).
Interior westergaard(double P, double a) {
  const double l = radius_of_relative_stiffness();
  const double g = std::numbers::egamma;
  const double pi = std::numbers::pi;
  const double ratio = a / l;
  Interior r;
  r.w = P / (8 * kK * l * l) * (1 + (std::log(a / (2 * l)) + g - 1.25) * ratio * ratio / (2 * pi));
  r.stress = 3 * (1 + kNu) * P / (2 * pi * kH * kH) * (std::log(2 * l / a) + 0.5 - g) +
             3 * (1 + kNu) * P / (64 * kH * kH) * ratio * ratio;
  return r;
}

// Quarter model (symmetry about both first node lines) of a square slab 12 radii of
// relative stiffness across, loaded at its centre by a 25 in square carrying 9000 lb.
Interior quarter_model_interior(double fine) {
  const double half = 6.0 * radius_of_relative_stiffness();
  SlabDeck deck;
  deck.isym = 3;
  deck.xc = deck.yc = graded(fine, 25.0, half);
  deck.layers = {Layer{kH, kE, kNu}};
  const double p = 9000.0 / (25.0 * 25.0);
  deck.loads = {Load{p, 0.0, 12.5, 0.0, 12.5}};
  auto r = run_deck(deck.text());
  EXPECT_EQ(r.status, 0) << r.errors;
  auto lines = r.lines();
  auto d = deflections(lines);
  auto s = stresses(lines);
  EXPECT_TRUE(d.count(1) && s.count(1)) << "node 1 printed";
  // Node 1 sits under the load centre; its second stress row is the slab bottom.
  return Interior{d[1].w, s[1].size() > 1 ? -s[1][1][1] : 0.0};
}

TEST(Validation, InteriorLoadMatchesClosedFormAndConverges) {
  const Interior theory = westergaard(9000.0, 25.0 / std::sqrt(std::numbers::pi));
  // Meshes halve the element size under the load; the last is no wider than h/5.
  std::vector<Interior> fe;
  for (double fine : {12.5, 6.25, 3.125, 1.5625}) {
    fe.push_back(quarter_model_interior(fine));
    std::printf(
        "element %7.4f in: w %.6f (theory %.6f, %+.2f %%), bottom stress %.2f (theory %.2f, %+.2f "
        "%%)\n",
        fine, fe.back().w, theory.w, 100 * (fe.back().w / theory.w - 1), fe.back().stress,
        theory.stress, 100 * (fe.back().stress / theory.stress - 1));
  }
  // Convergence: each refinement changes the result less than the one before.
  for (std::size_t i = 2; i < fe.size(); ++i) {
    EXPECT_LT(std::abs(fe[i].w - fe[i - 1].w), std::abs(fe[i - 1].w - fe[i - 2].w)) << i;
    EXPECT_LT(std::abs(fe[i].stress - fe[i - 1].stress),
              std::abs(fe[i - 1].stress - fe[i - 2].stress))
        << i;
  }
  EXPECT_NEAR(fe.back().w / theory.w, 1.0, 0.02);
  EXPECT_NEAR(fe.back().stress / theory.stress, 1.0, 0.05);
}

TEST(Validation, QuarterModelReproducesFullModel) {
  // Full slab 120 x 96 symmetric about x = 60 and y = 48, with a load centred there;
  // the quarter model keeps x >= 60, y >= 48 with the symmetry index 3.
  const std::vector<double> qx{0, 6, 12, 24, 40, 60}, qy{0, 6, 12, 24, 48};
  SlabDeck full, quarter;
  for (auto it = qx.rbegin(); it != qx.rend(); ++it) full.xc.push_back(60 - *it);
  for (std::size_t i = 1; i < qx.size(); ++i) full.xc.push_back(60 + qx[i]);
  for (auto it = qy.rbegin(); it != qy.rend(); ++it) full.yc.push_back(48 - *it);
  for (std::size_t i = 1; i < qy.size(); ++i) full.yc.push_back(48 + qy[i]);
  full.loads = {Load{50.0, 54.0, 66.0, 42.0, 54.0}};
  quarter.xc = qx, quarter.yc = qy, quarter.isym = 3;
  quarter.loads = {Load{50.0, 0.0, 6.0, 0.0, 6.0}};
  auto rf = run_deck(full.text()), rq = run_deck(quarter.text());
  ASSERT_EQ(rf.status, 0);
  ASSERT_EQ(rq.status, 0);
  auto df = deflections(rf.lines()), dq = deflections(rq.lines());
  auto sf = stresses(rf.lines()), sq = stresses(rq.lines());
  const int nyf = int(full.yc.size()), nyq = int(quarter.yc.size());
  const int ix0 = int(qx.size()) - 1, iy0 = int(qy.size()) - 1;  // centre lines, 0-based
  int compared = 0;
  for (int ix = 0; ix < int(qx.size()); ++ix) {
    for (int iy = 0; iy < nyq; ++iy) {
      const int nq = ix * nyq + iy + 1, nf = (ix0 + ix) * nyf + (iy0 + iy) + 1;
      ASSERT_TRUE(dq.count(nq) && df.count(nf));
      EXPECT_NEAR(dq[nq].w, df[nf].w, 2e-6) << nq << " / " << nf;
      EXPECT_NEAR(dq[nq].q, df[nf].q, 2e-3) << nq;
      // Stresses of the bottom row: the free-edge rules agree away from the cut lines.
      if (ix > 0 && iy > 0) {
        for (int k = 1; k <= 5; ++k)
          EXPECT_NEAR(sq[nq][1][k], sf[nf][1][k], 2e-3) << nq << " col " << k;
      }
      ++compared;
    }
  }
  EXPECT_EQ(compared, 30);
}

TEST(Validation, SpringReactionsBalanceTheLoad) {
  SlabDeck deck;
  deck.isubgr = 7;
  deck.xc = {0, 20, 40, 50, 60, 80, 100};
  deck.yc = {0, 15, 30, 40, 50, 65, 80};
  deck.loads = {Load{80.0, 42.0, 58.0, 32.0, 48.0}, Load{40.0, 0.0, 10.0, 0.0, 10.0}};
  auto r = run_deck(deck.text());
  ASSERT_EQ(r.status, 0);
  auto lines = r.lines();
  const double reactions = value_after(lines, "SUM OF REACTION FORCES =");
  const double external = value_after(lines, "SUM OF EXTERNAL FORCES AND SELF-WEIGHT (IF ANY) =");
  EXPECT_DOUBLE_EQ(external, 80.0 * 16 * 16 + 40.0 * 100);
  EXPECT_NEAR(reactions, external, 0.011);  // both printed with two decimals
}

TEST(Validation, LayeredSlabsMatchTheirEquivalentSingleLayer) {
  SlabDeck one, bonded, separate, equivalent;
  for (SlabDeck* d : {&one, &bonded, &separate, &equivalent}) {
    d->xc = {0, 24, 48, 60, 72, 96, 120};
    d->yc = {0, 24, 36, 48, 60, 72, 96};
    d->loads = {Load{75.0, 54.0, 66.0, 42.0, 54.0}};
  }
  one.layers = {Layer{10.0, 4.0e6, 0.15}};
  bonded.layers = {Layer{6.0, 4.0e6, 0.15}, Layer{4.0, 4.0e6, 0.15}};
  bonded.icomp = 1;
  separate.layers = {Layer{6.0, 4.0e6, 0.15}, Layer{4.0, 4.0e6, 0.15}};
  equivalent.layers = {Layer{std::cbrt(6.0 * 6 * 6 + 4.0 * 4 * 4), 4.0e6, 0.15}};
  auto r1 = run_deck(one.text()), rb = run_deck(bonded.text());
  auto rs = run_deck(separate.text()), re = run_deck(equivalent.text());
  for (auto* r : {&r1, &rb, &rs, &re}) ASSERT_EQ(r->status, 0) << r->errors;

  auto d1 = deflections(r1.lines()), db = deflections(rb.lines());
  auto ds = deflections(rs.lines()), de = deflections(re.lines());
  ASSERT_EQ(d1.size(), 49u);
  ASSERT_EQ(db.size(), 49u);
  for (auto& [n, v] : d1) {
    EXPECT_NEAR(db[n].w, v.w, 1.5e-6) << n;
    EXPECT_NEAR(db[n].rx, v.rx, 1.5e-6) << n;
    EXPECT_NEAR(ds[n].w, de[n].w, 1.5e-6) << n;
    EXPECT_NEAR(ds[n].ry, de[n].ry, 1.5e-6) << n;
  }
  // The bonded slab's bottom (fourth row, depth 10) carries the single layer's
  // bottom stresses.
  auto s1 = stresses(r1.lines()), sb = stresses(rb.lines());
  for (auto& [n, rows] : s1) {
    ASSERT_EQ(sb[n].size(), 4u) << n;
    EXPECT_DOUBLE_EQ(sb[n][3][0], 10.0);
    for (int k = 1; k <= 5; ++k) EXPECT_NEAR(sb[n][3][k], rows[1][k], 2e-3) << n << " col " << k;
  }
}

}  // namespace
}  // namespace meridolan
