// Cholesky factorisation of a packed symmetric positive definite matrix.
//
// Column j of the factor is the solution of R'x = A(1:j-1, j) followed by the
// diagonal sqrt(A(j,j) - x'x). Entry R(k, j) = (A(k, j) - R(1:k-1, k)'R(1:k-1, j)) /
// R(k, k). DPPFA computes exactly these dot products, each summed from the first term
// to the last as the reference BLAS does, but a block of columns at a time: every
// earlier column k is then read once per block instead of once per column, and the
// sums of two rows and sixteen columns run side by side, four to a vector. The result
// is the one of the column-by-column form with the reference BLAS, word for word.
#include <algorithm>
#include <cmath>
#include <vector>

#include "base/widest.h"
#include "solvers/blas.h"
#include "solvers/level1.h"
#include "solvers/packed.h"
#include "solvers/packed_index.h"

namespace meridolan {
namespace {

using packed::col;

constexpr int kBlock = 16;  // columns factored together; they stay in the L2 cache

// A pivot square that is not a positive finite number ends the factorisation.
bool bad_pivot(double s) {
  return !(s > 0.0) || !std::isfinite(s);
}

using level1::dot_in_order;

// Entry (k, j) of the factor from column j (rows 0..k-1 already factored).
inline void one_entry(double* ap, int k, double* cj, double& ssq) {
  const double* ck = ap + col(k);
  const double t = (cj[k] - dot_in_order(k, ck, cj)) / ck[k];
  cj[k] = t;
  ssq += t * t;
}

// The sums of rows k and k+1 of the factor against the block columns over rows
// 0..k-1, in order: sa[q] = R(0:k-1, k)'R(0:k-1, j0+q), sb likewise for row k+1. A
// function of its own, so that its eight sums have the vector registers to
// themselves (inlined, GCC kept most of them on the stack).
MERIDOLAN_WIDEST [[gnu::noinline]] void row_pair_sums(const double* a, const double* b,
                                                      const double* X, int k, double* sa,
                                                      double* sb) {
  typedef double V __attribute__((vector_size(32)));
  typedef double Vu __attribute__((vector_size(32), aligned(8), may_alias));
  V a0 = {}, a1 = {}, a2 = {}, a3 = {}, b0 = {}, b1 = {}, b2 = {}, b3 = {};
  for (int i = 0; i < k; ++i) {
    const Vu* x = reinterpret_cast<const Vu*>(X + i * kBlock);
    const double ai = a[i], bi = b[i];
    const V x0 = x[0], x1 = x[1], x2 = x[2], x3 = x[3];
    a0 += ai * x0;
    a1 += ai * x1;
    a2 += ai * x2;
    a3 += ai * x3;
    b0 += bi * x0;
    b1 += bi * x1;
    b2 += bi * x2;
    b3 += bi * x3;
  }
  Vu* ra = reinterpret_cast<Vu*>(sa);
  Vu* rb = reinterpret_cast<Vu*>(sb);
  ra[0] = a0, ra[1] = a1, ra[2] = a2, ra[3] = a3;
  rb[0] = b0, rb[1] = b1, rb[2] = b2, rb[3] = b3;
}

#if !defined(MERIDOLAN_BASELINE_ONLY) && !defined(__clang__)
#define MERIDOLAN_ROW_QUADS 1
// The same for four rows k..k+3 at once, with AVX-512's 32 registers: two 8-wide
// vectors per row, so each group of columns is loaded once for four rows.
[[gnu::target("avx512f"), gnu::noinline]] void row_quad_sums(const double* const* rows,
                                                             const double* X, int k, double* s) {
  typedef double W __attribute__((vector_size(64)));
  typedef double Wu __attribute__((vector_size(64), aligned(8), may_alias));
  const double *a = rows[0], *b = rows[1], *c = rows[2], *d = rows[3];
  W a0 = {}, a1 = {}, b0 = {}, b1 = {}, c0 = {}, c1 = {}, d0 = {}, d1 = {};
  for (int i = 0; i < k; ++i) {
    const Wu* x = reinterpret_cast<const Wu*>(X + i * kBlock);
    const W x0 = x[0], x1 = x[1];
    const double ai = a[i], bi = b[i], ci = c[i], di = d[i];
    a0 += ai * x0;
    a1 += ai * x1;
    b0 += bi * x0;
    b1 += bi * x1;
    c0 += ci * x0;
    c1 += ci * x1;
    d0 += di * x0;
    d1 += di * x1;
  }
  Wu* r = reinterpret_cast<Wu*>(s);
  r[0] = a0, r[1] = a1, r[2] = b0, r[3] = b1, r[4] = c0, r[5] = c1, r[6] = d0, r[7] = d1;
}

bool has_avx512() {
  static const bool yes = __builtin_cpu_supports("avx512f");
  return yes;
}
#endif

// Rows 0..j0-1 of the block columns j0..j1-1. Column k of the factor is dotted with
// every block column at once: the block's finished rows are kept transposed in X
// (X[i*kBlock + q] = R(i, j0+q)), so that one vector holds the sums of four columns,
// each lane still adding its terms from the first to the last. Two rows are taken
// together, sixteen sums in registers; row k+1 takes the term of row k last, as its
// sum in order would.
MERIDOLAN_WIDEST void rows_above_block(double* ap, int j0, int j1, double* ssq, double* X) {
  typedef double V __attribute__((vector_size(32)));
  typedef double Vu __attribute__((vector_size(32), aligned(8), may_alias));  // in X
  constexpr int NV = kBlock / 4;
  static_assert(NV == 4, "the sums of a row are four vectors");
  const int nb = j1 - j0;
  // Column values of row k of the block (zero beyond the block's last column).
  const auto row_of_A = [&](int k, V(&c)[NV]) {
    for (int v = 0; v < NV; ++v)
      for (int l = 0; l < 4; ++l) {
        const int q = 4 * v + l;
        c[v][l] = q < nb ? ap[col(j0 + q) + k] : 0.0;
      }
  };
  // The sums of squares stay in memory: in registers they would crowd the sums of
  // the inner loop (sixteen vector registers without AVX-512's wider file).
  alignas(32) double sqm[kBlock] = {};
  Vu* sq = reinterpret_cast<Vu*>(sqm);
  static_assert(kBlock % 4 == 0, "j0, a multiple of kBlock, holds whole groups of rows");
  // Rows k..k+R-1 from their sums over rows 0..k-1 (S, R x kBlock): row k+r then
  // takes the terms of rows k..k+r-1 in order, as its sum in order would.
  const auto finish = [&](int k, int R, const double* S) {
    for (int r = 0; r < R; ++r) {
      const double* ck = ap + col(k + r);
      V sr[NV], cr[NV] = {};
      for (int v = 0; v < NV; ++v) sr[v] = reinterpret_cast<const Vu*>(S + r * kBlock)[v];
      for (int p = 0; p < r; ++p) {
        const Vu* tp = reinterpret_cast<const Vu*>(X + (k + p) * kBlock);
        for (int v = 0; v < NV; ++v) sr[v] += ck[k + p] * tp[v];
      }
      row_of_A(k + r, cr);
      Vu* xr = reinterpret_cast<Vu*>(X + (k + r) * kBlock);
      for (int v = 0; v < NV; ++v) {
        const V t = (cr[v] - sr[v]) / ck[k + r];
        xr[v] = t;
        sq[v] += t * t;
      }
    }
  };
  alignas(64) double S[4 * kBlock];
  int k = 0;
#ifdef MERIDOLAN_ROW_QUADS
  if (has_avx512())
    for (; k < j0; k += 4) {
      const double* rows[4] = {ap + col(k), ap + col(k + 1), ap + col(k + 2), ap + col(k + 3)};
      row_quad_sums(rows, X, k, S);
      finish(k, 4, S);
    }
#endif
  for (; k < j0; k += 2) {
    row_pair_sums(ap + col(k), ap + col(k + 1), X, k, S, S + kBlock);
    finish(k, 2, S);
  }
  // The finished rows back into the packed columns.
  for (int q = 0; q < nb; ++q) {
    double* cq = ap + col(j0 + q);
    for (int i = 0; i < j0; ++i) cq[i] = X[i * kBlock + q];
    ssq[q] = sqm[q];
  }
}

}  // namespace

int DPPFA(std::span<double> AP, int N) {
  double* const ap = AP.data();
  // The block's rows above it, transposed.
  std::vector<double> X(static_cast<std::size_t>(N) * kBlock);
  for (int j0 = 0; j0 < N; j0 += kBlock) {
    const int j1 = std::min(N, j0 + kBlock);
    double ssq[kBlock] = {};
    rows_above_block(ap, j0, j1, ssq, X.data());
    for (int j = j0; j < j1; ++j) {
      double* cj = ap + col(j);
      for (int k = j0; k < j; ++k) one_entry(ap, k, cj, ssq[j - j0]);
      const double s = cj[j] - ssq[j - j0];
      if (bad_pivot(s)) return j + 1;
      cj[j] = std::sqrt(s);
    }
  }
  return 0;
}

int dppfa_by_columns(std::span<double> AP, int N) {
  double* const ap = AP.data();
  for (int j = 0; j < N; ++j) {
    double* cj = ap + col(j);
    double s = 0.0;
    for (int k = 0; k < j; ++k) {
      const double* ck = ap + col(k);
      const double t = (cj[k] - blas::ddot(k, ck, cj)) / ck[k];
      cj[k] = t;
      s += t * t;
    }
    s = cj[j] - s;
    if (bad_pivot(s)) return j + 1;
    cj[j] = std::sqrt(s);
  }
  return 0;
}

}  // namespace meridolan
