// Gaussian elimination of the symmetric band matrix without pivoting, then forward
// reduction and back substitution of one load vector at a time.
//
// Row i of SK holds K(i, i..i+M), M = MBAND-1. After the reduction SK holds the pivot
// and the multipliers u(i,k) = K(i,i+k)/d(i); SKR holds the pivot and the unscaled
// reduced row, which the forward reduction of a load vector needs.
//
// Speed without changing a digit. The reduction is a sequence of rank-1 updates of a
// window of M rows; done pivot by pivot, every update streams the whole window
// through the cache. Here the pivots are taken in panels of kPanel: the panel's own
// rows are reduced one pivot after the other, then each row below is brought into
// the fastest cache once and receives the updates of all the panel's pivots, in
// pivot order. Every entry therefore sees exactly the operations of the plain
// algorithm (K(j,c) -= K(i,j) * u(i,c) for i ascending), in the same order, and the
// results are bitwise the same. The kernels are compiled for several instruction
// sets and the widest the processor has is chosen at run time; contraction stays off
// (no fused multiply-add), so every path rounds alike.
#include "solvers/band.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "solvers/band_isa.h"

namespace meridolan {

namespace {

// A pivot smaller than this fraction of its equation's own assembled diagonal has
// lost all significance: the system is singular, e.g. a slab without any support.
// Rounding leaves such pivots at 1e-14..3e-12 of the diagonal on meshes up to the
// size of the work array, while a slab on a dense liquid of k = 1 keeps 1e-6 or more.
constexpr double kLost = 1e-10;

// Pivots per panel: their multiplier rows (kPanel x MBAND words) stay in the
// first-level cache while the rows below are updated.
constexpr int kPanel = 8;

// dst[t] -= a * src[t], t = 0..len-1.
[[gnu::always_inline]] inline void axpy_minus(double* __restrict dst, const double* __restrict src,
                                              double a, int len) {
  for (int t = 0; t < len; ++t) dst[t] -= a * src[t];
}

[[gnu::always_inline]] inline int uptri_impl(int MBAND, int NEQ, double* __restrict kr,
                                             double* __restrict k) {
  const std::size_t mb = static_cast<std::size_t>(MBAND);
  const int M = MBAND - 1;
  // Last column (0-based) that row i reaches inside the matrix.
  const auto reach = [&](int i) { return std::min(i + M, NEQ - 1); };

  // The pivot word of each SKR row keeps the assembled diagonal until that row's own
  // step overwrites it with the reduced pivot.
  for (int i = 0; i < NEQ; ++i) kr[i * mb] = k[i * mb];

  for (int p0 = 0; p0 < NEQ; p0 += kPanel) {
    const int p1 = std::min(p0 + kPanel, NEQ);
    // The panel: each pivot in turn, its updates reaching only the panel's rows.
    for (int i = p0; i < p1; ++i) {
      double* const ki = k + i * mb;
      double* const ri = kr + i * mb;
      const double d = ki[0];
      // Written so that a NaN pivot fails too.
      if (!(d > kLost * std::abs(ri[0])) || !std::isfinite(d)) return i + 1;
      const int m = reach(i) - i;
      for (int c = 0; c <= m; ++c) ri[c] = ki[c];
      for (int c = 1; c <= M; ++c) ki[c] /= d;
      for (int q = i + 1; q < p1 && q <= i + m; ++q)
        axpy_minus(k + q * mb, ki + (q - i), ri[q - i], m - (q - i) + 1);
    }
    // The rows below the panel: each receives every panel pivot that reaches it.
    const int last = reach(p1 - 1);
    for (int r = p1; r <= last; ++r) {
      double* const kr_row = k + r * mb;
      for (int i = std::max(p0, r - M); i < p1; ++i) {
        const int m = reach(i) - i;
        const int j = r - i;  // r lies in row i's band: j <= m
        axpy_minus(kr_row, k + i * mb + j, kr[i * mb + j], m - j + 1);
      }
    }
  }
  return 0;
}

[[gnu::always_inline]] inline void disp_impl(int MBAND, int NEQ, double* __restrict r,
                                             const double* __restrict kr,
                                             const double* __restrict k) {
  const std::size_t mb = static_cast<std::size_t>(MBAND);
  const int M = MBAND - 1;
  for (int i = 0; i < NEQ; ++i) {
    const double* ri = kr + i * mb;
    r[i] /= ri[0];
    const double x = r[i];
    const int m = std::min(M, NEQ - 1 - i);
    double* below = r + i;
    for (int c = 1; c <= m; ++c) below[c] -= ri[c] * x;
  }
  for (int i = NEQ - 1; i >= 0; --i) {
    const double* ki = k + i * mb;
    const int m = std::min(M, NEQ - 1 - i);
    double s = r[i];
    for (int c = 1; c <= m; ++c) s -= ki[c] * r[i + c];
    r[i] = s;
  }
}

// One copy of each kernel per instruction set.
int uptri_base(int MB, int N, double* kr, double* k) {
  return uptri_impl(MB, N, kr, k);
}
void disp_base(int MB, int N, double* r, const double* kr, const double* k) {
  disp_impl(MB, N, r, kr, k);
}
[[gnu::target("avx2")]] int uptri_avx2(int MB, int N, double* kr, double* k) {
  return uptri_impl(MB, N, kr, k);
}
[[gnu::target("avx2")]] void disp_avx2(int MB, int N, double* r, const double* kr,
                                       const double* k) {
  disp_impl(MB, N, r, kr, k);
}
[[gnu::target("avx512f")]] int uptri_avx512(int MB, int N, double* kr, double* k) {
  return uptri_impl(MB, N, kr, k);
}
[[gnu::target("avx512f")]] void disp_avx512(int MB, int N, double* r, const double* kr,
                                            const double* k) {
  disp_impl(MB, N, r, kr, k);
}

}  // namespace

bool isa_supported(BandIsa isa) {
  switch (isa) {
    case BandIsa::Baseline:
      return true;
    case BandIsa::Avx2:
      return __builtin_cpu_supports("avx2");
    case BandIsa::Avx512:
      return __builtin_cpu_supports("avx512f");
  }
  return false;
}

BandIsa best_isa() {
  // Fixed for the process: the processor does not change under a run.
  static const BandIsa best = isa_supported(BandIsa::Avx512) ? BandIsa::Avx512
                              : isa_supported(BandIsa::Avx2) ? BandIsa::Avx2
                                                             : BandIsa::Baseline;
  return best;
}

int UPTRI_ISA(BandIsa isa, int MBAND, int NEQ, std::span<double> SKR, std::span<double> SK) {
  switch (isa) {
    case BandIsa::Avx512:
      return uptri_avx512(MBAND, NEQ, SKR.data(), SK.data());
    case BandIsa::Avx2:
      return uptri_avx2(MBAND, NEQ, SKR.data(), SK.data());
    case BandIsa::Baseline:
      break;
  }
  return uptri_base(MBAND, NEQ, SKR.data(), SK.data());
}

void DISP_ISA(BandIsa isa, int MBAND, int NEQ, std::span<double> R, std::span<const double> SKR,
              std::span<const double> SK) {
  switch (isa) {
    case BandIsa::Avx512:
      return disp_avx512(MBAND, NEQ, R.data(), SKR.data(), SK.data());
    case BandIsa::Avx2:
      return disp_avx2(MBAND, NEQ, R.data(), SKR.data(), SK.data());
    case BandIsa::Baseline:
      break;
  }
  disp_base(MBAND, NEQ, R.data(), SKR.data(), SK.data());
}

int UPTRI(int MBAND, int NEQ, std::span<double> SKR, std::span<double> SK) {
  return UPTRI_ISA(best_isa(), MBAND, NEQ, SKR, SK);
}

void DISP(int MBAND, int NEQ, std::span<double> R, std::span<const double> SKR,
          std::span<const double> SK) {
  DISP_ISA(best_isa(), MBAND, NEQ, R, SKR, SK);
}

}  // namespace meridolan
