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

// Four doubles handled as one value; the compiler maps it onto the registers of the
// instruction set each kernel is built for (two SSE2 registers, or one AVX register).
typedef double Vec4 __attribute__((vector_size(32)));
// Unaligned loads and stores; passed by reference, so no vector crosses a call
// boundary of the baseline build.
[[gnu::always_inline]] inline void load4(Vec4& v, const double* p) {
  __builtin_memcpy(&v, p, sizeof v);
}
[[gnu::always_inline]] inline void store4(double* p, const Vec4& v) {
  __builtin_memcpy(p, &v, sizeof v);
}
typedef long long Lanes4 __attribute__((vector_size(32)));

// Row r of the band (dst at its column r) receives the updates of pivots ib..p1-1, in
// pivot order for every entry. Columns that all these pivots reach are done eight at
// a time with the partial results held in registers; the last columns, which only the
// later pivots reach, four at a time under a mask.
[[gnu::always_inline]] inline void panel_row(double* __restrict dst, int r, int ib, int p1,
                                             const double* __restrict k,
                                             const double* __restrict kr, std::size_t mb, int M,
                                             int NEQ, const double* k_end) {
  const auto reach = [&](int i) { return std::min(i + M, NEQ - 1); };
  const int np = p1 - ib;
  double a[kPanel];
  const double* u[kPanel];
  for (int q = 0; q < np; ++q) {
    const int i = ib + q;
    a[q] = kr[i * mb + (r - i)];  // K(i, r), unscaled
    u[q] = k + i * mb + (r - i);  // u[q][t] = u(i, r + t)
  }
  const int full = reach(ib) - r + 1;  // columns every pivot of the panel reaches
  int t = 0;
  for (; t + 8 <= full; t += 8) {
    Vec4 lo, hi, ul, uh;
    load4(lo, dst + t);
    load4(hi, dst + t + 4);
    for (int q = 0; q < np; ++q) {
      load4(ul, u[q] + t);
      load4(uh, u[q] + t + 4);
      lo -= a[q] * ul;
      hi -= a[q] * uh;
    }
    store4(dst + t, lo);
    store4(dst + t + 4, hi);
  }
  // The last columns: pivot q reaches column lim[q] only. Four columns at a time,
  // each product kept where its pivot reaches and made +0 elsewhere (x - (+0) is x
  // exactly, so every entry still sees only its own updates), as long as the four
  // words lie inside the band store; the rest one by one.
  const int end = reach(p1 - 1) - r + 1;
  long long lim[kPanel];
  for (int q = 0; q < np; ++q) lim[q] = reach(ib + q) - r;
  for (; t < end && dst + t + 4 <= k_end && u[np - 1] + t + 4 <= k_end; t += 4) {
    const Lanes4 col = {t, t + 1, t + 2, t + 3};
    Vec4 v, uq;
    load4(v, dst + t);
    for (int q = 0; q < np; ++q) {
      load4(uq, u[q] + t);
      const Vec4 prod = a[q] * uq;
      v -= (Vec4)((Lanes4)prod & (col <= lim[q]));
    }
    store4(dst + t, v);
  }
  for (; t < end; ++t) {
    double v = dst[t];
    for (int q = 0; q < np; ++q)
      if (t <= lim[q]) v -= a[q] * u[q][t];
    dst[t] = v;
  }
}

// Pivot step of equation i: the check, the unscaled row into SKR, the multipliers in
// SK. Returns the number of off-diagonal words inside the matrix, or -1 when the
// pivot is not clearly positive.
[[gnu::always_inline]] inline int pivot_step(double* __restrict ki, double* __restrict ri, int i,
                                             int M, int NEQ) {
  const double d = ki[0];
  // Written so that a NaN pivot fails too.
  if (!(d > kLost * std::abs(ri[0])) || !std::isfinite(d)) return -1;
  const int m = std::min(M, NEQ - 1 - i);
  for (int c = 0; c <= m; ++c) ri[c] = ki[c];
  for (int c = 1; c <= M; ++c) ki[c] /= d;
  return m;
}

// The elimination in panels (see the head of the file), for the wide instruction
// sets.
[[gnu::always_inline]] inline int uptri_panels(int MBAND, int NEQ, double* __restrict kr,
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
      const int m = pivot_step(ki, kr + i * mb, i, M, NEQ);
      if (m < 0) return i + 1;
      for (int q = i + 1; q < p1 && q <= i + m; ++q)
        axpy_minus(k + q * mb, ki + (q - i), kr[i * mb + (q - i)], m - (q - i) + 1);
    }
    // The rows below the panel: each receives every panel pivot that reaches it.
    const int last = reach(p1 - 1);
    for (int r = p1; r <= last; ++r)
      panel_row(k + r * mb, r, std::max(p0, r - M), p1, k, kr, mb, M, NEQ, k + NEQ * mb);
  }
  return 0;
}

// The elimination pivot by pivot over the rows below it: on processors without wide
// vectors the panel kernel's masked last columns cost more than the panels save.
[[gnu::always_inline]] inline int uptri_by_pivots(int MBAND, int NEQ, double* __restrict kr,
                                                  double* __restrict k) {
  const std::size_t mb = static_cast<std::size_t>(MBAND);
  const int M = MBAND - 1;
  for (int i = 0; i < NEQ; ++i) kr[i * mb] = k[i * mb];
  for (int i = 0; i < NEQ; ++i) {
    double* const ki = k + i * mb;
    double* const ri = kr + i * mb;
    const int m = pivot_step(ki, ri, i, M, NEQ);
    if (m < 0) return i + 1;
    // Row i+j, words 0..m-j, loses K(i,i+j) times the multipliers u(i, j..m).
    for (int j = 1; j <= m; ++j) axpy_minus(k + (i + j) * mb, ki + j, ri[j], m - j + 1);
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
  return uptri_by_pivots(MB, N, kr, k);
}
void disp_base(int MB, int N, double* r, const double* kr, const double* k) {
  disp_impl(MB, N, r, kr, k);
}
[[gnu::target("avx2")]] int uptri_avx2(int MB, int N, double* kr, double* k) {
  return uptri_panels(MB, N, kr, k);
}
[[gnu::target("avx2")]] void disp_avx2(int MB, int N, double* r, const double* kr,
                                       const double* k) {
  disp_impl(MB, N, r, kr, k);
}
[[gnu::target("avx512f")]] int uptri_avx512(int MB, int N, double* kr, double* k) {
  return uptri_panels(MB, N, kr, k);
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
