// Gaussian elimination of the symmetric band matrix without pivoting, then forward
// reduction and back substitution of one load vector at a time.
//
// Row i of SK holds K(i, i..i+M), M = MBAND-1. After the reduction SK holds the pivot
// and the multipliers u(i,k) = K(i,i+k)/d(i); SKR holds the pivot and the unscaled
// reduced row, which the forward reduction of a load vector needs.
#include "solvers/band.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace meridolan {

namespace {

// A pivot smaller than this fraction of its equation's own assembled diagonal has
// lost all significance: the system is singular, e.g. a slab without any support.
// Rounding leaves such pivots at 1e-14..3e-12 of the diagonal on meshes up to the
// size of the work array, while a slab on a dense liquid of k = 1 keeps 1e-6 or more.
constexpr double kLost = 1e-10;

}  // namespace

int UPTRI(int MBAND, int NEQ, std::span<double> SKR, std::span<double> SK) {
  const std::size_t mb = static_cast<std::size_t>(MBAND);
  const int M = MBAND - 1;
  double* const k = SK.data();
  double* const kr = SKR.data();

  // The pivot word of each SKR row keeps the assembled diagonal until that row's own
  // step overwrites it with the reduced pivot.
  for (int i = 0; i < NEQ; ++i) kr[i * mb] = k[i * mb];

  for (int i = 0; i < NEQ; ++i) {
    double* const ki = k + i * mb;
    double* const ri = kr + i * mb;
    const double d = ki[0];
    // Written so that a NaN pivot fails too.
    if (!(d > kLost * std::abs(ri[0])) || !std::isfinite(d)) return i + 1;

    const int m = std::min(M, NEQ - 1 - i);
    for (int c = 0; c <= m; ++c) ri[c] = ki[c];
    for (int c = 1; c <= M; ++c) ki[c] /= d;

    // Row i+j, words 0..m-j, loses K(i,i+j) times the multipliers u(i, j..m).
    for (int j = 1; j <= m; ++j) {
      const double kij = ri[j];
      double* __restrict dst = k + (i + j) * mb;
      const double* __restrict u = ki + j;
      const int len = m - j + 1;
      for (int t = 0; t < len; ++t) dst[t] -= kij * u[t];
    }
  }
  return 0;
}

void DISP(int MBAND, int NEQ, std::span<double> R, std::span<const double> SKR,
          std::span<const double> SK) {
  const std::size_t mb = static_cast<std::size_t>(MBAND);
  const int M = MBAND - 1;
  double* const r = R.data();
  const double* const k = SK.data();
  const double* const kr = SKR.data();

  for (int i = 0; i < NEQ; ++i) {
    const double* __restrict ri = kr + i * mb;
    r[i] /= ri[0];
    const double x = r[i];
    const int m = std::min(M, NEQ - 1 - i);
    double* __restrict below = r + i;
    for (int c = 1; c <= m; ++c) below[c] -= ri[c] * x;
  }
  for (int i = NEQ - 1; i >= 0; --i) {
    const double* __restrict ki = k + i * mb;
    const int m = std::min(M, NEQ - 1 - i);
    double s = r[i];
    for (int c = 1; c <= m; ++c) s -= ki[c] * r[i + c];
    r[i] = s;
  }
}

}  // namespace meridolan
