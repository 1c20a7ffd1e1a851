// Packed Cholesky routines against dense linear algebra on random positive definite
// matrices.
#include "solvers/packed.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "solvers/blas.h"

namespace meridolan {
namespace {

using Dense = std::vector<std::vector<double>>;

// B'B + N I with B uniform in [-1, 1]: symmetric positive definite.
Dense random_spd(int N, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  Dense B(N, std::vector<double>(N));
  for (auto& row : B)
    for (double& v : row) v = u(gen);
  Dense A(N, std::vector<double>(N, 0.0));
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j) {
      for (int k = 0; k < N; ++k) A[i][j] += B[k][i] * B[k][j];
      if (i == j) A[i][j] += N;
    }
  return A;
}

std::vector<double> pack(const Dense& A) {
  const int N = static_cast<int>(A.size());
  std::vector<double> ap;
  for (int j = 0; j < N; ++j)
    for (int i = 0; i <= j; ++i) ap.push_back(A[i][j]);
  return ap;
}

// Gauss-Jordan elimination with partial pivoting on [A | rhs]: returns the solved
// right-hand sides and the determinant.
Dense gauss_jordan(Dense A, Dense rhs, double& det) {
  const int N = static_cast<int>(A.size());
  det = 1.0;
  for (int c = 0; c < N; ++c) {
    int p = c;
    for (int r = c + 1; r < N; ++r)
      if (std::abs(A[r][c]) > std::abs(A[p][c])) p = r;
    if (p != c) {
      std::swap(A[p], A[c]);
      std::swap(rhs[p], rhs[c]);
      det = -det;
    }
    det *= A[c][c];
    for (int r = 0; r < N; ++r) {
      if (r == c) continue;
      const double f = A[r][c] / A[c][c];
      for (int k = 0; k < N; ++k) A[r][k] -= f * A[c][k];
      for (std::size_t k = 0; k < rhs[r].size(); ++k) rhs[r][k] -= f * rhs[c][k];
    }
  }
  for (int r = 0; r < N; ++r)
    for (double& v : rhs[r]) v /= A[r][r];
  return rhs;
}

double max_abs(const Dense& A) {
  double m = 0;
  for (const auto& row : A)
    for (double v : row) m = std::max(m, std::abs(v));
  return m;
}

// True when the BLAS dot product sums its terms in order from the first, as the
// reference BLAS does (an optimised BLAS keeps several partial sums).
bool blas_sums_in_order() {
  std::mt19937 gen(99);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int trial = 0; trial < 20; ++trial) {
    std::vector<double> x(64), y(64);
    for (int i = 0; i < 64; ++i) x[i] = u(gen) * std::pow(10.0, i % 7), y[i] = u(gen);
    const int n = 64, one = 1;
    double s = 0;
    for (int i = 0; i < n; ++i) s += x[i] * y[i];
    if (ddot_(&n, x.data(), &one, y.data(), &one) != s) return false;
  }
  return true;
}

TEST(PackedCholesky, BlockedFactorMatchesColumnByColumnForm) {
  // With a BLAS that sums in order the two forms agree word for word; with any other
  // they agree within rounding.
  const bool exact = blas_sums_in_order();
  // Sizes around the block of columns and the pairs of rows: every remainder path.
  for (int N : {1, 2, 3, 4, 5, 15, 16, 17, 33, 50, 67}) {
    std::vector<double> a = pack(random_spd(N, 7u + N)), b = a;
    ASSERT_EQ(DPPFA(a, N), 0);
    ASSERT_EQ(dppfa_by_columns(b, N), 0);
    for (std::size_t k = 0; k < a.size(); ++k) {
      if (exact)
        EXPECT_EQ(a[k], b[k]) << "N " << N << " word " << k;
      else
        EXPECT_NEAR(a[k], b[k], 1e-13 * std::abs(b[k]) + 1e-300) << "N " << N << " word " << k;
    }
  }
}

