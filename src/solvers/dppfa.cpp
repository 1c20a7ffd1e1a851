// Cholesky factorisation of a packed symmetric positive definite matrix.
//
// Column j of the factor is the solution of R'x = A(1:j-1, j) followed by the
// diagonal sqrt(A(j,j) - x'x). Entry R(k, j) = (A(k, j) - R(1:k-1, k)'R(1:k-1, j)) /
// R(k, k). DPPFA computes exactly these dot products, each summed from the first term
// to the last as the reference BLAS does, but a block of columns at a time: every
// earlier column k is then read once per block instead of once per column, and eight
// independent sums run side by side. The result is the one of the column-by-column
// form with the reference BLAS, word for word.
#include <algorithm>
#include <cmath>

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

// Rows k and k+1 of four columns c[0..3] of the factor: eight sums at once, each
// adding its terms in order (so every instruction set gives the same bits).
MERIDOLAN_WIDEST void two_rows_four_columns(double* ap, int k, double* const c[4], double* ssq) {
  const double* a = ap + col(k);
  const double* b = ap + col(k + 1);
  const double *c0 = c[0], *c1 = c[1], *c2 = c[2], *c3 = c[3];
  double a0 = 0, a1 = 0, a2 = 0, a3 = 0, b0 = 0, b1 = 0, b2 = 0, b3 = 0;
  for (int i = 0; i < k; ++i) {
    const double ai = a[i], bi = b[i];
    const double x0 = c0[i], x1 = c1[i], x2 = c2[i], x3 = c3[i];
    a0 += ai * x0;
    a1 += ai * x1;
    a2 += ai * x2;
    a3 += ai * x3;
    b0 += bi * x0;
    b1 += bi * x1;
    b2 += bi * x2;
    b3 += bi * x3;
  }
  const double sa[4] = {a0, a1, a2, a3};
  double sb[4] = {b0, b1, b2, b3};
  for (int q = 0; q < 4; ++q) {
    const double t = (c[q][k] - sa[q]) / a[k];
    c[q][k] = t;
    ssq[q] += t * t;
    // Row k+1 takes the term of row k last, as its sum in order would.
    sb[q] += b[k] * t;
    const double u = (c[q][k + 1] - sb[q]) / b[k + 1];
    c[q][k + 1] = u;
    ssq[q] += u * u;
  }
}

// Rows 0..j0-1 of the block columns j0..j1-1.
void rows_above_block(double* ap, int j0, int j1, double* ssq) {
  int k = 0;
  for (; k + 1 < j0; k += 2) {
    int q = j0;
    for (; q + 4 <= j1; q += 4) {
      double* const c[4] = {ap + col(q), ap + col(q + 1), ap + col(q + 2), ap + col(q + 3)};
      two_rows_four_columns(ap, k, c, ssq + (q - j0));
    }
    for (; q < j1; ++q) {
      one_entry(ap, k, ap + col(q), ssq[q - j0]);
      one_entry(ap, k + 1, ap + col(q), ssq[q - j0]);
    }
  }
  if (k < j0)
    for (int q = j0; q < j1; ++q) one_entry(ap, k, ap + col(q), ssq[q - j0]);
}

}  // namespace

int DPPFA(std::span<double> AP, int N) {
  double* const ap = AP.data();
  for (int j0 = 0; j0 < N; j0 += kBlock) {
    const int j1 = std::min(N, j0 + kBlock);
    double ssq[kBlock] = {};
    rows_above_block(ap, j0, j1, ssq);
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
