// Support terms: closed-form tables against exact integrals of the shape functions,
// and the choice of terms by subgrade type and analysis kind.
#include "model/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "model/shape_poly.h"

namespace meridolan {
namespace {

using testing::Poly;
using Words = std::array<double, 90>;

// Exact block-triangle words of a*b * integral of f(Ni, Nj) over the element.
template <class F>
Words integrate(double a, double b, F f) {
  const auto N = testing::shapes(a, b);
  Words w{};
  for (int k = 0; k < 90; ++k) {
    const auto rc = testing::wordRC(k);
    if (rc[0] >= 0) w[k] = a * b * testing::integral(f(N[rc[0]], N[rc[1]]));
  }
  return w;
}

void expectWords(const Words& got, const Words& want, double rel) {
  double big = 0;
  for (double v : want) big = std::max(big, std::abs(v));
  for (int k = 0; k < 90; ++k) EXPECT_NEAR(got[k], want[k], rel * big) << "word " << k + 1;
}

constexpr std::array<double, 4> kOnes = {1, 1, 1, 1};

TEST(Support, ConsistentMatrixIsTheIntegralOfNtN) {
  for (const auto& [a, b] : {std::array<double, 2>{1, 1}, {2.5, 0.8}, {6, 11}}) {
    const double k = 137.0;
    Words EK{};
    FOUND(a, b, a * b * k / 44100.0, kOnes, EK);
    expectWords(EK, integrate(a, b, [&](const Poly& p, const Poly& q) { return k * (p * q); }),
                1e-13);
    // The sixteen deflection entries of the full matrix sum to k times the area.
    constexpr int wdiag[4] = {0, 36, 63, 81};
    constexpr int woff[6] = {9, 18, 27, 45, 54, 72};
    double s = 0;
    for (int d : wdiag) s += EK[d];
    for (int o : woff) s += 2 * EK[o];
    EXPECT_NEAR(s, k * 4 * a * b, 1e-12 * k * a * b);
  }
  Words unit{};
  FOUND(1, 1, 1.0, kOnes, unit);  // a = b = 1, k = 44100
  EXPECT_EQ(unit[0], 24178.0);
}

TEST(Support, VlasovShearIsTheIntegralOfTheGradients) {
  for (const auto& [a, b] : {std::array<double, 2>{1, 1}, {2.5, 0.8}, {6, 11}}) {
    const double V = 850.0;
    Words EK{};
    VLASOV(a, b, V, EK);
    const auto grad = [&](const Poly& p, const Poly& q) {
      return (V / (a * a)) * (testing::dxi(p) * testing::dxi(q)) +
             (V / (b * b)) * (testing::deta(p) * testing::deta(q));
    };
    expectWords(EK, integrate(a, b, grad), 1e-13);
  }
}

TEST(Support, LumpedSpringsOnTheCornerDiagonals) {
  Words EK{};
  LUMP(2, 3, {10, 20, 30, 40}, {true, false, true, true}, EK);
  EXPECT_EQ(EK[0], 60.0);
  EXPECT_EQ(EK[36], 0.0);
  EXPECT_EQ(EK[63], 180.0);
  EXPECT_EQ(EK[81], 240.0);
  EXPECT_EQ(std::count(EK.begin(), EK.end(), 0.0), 87);
}

struct Element {
  Control C;
  std::array<int, 4> nodes = {1, 2, 4, 5};
  std::array<double, 9> SKN = {100, 200, 0, 300, 400, 0, 0, 0, 0};
  std::array<int, 9> ICON{};
  Words run(double a = 1.5, double b = 2.5) {
    Words EK{};
    SUPPORT(C, nodes, a, b, SKN, ICON, EK);
    return EK;
  }
};

TEST(Support, LoadAnalysisUsesTheMeanModulus) {
  Element e;
  const double a = 1.5, b = 2.5, kbar = 250.0;
  Words found{}, vlasov{};
  FOUND(a, b, a * b * kbar / 44100.0, kOnes, found);
  vlasov = found;
  VLASOV(a, b, 75.0, vlasov);

  for (int type : {0, 3, 4, 5, 6}) {
    e.C.ISUBGR = type;
    expectWords(e.run(), found, 0);
  }
  e.C.ISUBGR = 9;
  e.C.VSHEAR = 0;
  expectWords(e.run(), found, 0);
  e.C.VSHEAR = 75;
  expectWords(e.run(), vlasov, 0);

  e.C.ISUBGR = 7;
  const Words springs = e.run();
  for (int d : {0, 36, 63, 81}) EXPECT_EQ(springs[d], a * b * kbar);
  e.C.ISUBGR = 8;
  const Words none = e.run();
  EXPECT_TRUE(std::all_of(none.begin(), none.end(), [](double v) { return v == 0.0; }));
}

TEST(Support, CurlingAnalysisUsesNodalModuliAndContact) {
  Element e;
  e.C.ICURL = 1;
  const double a = 1.5, b = 2.5;

  // Springs: none at a node out of contact, the node's own modulus elsewhere.
  e.C.ISUBGR = 7;
  e.ICON[3] = 1;  // node 4 = local corner 3
  const Words s = e.run();
  EXPECT_EQ(s[0], a * b * 100);
  EXPECT_EQ(s[36], a * b * 200);
  EXPECT_EQ(s[63], 0.0);
  EXPECT_EQ(s[81], a * b * 400);

  // Consistent matrix: every block takes the modulus of its higher node.
  e.C.ISUBGR = 6;
  e.SKN[1] = 0;  // local corner 2
  const Words c = e.run();
  const double kJ[4] = {100, 0, 300, 400};
  constexpr int col[10] = {0, 1, 2, 3, 1, 2, 3, 2, 3, 3};
  for (int blk = 0; blk < 10; ++blk) {
    Words ref{};
    FOUND(a, b, a * b * kJ[col[blk]] / 44100.0, kOnes, ref);
    for (int w = 9 * blk; w < 9 * blk + 9; ++w)
      EXPECT_NEAR(c[w], ref[w], 1e-12 * std::abs(ref[0]) + 1e-300) << "word " << w + 1;
  }
  EXPECT_TRUE(std::all_of(c.begin() + 9, c.begin() + 18, [](double v) { return v == 0.0; }));
  EXPECT_TRUE(std::all_of(c.begin() + 36, c.begin() + 45, [](double v) { return v == 0.0; }));

  // Any other type gets nothing here.
  for (int type : {0, 5, 8, 9}) {
    e.C.ISUBGR = type;
    e.C.VSHEAR = 75;
    const Words n = e.run();
    EXPECT_TRUE(std::all_of(n.begin(), n.end(), [](double v) { return v == 0.0; })) << type;
  }
}

}  // namespace
}  // namespace meridolan