// The published solve and inverse, each step a reference BLAS call.
void dppsl_with_blas(const std::vector<double>& ap, int N, std::vector<double>& b) {
  const auto col = [&](int k) { return ap.data() + static_cast<std::size_t>(k) * (k + 1) / 2; };
  for (int k = 0; k < N; ++k) b[k] = (b[k] - blas::ddot(k, col(k), b.data())) / col(k)[k];
  for (int k = N - 1; k >= 0; --k) {
    b[k] /= col(k)[k];
    blas::daxpy(k, -b[k], col(k), b.data());
  }
}

void dppdi_inverse_with_blas(std::vector<double>& ap, int N) {
  const auto col = [&](int k) { return ap.data() + static_cast<std::size_t>(k) * (k + 1) / 2; };
  for (int k = 0; k < N; ++k) {
    col(k)[k] = 1.0 / col(k)[k];
    blas::dscal(k, -col(k)[k], col(k));
    for (int j = k + 1; j < N; ++j) {
      const double t = col(j)[k];
      col(j)[k] = 0.0;
      blas::daxpy(k + 1, t, col(k), col(j));
    }
  }
  for (int j = 0; j < N; ++j) {
    for (int k = 0; k < j; ++k) blas::daxpy(k + 1, col(j)[k], col(j), col(k));
    blas::dscal(j + 1, col(j)[j], col(j));
  }
}

TEST(PackedCholesky, SolveAndInverseMatchThePublishedFormWithTheReferenceBlas) {
  // The program links the reference BLAS itself, whatever the system has chosen.
  ASSERT_TRUE(blas_sums_in_order());
  for (int N : {1, 2, 3, 7, 16, 33, 67}) {
    std::vector<double> f = pack(random_spd(N, 31u + N));
    ASSERT_EQ(DPPFA(f, N), 0);
    std::vector<double> b(N), c;
    for (int i = 0; i < N; ++i) b[i] = std::sin(1.0 + i);
    c = b;
    DPPSL(f, N, b);
    dppsl_with_blas(f, N, c);
    for (int i = 0; i < N; ++i) EXPECT_EQ(b[i], c[i]) << "N " << N << " entry " << i;
    std::vector<double> g = f;
    std::array<double, 2> det{};
    DPPDI(f, N, det, 1);
    dppdi_inverse_with_blas(g, N);
    for (std::size_t k = 0; k < f.size(); ++k) EXPECT_EQ(f[k], g[k]) << "N " << N << " word " << k;
  }
}

TEST(PackedCholesky, FactorReproducesTheMatrix) {
  const int N = 23;
  const Dense A = random_spd(N, 3u);
  std::vector<double> r = pack(A);
  ASSERT_EQ(DPPFA(r, N), 0);
  auto R = [&](int i, int j) { return i <= j ? r[j * (j + 1) / 2 + i] : 0.0; };
  for (int i = 0; i < N; ++i)
    for (int j = i; j < N; ++j) {
      double s = 0;
      for (int k = 0; k <= i; ++k) s += R(k, i) * R(k, j);
      EXPECT_NEAR(s, A[i][j], 1e-12 * max_abs(A));
    }
}

TEST(PackedCholesky, InverseAndDeterminantMatchDenseElimination) {
  for (int N : {3, 12, 40}) {
    const Dense A = random_spd(N, 11u + N);
    Dense I(N, std::vector<double>(N, 0.0));
    for (int i = 0; i < N; ++i) I[i][i] = 1.0;
    double det_dense = 0;
    const Dense inv = gauss_jordan(A, I, det_dense);

    std::vector<double> ap = pack(A);
    ASSERT_EQ(DPPFA(ap, N), 0);
    std::array<double, 2> det{};
    DPPDI(ap, N, det, 11);
    const double scale = max_abs(inv);
    for (int j = 0; j < N; ++j)
      for (int i = 0; i <= j; ++i) EXPECT_NEAR(ap[j * (j + 1) / 2 + i], inv[i][j], 1e-12 * scale);
    EXPECT_GE(det[0], 1.0);
    EXPECT_LT(det[0], 10.0);
    const double log10_det = std::log10(det[0]) + det[1];
    EXPECT_NEAR(log10_det, std::log10(det_dense), 1e-10 * std::abs(log10_det));
  }
}

