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

// Dot product summed in order from the first term, as the reference ddot does.
double dot_in_order(int n, const double* x, const double* y) {
  double s = 0.0;
  for (int i = 0; i < n; ++i) s += x[i] * y[i];
  return s;
}

// Entry (k, j) of the factor from column j (rows 0..k-1 already factored).
inline void one_entry(double* ap, int k, double* cj, double& ssq) {
  const double* ck = ap + col(k);
  const double t = (cj[k] - dot_in_order(k, ck, cj)) / ck[k];
  cj[k] = t;
  ssq += t * t;
}

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
  const int nb = j1 - j0;
  // Column values of row k of the block (zero beyond the block's last column).
  const auto row_of_A = [&](int k, V(&c)[NV]) {
    for (int v = 0; v < NV; ++v)
      for (int l = 0; l < 4; ++l) {
        const int q = 4 * v + l;
        c[v][l] = q < nb ? ap[col(j0 + q) + k] : 0.0;
      }
  };
  V sq[NV] = {};
  static_assert(kBlock % 2 == 0, "j0, a multiple of kBlock, is even: rows come in pairs");
  for (int k = 0; k < j0; k += 2) {
    const double* a = ap + col(k);
    const double* b = ap + col(k + 1);
    V sa[NV] = {}, sb[NV] = {};
    for (int i = 0; i < k; ++i) {
      const Vu* x = reinterpret_cast<const Vu*>(X + i * kBlock);
      const double ai = a[i], bi = b[i];
      for (int v = 0; v < NV; ++v) {
        sa[v] += ai * x[v];
        sb[v] += bi * x[v];
      }
    }
    V ca[NV], cb[NV];
    row_of_A(k, ca);
    row_of_A(k + 1, cb);
    Vu* xa = reinterpret_cast<Vu*>(X + k * kBlock);
    Vu* xb = reinterpret_cast<Vu*>(X + (k + 1) * kBlock);
    for (int v = 0; v < NV; ++v) {
      const V t = (ca[v] - sa[v]) / a[k];
      xa[v] = t;
      sq[v] += t * t;
      sb[v] += b[k] * t;
      const V u = (cb[v] - sb[v]) / b[k + 1];
      xb[v] = u;
      sq[v] += u * u;
    }
  }
  // The finished rows back into the packed columns.
  for (int q = 0; q < nb; ++q) {
    double* cq = ap + col(j0 + q);
    for (int i = 0; i < j0; ++i) cq[i] = X[i * kBlock + q];
    ssq[q] = sq[q / 4][q % 4];
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
