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
#include <vector>

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
// The same four doubles at any address of the band store.
typedef double Vec4u __attribute__((vector_size(32), aligned(8), may_alias));
// Unaligned loads and stores; passed by reference, so no vector crosses a call
// boundary of the baseline build.
[[gnu::always_inline]] inline void load4(Vec4& v, const double* p) {
  v = *reinterpret_cast<const Vec4u*>(p);
}
[[gnu::always_inline]] inline void store4(double* p, const Vec4& v) {
  *reinterpret_cast<Vec4u*>(p) = v;
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

// v -= prod in the lanes of keep; the other lanes lose +0, which leaves them exactly
// as they were. Inlined into the wide kernels (a vector passed to a function built
// for the baseline would change the calling convention).
[[gnu::always_inline]] inline void sub_kept(Vec4& v, const Vec4& prod, const Lanes4& keep) {
  v -= (Vec4)((Lanes4)prod & keep);
}

// A tile: rows r0..r0+3, all below a full panel of pivots p0..p0+kPanel-1. Entry
// (r, c) receives pivot i when c <= reach(i), whatever the row, and reach grows with
// the pivot, so the pivots that reach a run of columns are always the last ones of
// the panel. Row r's band word for column c lies at d + r*(MBAND-1) + c.
struct Tile {
  double* d[4];             // d[j][c] = K(r0+j, c)
  const double* u[kPanel];  // u[q][c] = u(p0+q, c)
  double a[kPanel][4];      // K(p0+q, r0+j) unscaled; 0 where the pivot misses the row
  long long lim[kPanel];    // reach(p0+q)
};

// Columns c..c+7 of the tile, which every pivot reaches: the 4 x 8 block stays in
// registers while each pivot's eight multipliers are loaded once for the four rows.
[[gnu::always_inline]] inline void tile_block8(const Tile& T, int c) {
  Vec4 l0, l1, l2, l3, h0, h1, h2, h3;
  load4(l0, T.d[0] + c), load4(h0, T.d[0] + c + 4);
  load4(l1, T.d[1] + c), load4(h1, T.d[1] + c + 4);
  load4(l2, T.d[2] + c), load4(h2, T.d[2] + c + 4);
  load4(l3, T.d[3] + c), load4(h3, T.d[3] + c + 4);
  // Not unrolled: the eight accumulators then stay in registers.
#pragma GCC unroll 1
  for (int q = 0; q < kPanel; ++q) {
    Vec4 ul, uh;
    load4(ul, T.u[q] + c);
    load4(uh, T.u[q] + c + 4);
    const double* aq = T.a[q];
    l0 -= aq[0] * ul, h0 -= aq[0] * uh;
    l1 -= aq[1] * ul, h1 -= aq[1] * uh;
    l2 -= aq[2] * ul, h2 -= aq[2] * uh;
    l3 -= aq[3] * ul, h3 -= aq[3] * uh;
  }
  store4(T.d[0] + c, l0), store4(T.d[0] + c + 4, h0);
  store4(T.d[1] + c, l1), store4(T.d[1] + c + 4, h1);
  store4(T.d[2] + c, l2), store4(T.d[2] + c + 4, h2);
  store4(T.d[3] + c, l3), store4(T.d[3] + c + 4, h3);
}

// Columns c..c+3 of the tile. Pivots before q0 reach none of them and are skipped;
// pivots q0..q1-1 reach some, and their products beyond the reach are made +0, which
// leaves an entry exactly as it was; pivots from q1 on reach all four. With `diag`
// (c = r0) row j keeps only the columns from its diagonal on: its words left of the
// diagonal belong to row r0+j-1 beyond every reach, and go back unchanged.
template <bool diag>
[[gnu::always_inline]] inline void tile_chunk4(const Tile& T, int c, int q0, int q1) {
  const Lanes4 col = {c, c + 1, c + 2, c + 3};
  const Lanes4 lane = {0, 1, 2, 3};
  Vec4 v0, v1, v2, v3;
  load4(v0, T.d[0] + c), load4(v1, T.d[1] + c), load4(v2, T.d[2] + c), load4(v3, T.d[3] + c);
  // Rows 1..3 of the diagonal chunk keep lanes j.. only.
  const Lanes4 r1 = diag ? lane >= 1 : lane >= 0;
  const Lanes4 r2 = diag ? lane >= 2 : lane >= 0;
  const Lanes4 r3 = diag ? lane >= 3 : lane >= 0;
  for (int q = q0; q < q1; ++q) {
    Vec4 uq;
    load4(uq, T.u[q] + c);
    const Lanes4 keep = col <= T.lim[q];
    const double* aq = T.a[q];
    sub_kept(v0, aq[0] * uq, keep);
    sub_kept(v1, aq[1] * uq, keep & r1);
    sub_kept(v2, aq[2] * uq, keep & r2);
    sub_kept(v3, aq[3] * uq, keep & r3);
  }
  for (int q = q1; q < kPanel; ++q) {
    Vec4 uq;
    load4(uq, T.u[q] + c);
    const double* aq = T.a[q];
    v0 -= aq[0] * uq;
    if (diag) {
      sub_kept(v1, aq[1] * uq, r1);
      sub_kept(v2, aq[2] * uq, r2);
      sub_kept(v3, aq[3] * uq, r3);
    } else {
      v1 -= aq[1] * uq, v2 -= aq[2] * uq, v3 -= aq[3] * uq;
    }
  }
  store4(T.d[0] + c, v0), store4(T.d[1] + c, v1), store4(T.d[2] + c, v2), store4(T.d[3] + c, v3);
}

// The panel's part of a tile: its pivots' multiplier rows and reach.
[[gnu::always_inline]] inline void tile_panel(Tile& T, double* k, std::size_t mb, int M, int NEQ,
                                              int p0) {
  for (int q = 0; q < kPanel; ++q) {
    const int i = p0 + q;
    T.lim[q] = std::min(i + M, NEQ - 1);
    T.u[q] = k + i * (mb - 1);
  }
}

// The tile's rows receive the panel's updates, in pivot order for every entry.
[[gnu::always_inline]] inline void panel_tile(Tile& T, double* __restrict k,
                                              const double* __restrict kr, std::size_t mb, int M,
                                              int p0, int r0) {
  for (int j = 0; j < 4; ++j) T.d[j] = k + (r0 + j) * (mb - 1);
  if (r0 + 3 <= T.lim[0]) {
    for (int q = 0; q < kPanel; ++q) {
      const double* row = kr + (p0 + q) * mb + (r0 - p0 - q);
      for (int j = 0; j < 4; ++j) T.a[q][j] = row[j];
    }
  } else {
    for (int q = 0; q < kPanel; ++q) {
      const int i = p0 + q;
      for (int j = 0; j < 4; ++j) T.a[q][j] = r0 + j <= T.lim[q] ? kr[i * mb + (r0 + j - i)] : 0.0;
    }
  }
  // First pivot reaching column c.
  const auto first = [&](int c) {
    int q = 0;
    while (q < kPanel && T.lim[q] < c) ++q;
    return q;
  };
  const int full = static_cast<int>(T.lim[0]);
  const int last = static_cast<int>(T.lim[kPanel - 1]);
  tile_chunk4<true>(T, r0, first(r0), first(r0 + 3));
  int c = r0 + 4;
  for (; c + 7 <= full; c += 8) tile_block8(T, c);
  for (; c + 3 <= full; c += 4) tile_chunk4<false>(T, c, 0, 0);
  // The columns only the later pivots reach, while four words stay inside row r0's
  // band (the other rows reach further).
  for (; c <= last && c + 3 <= r0 + M; c += 4) tile_chunk4<false>(T, c, first(c), first(c + 3));
  for (; c <= last; ++c)
    for (int j = 0; j < 4; ++j) {
      double v = T.d[j][c];
      for (int q = 0; q < kPanel; ++q)
        if (c <= T.lim[q]) v -= T.a[q][j] * T.u[q][c];
      T.d[j][c] = v;
    }
}

// The assembled diagonals, for the pivot check: kept apart, so that SKR is first
// written row by row, as the pivots are taken.
inline std::vector<double> assembled_diagonals(const double* k, std::size_t mb, int NEQ) {
  std::vector<double> diag(static_cast<std::size_t>(NEQ));
  for (int i = 0; i < NEQ; ++i) diag[i] = k[i * mb];
  return diag;
}

// Pivot step of equation i: the check, the unscaled row into SKR, the multipliers in
// SK. Returns the number of off-diagonal words inside the matrix, or -1 when the
// pivot is not clearly positive.
[[gnu::always_inline]] inline int pivot_step(double* __restrict ki, double* __restrict ri,
                                             double assembled, int i, int M, int NEQ) {
  const double d = ki[0];
  // Written so that a NaN pivot fails too.
  if (!(d > kLost * std::abs(assembled)) || !std::isfinite(d)) return -1;
  const int m = std::min(M, NEQ - 1 - i);
  // One pass: each word is copied unscaled, then divided in place.
  ri[0] = d;
  for (int c = 1; c <= m; ++c) {
    const double x = ki[c];
    ri[c] = x;
    ki[c] = x / d;
  }
  for (int c = m + 1; c <= M; ++c) ki[c] /= d;
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

  const std::vector<double> diag = assembled_diagonals(k, mb, NEQ);

  for (int p0 = 0; p0 < NEQ; p0 += kPanel) {
    const int p1 = std::min(p0 + kPanel, NEQ);
    // The panel: each pivot in turn, its updates reaching only the panel's rows.
    for (int i = p0; i < p1; ++i) {
      if (i > p0) panel_row(k + i * mb, i, std::max(p0, i - M), i, k, kr, mb, M, NEQ, k + NEQ * mb);
      if (pivot_step(k + i * mb, kr + i * mb, diag[i], i, M, NEQ) < 0) return i + 1;
    }
    // The rows below the panel: each receives every panel pivot that reaches it.
    const int last = reach(p1 - 1);
    int r = p1;
    if (p1 - p0 == kPanel) {
      Tile T;
      tile_panel(T, k, mb, M, NEQ, p0);
      for (; r + 3 <= last; r += 4) panel_tile(T, k, kr, mb, M, p0, r);
    }
    for (; r <= last; ++r)
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
  const std::vector<double> diag = assembled_diagonals(k, mb, NEQ);
  for (int i = 0; i < NEQ; ++i) {
    double* const ki = k + i * mb;
    double* const ri = kr + i * mb;
    const int m = pivot_step(ki, ri, diag[i], i, M, NEQ);
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
  // Rows are asked for kAhead rows before they are needed: both passes go through the
  // whole band store, which a large mesh makes larger than the cache, and the back
  // substitution is one chain of dependent subtractions, too slow for the processor
  // to fetch ahead by itself.
  constexpr int kAhead = 8;
  for (int i = 0; i < NEQ; ++i) {
    const double* ri = kr + i * mb;
    if (i + kAhead < NEQ)
      for (std::size_t w = 0; w < mb; w += 8) __builtin_prefetch(ri + kAhead * mb + w);
    r[i] /= ri[0];
    const double x = r[i];
    const int m = std::min(M, NEQ - 1 - i);
    double* below = r + i;
    for (int c = 1; c <= m; ++c) below[c] -= ri[c] * x;
  }
  for (int i = NEQ - 1; i >= 0; --i) {
    const double* ki = k + i * mb;
    if (i >= kAhead)
      for (std::size_t w = 0; w < mb; w += 8) __builtin_prefetch(ki - kAhead * mb + w);
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
#ifdef MERIDOLAN_BASELINE_ONLY
  return BandIsa::Baseline;
#else
  // Fixed for the process: the processor does not change under a run.
  static const BandIsa best = isa_supported(BandIsa::Avx512) ? BandIsa::Avx512
                              : isa_supported(BandIsa::Avx2) ? BandIsa::Avx2
                                                             : BandIsa::Baseline;
  return best;
#endif
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