TEST(PackedCholesky, DeterminantOnlyLeavesTheFactor) {
  const int N = 5;
  std::vector<double> ap = pack(random_spd(N, 5u));
  ASSERT_EQ(DPPFA(ap, N), 0);
  const std::vector<double> factor = ap;
  std::array<double, 2> det{};
  DPPDI(ap, N, det, 10);
  EXPECT_EQ(ap, factor);
  EXPECT_GT(det[1], 0.0);
}

TEST(PackedCholesky, SolveMatchesDenseElimination) {
  const int N = 31;
  const Dense A = random_spd(N, 19u);
  Dense rhs(N, std::vector<double>(1));
  std::vector<double> b(N);
  for (int i = 0; i < N; ++i) b[i] = rhs[i][0] = std::sin(1.0 + i);
  double det = 0;
  const Dense x = gauss_jordan(A, rhs, det);

  std::vector<double> ap = pack(A);
  double rcond = -1;
  std::vector<double> z(N);
  ASSERT_EQ(DPPCO(ap, N, rcond, z), 0);
  DPPSL(ap, N, b);
  for (int i = 0; i < N; ++i) EXPECT_NEAR(b[i], x[i][0], 1e-12);
}

TEST(PackedCholesky, OrderOne) {
  std::vector<double> ap{4.0};
  double rcond = 0;
  std::vector<double> z(1);
  ASSERT_EQ(DPPCO(ap, 1, rcond, z), 0);
  EXPECT_EQ(ap[0], 2.0);
  EXPECT_EQ(rcond, 1.0);
  std::vector<double> b{6.0};
  DPPSL(ap, 1, b);
  EXPECT_EQ(b[0], 1.5);
  std::array<double, 2> det{};
  DPPDI(ap, 1, det, 11);
  EXPECT_EQ(ap[0], 0.25);
  EXPECT_EQ(det[0], 4.0);
  EXPECT_EQ(det[1], 0.0);
}

TEST(PackedCholesky, ConditionEstimateBoundsTheTrueCondition) {
  // The estimate of the norm of the inverse is a lower bound, so the estimated
  // reciprocal condition is at least the true one, and in practice close to it.
  for (int N : {6, 25}) {
    Dense A = random_spd(N, 23u + N);
    for (int i = 0; i < N; ++i) A[i][i] *= 1.0 + 50.0 * i;  // spread the scales
    Dense I(N, std::vector<double>(N, 0.0));
    for (int i = 0; i < N; ++i) I[i][i] = 1.0;
    double det = 0;
    const Dense inv = gauss_jordan(A, I, det);
    auto norm1 = [N](const Dense& M) {
      double m = 0;
      for (int j = 0; j < N; ++j) {
        double s = 0;
        for (int i = 0; i < N; ++i) s += std::abs(M[i][j]);
        m = std::max(m, s);
      }
      return m;
    };
    const double exact = 1.0 / (norm1(A) * norm1(inv));
    std::vector<double> ap = pack(A), z(N);
    double rcond = 0;
    ASSERT_EQ(DPPCO(ap, N, rcond, z), 0);
    EXPECT_GE(rcond, exact * (1 - 1e-12));
    EXPECT_LE(rcond, 10 * exact);
  }
}

TEST(PackedCholesky, StatusNamesTheFirstMinorThatIsNotPositive) {
  // Leading minors 1 and 2 positive, the third negative.
  const Dense A{{4, 2, 0}, {2, 5, 3}, {0, 3, 1}};
  for (auto factor : {&DPPFA, &dppfa_by_columns}) {
    std::vector<double> ap = pack(A);
    EXPECT_EQ(factor(ap, 3), 3);
  }
  std::vector<double> ap = pack(A), z(3);
  double rcond = -7;
  EXPECT_EQ(DPPCO(ap, 3, rcond, z), 3);
  EXPECT_EQ(rcond, -7);  // untouched on failure

  // A non-finite entry fails too, where a test for s <= 0 alone would pass NaN on.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> bad{1.0, 0.5, nan};
  EXPECT_EQ(DPPFA(bad, 2), 2);
  std::vector<double> inf{std::numeric_limits<double>::infinity()};
  EXPECT_EQ(DPPFA(inf, 1), 1);
  std::vector<double> zero{0.0};
  EXPECT_EQ(DPPFA(zero, 1), 1);
}

}  // namespace
}  // namespace meridolan
