// Band solver: against a dense solve, repeated solutions, and singular systems.
#include "solvers/band.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "solvers/band_isa.h"
#include "solvers/slab_model.h"

namespace meridolan {
namespace {

using testing::lines;
using testing::makeSlab;
using testing::SlabModel;

// Dense symmetric matrix of a band store.
std::vector<double> dense(const SlabModel& m) {
  const int n = m.C.NEQ;
  std::vector<double> K(n * n, 0.0);
  for (int r = 1; r <= n; ++r)
    for (int c = r; c < r + m.C.MBAND && c <= n; ++c)
      K[(r - 1) * n + c - 1] = K[(c - 1) * n + r - 1] = m.SK[m.word(r, c)];
  return K;
}

// Gaussian elimination with partial pivoting.
std::vector<double> denseSolve(std::vector<double> K, std::vector<double> f) {
  const int n = static_cast<int>(f.size());
  for (int i = 0; i < n; ++i) {
    int p = i;
    for (int r = i + 1; r < n; ++r)
      if (std::abs(K[r * n + i]) > std::abs(K[p * n + i])) p = r;
    for (int c = 0; c < n; ++c) std::swap(K[i * n + c], K[p * n + c]);
    std::swap(f[i], f[p]);
    for (int r = i + 1; r < n; ++r) {
      const double l = K[r * n + i] / K[i * n + i];
      for (int c = i; c < n; ++c) K[r * n + c] -= l * K[i * n + c];
      f[r] -= l * f[i];
    }
  }
  for (int i = n - 1; i >= 0; --i) {
    for (int c = i + 1; c < n; ++c) f[i] -= K[i * n + c] * f[c];
    f[i] /= K[i * n + i];
  }
  return f;
}

std::vector<double> randomLoad(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1000.0, 1000.0);
  std::vector<double> f(n);
  for (double& v : f) v = u(gen);
  return f;
}

void expectClose(const std::vector<double>& got, const std::vector<double>& want, double rel) {
  double big = 0;
  for (double v : want) big = std::max(big, std::abs(v));
  for (std::size_t i = 0; i < want.size(); ++i)
    EXPECT_NEAR(got[i], want[i], rel * big) << "equation " << i + 1;
}

// Reduces, solves one load and compares with the dense solve of the same matrix.
void checkAgainstDense(SlabModel& m, unsigned seed, double rel) {
  const auto K = dense(m);
  const auto f = randomLoad(m.C.NEQ, seed);
  ASSERT_EQ(UPTRI(m.band()), 0);
  std::vector<double> R = f;
  DISP(m.band(), R);
  expectClose(R, denseSolve(K, f), rel);
}

TEST(Band, TwoByTwoNodesEqualsDenseSolve) {
  // NEQ = 12, MBAND = 12: every row reaches the end of the matrix.
  auto m = makeSlab({0, 20}, {0, 15}, 9, 4e6, 0.15, 150);
  EXPECT_EQ(m.C.NEQ, 12);
  EXPECT_EQ(m.C.MBAND, 12);
  m.assemble();
  checkAgainstDense(m, 1, 1e-10);
  // Words past the last column were divided too and are still zero.
  for (int r = 2; r <= 12; ++r)
    for (int c = 13; c < r + 12; ++c) EXPECT_EQ(m.SK[m.word(r, c)], 0.0);
}

TEST(Band, RealisticBandEqualsDenseSolve) {
  // Uneven spacing, springs on a stiff slab, with symmetry penalties on one line.
  auto m =
      makeSlab({0, 10, 25, 40, 48, 60, 75, 90, 100}, {0, 12, 20, 36, 50, 60}, 10, 4e6, 0.15, 200);
  m.assemble();
  checkAgainstDense(m, 2, 1e-9);

  auto v = makeSlab(lines(7, 12), lines(5, 9), 8, 5e6, 0.2, 80, 9);
  v.C.VSHEAR = 1500;
  v.assemble();
  checkAgainstDense(v, 3, 1e-9);
}

TEST(Band, OneReductionServesManyLoads) {
  auto m = makeSlab(lines(6, 10), lines(5, 12), 10, 4e6, 0.15, 100);
  m.assemble();
  const auto K = dense(m);
  // Garbage in SKR on entry must not matter.
  std::fill(m.SKR.begin(), m.SKR.end(), std::numeric_limits<double>::quiet_NaN());
  ASSERT_EQ(UPTRI(m.band()), 0);
  const auto f1 = randomLoad(m.C.NEQ, 4), f2 = randomLoad(m.C.NEQ, 5);
  std::vector<double> r1 = f1, r1again = f1, r2 = f2;
  DISP(m.band(), r1);
  DISP(m.band(), r1again);
  DISP(m.band(), r2);
  EXPECT_EQ(r1, r1again);
  expectClose(r1, denseSolve(K, f1), 1e-10);
  expectClose(r2, denseSolve(K, f2), 1e-10);
}

TEST(Band, SingularSystemsAreReported) {
  // A slab with no support anywhere: three rigid-body motions.
  for (const auto& [nx, ny, d] : {std::array<double, 3>{6, 5, 24}, {13, 16, 12}, {40, 40, 5}}) {
    auto m = makeSlab(lines(nx, d), lines(ny, d), 10, 4e6, 0.15, 0.0);
    m.assemble();
    const int eq = UPTRI(m.band());
    EXPECT_GT(eq, 0) << nx << " x " << ny;
    EXPECT_LE(eq, m.C.NEQ);
  }
  // A zero or non-finite diagonal is reported at its own equation.
  auto z = makeSlab(lines(3, 10), lines(3, 10), 10, 4e6, 0.15, 100);
  EXPECT_EQ(UPTRI(z.band()), 1);  // nothing assembled
  z.assemble();
  z.SK[z.word(7, 7)] = std::numeric_limits<double>::infinity();
  EXPECT_EQ(UPTRI(z.band()), 7);
}

TEST(Band, VerySoftSupportIsStillSolved) {
  // 10-inch concrete on k = 1: small last pivots that still carry the answer.
  for (const auto& [nx, ny, d] : {std::array<double, 3>{13, 16, 12}, {40, 40, 5}}) {
    auto m = makeSlab(lines(nx, d), lines(ny, d), 10, 4e6, 0.15, 1.0);
    m.assemble();
    ASSERT_EQ(UPTRI(m.band()), 0) << nx << " x " << ny;
    // A uniform pressure p on the whole slab (consistent loads of each element:
    // corner forces p*a*b, edge moments) sinks it by p/k everywhere.
    std::fill(m.R.begin(), m.R.end(), 0.0);
    const double p = 2.0, a = d / 2, pab = p * a * a;
    const int nyt = static_cast<int>(ny);
    constexpr double xs[4] = {-1, -1, 1, 1}, ys[4] = {-1, 1, -1, 1};
    for (int ix = 1; ix < nx; ++ix)
      for (int iy = 1; iy < ny; ++iy) {
        const int n1 = (ix - 1) * nyt + iy;
        const int nodes[4] = {n1, n1 + 1, n1 + nyt, n1 + nyt + 1};
        for (int c = 0; c < 4; ++c) {
          m.R[3 * nodes[c] - 3] += pab;
          m.R[3 * nodes[c] - 2] += ys[c] * pab * a / 3;
          m.R[3 * nodes[c] - 1] -= xs[c] * pab * a / 3;
        }
      }
    DISP(m.band(), m.R);
    for (int n = 1; n <= m.C.NNODE; ++n) {
      EXPECT_NEAR(m.R[3 * n - 3], p, 1e-6 * p) << n;
      EXPECT_NEAR(m.R[3 * n - 2], 0.0, 1e-6 * p / d) << n;
      EXPECT_NEAR(m.R[3 * n - 1], 0.0, 1e-6 * p / d) << n;
    }
  }
}

// The elimination written plainly, one pivot at a time over the rows below it; the
// first `pivots` equations only, when given.
void plainReduction(int MBAND, int NEQ, std::vector<double>& SKR, std::vector<double>& SK,
                    int pivots = -1) {
  const int M = MBAND - 1;
  for (int i = 0; i < (pivots < 0 ? NEQ : pivots); ++i) {
    const int m = std::min(M, NEQ - 1 - i);
    for (int c = 0; c <= m; ++c) SKR[i * MBAND + c] = SK[i * MBAND + c];
    for (int c = 1; c <= M; ++c) SK[i * MBAND + c] /= SK[i * MBAND];
    for (int j = 1; j <= m; ++j)
      for (int t = 0; t <= m - j; ++t)
        SK[(i + j) * MBAND + t] -= SKR[i * MBAND + j] * SK[i * MBAND + j + t];
  }
}

TEST(Band, BlocksOfRowsAndEveryInstructionSetGiveThePlainEliminationsBits) {
  // Several band widths and lengths: blocks of rows end inside and at the end of the
  // band, and the equation count leaves 0 to 3 rows after the last block.
  for (const auto& [nx, ny] :
       {std::array<int, 2>{2, 2}, {5, 3}, {9, 4}, {17, 11}, {23, 7}, {6, 5}, {7, 6}}) {
    auto m = makeSlab(lines(nx, 7.5), lines(ny, 6.0), 9, 4e6, 0.15, 150);
    m.assemble();
    const std::vector<double> assembled = m.SK;
    std::vector<double> plainK = assembled, plainR(assembled.size(), 0.0);
    plainReduction(m.C.MBAND, m.C.NEQ, plainR, plainK);
    const auto f = randomLoad(m.C.NEQ, 7);
    for (BandIsa isa : {BandIsa::Baseline, BandIsa::Avx2, BandIsa::Avx512}) {
      if (!isa_supported(isa)) continue;
      std::vector<double> K = assembled, KR(assembled.size(), 0.0), R = f;
      ASSERT_EQ(UPTRI_ISA(isa, {.MBAND = m.C.MBAND, .NEQ = m.C.NEQ, .SK = K, .SKR = KR}), 0);
      EXPECT_EQ(K, plainK) << nx << " x " << ny << " isa " << int(isa);
      EXPECT_EQ(KR, plainR) << nx << " x " << ny << " isa " << int(isa);
      std::vector<double> Rb = f;
      DISP_ISA(BandIsa::Baseline, {.MBAND = m.C.MBAND, .NEQ = m.C.NEQ, .SK = K, .SKR = KR}, Rb);
      DISP_ISA(isa, {.MBAND = m.C.MBAND, .NEQ = m.C.NEQ, .SK = K, .SKR = KR}, R);
      EXPECT_EQ(R, Rb) << nx << " x " << ny << " isa " << int(isa);
    }
  }
}

TEST(Band, AFailingPivotIsFoundWhereverItFallsInABlockOfRows) {
  // 7 x 6 nodes: NEQ = 126, two rows after the last block of four. Each equation in
  // turn is made indefinite; every path must stop at it, leaving its reduced pivot
  // (for the message) exactly as the plain elimination has it.
  auto m = makeSlab(lines(7, 7.5), lines(6, 6.0), 9, 4e6, 0.15, 150);
  m.assemble();
  const int n = m.C.NEQ, mb = m.C.MBAND;
  ASSERT_EQ(n % 4, 2);
  for (int e : {1, 2, 3, 4, 5, 8, 11, 61, 62, 123, 124, 125, 126}) {
    std::vector<double> assembled = m.SK;
    assembled[m.word(e, e)] = -1.0;
    std::vector<double> plainK = assembled, plainR(assembled.size(), 0.0);
    plainReduction(mb, n, plainR, plainK, e - 1);
    for (BandIsa isa : {BandIsa::Baseline, BandIsa::Avx2, BandIsa::Avx512}) {
      if (!isa_supported(isa)) continue;
      std::vector<double> K = assembled, KR(assembled.size(), 0.0);
      EXPECT_EQ(UPTRI_ISA(isa, {.MBAND = mb, .NEQ = n, .SK = K, .SKR = KR}), e)
          << "isa " << int(isa);
      EXPECT_EQ(K[m.word(e, e)], plainK[m.word(e, e)]) << e << " isa " << int(isa);
    }
  }
}

TEST(Band, ANonFiniteCoefficientStopsEveryPathAtTheSameEquation) {
  // An infinite or NaN coefficient at places along the band: each path stops where
  // the plain elimination (the baseline path) stops, with the same pivot word, bit for
  // bit, although the blocks of rows also multiply coefficients by +0 where a pivot
  // does not reach.
  auto m = makeSlab(lines(7, 7.5), lines(6, 6.0), 9, 4e6, 0.15, 150);
  m.assemble();
  const int n = m.C.NEQ, mb = m.C.MBAND;
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::array<int, 2>> places = {
      {1, 2},     {3, 20},    {5, 5 + mb - 1}, {9, 12},  {40, 40 + mb - 2}, {60, 61},
      {101, 103}, {124, 126}, {7, 7},          {62, 62}, {126, 126}};
  for (const auto& [r, c] : places) {
    for (double bad : {inf, -inf, nan}) {
      std::vector<double> assembled = m.SK;
      assembled[m.word(r, c)] = bad;
      std::vector<double> K0 = assembled, KR0(assembled.size(), 0.0);
      const int stop = UPTRI_ISA(BandIsa::Baseline, {.MBAND = mb, .NEQ = n, .SK = K0, .SKR = KR0});
      ASSERT_GT(stop, 0) << r << "," << c;
      for (BandIsa isa : {BandIsa::Avx2, BandIsa::Avx512}) {
        if (!isa_supported(isa)) continue;
        std::vector<double> K = assembled, KR(assembled.size(), 0.0);
        EXPECT_EQ(UPTRI_ISA(isa, {.MBAND = mb, .NEQ = n, .SK = K, .SKR = KR}), stop)
            << r << "," << c << " " << bad;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(K[m.word(stop, stop)]),
                  std::bit_cast<std::uint64_t>(K0[m.word(stop, stop)]))
            << r << "," << c << " " << bad;
      }
    }
  }
}

TEST(Band, NegativePivotsAreRefused) {
  // An indefinite matrix whose first pivots are fine: the third turns negative.
  auto m = makeSlab(lines(3, 10), lines(3, 10), 10, 4e6, 0.15, 100);
  m.assemble();
  m.SK[m.word(3, 3)] = -1.0;
  EXPECT_EQ(UPTRI(m.band()), 3);
  EXPECT_LT(m.SK[m.word(3, 3)], 0.0);  // the failing pivot is left for the message
}

}  // namespace
}  // namespace meridolan
