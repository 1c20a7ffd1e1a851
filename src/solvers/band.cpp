// Gaussian elimination of the symmetric band matrix without pivoting, then forward
// reduction and back substitution of one load vector at a time.
//
// Row i of SK holds K(i, i..i+M), M = MBAND-1. After the reduction SK holds the pivot
// and the multipliers u(i,k) = K(i,i+k)/d(i); SKR holds the pivot and the unscaled
// reduced row, which the forward reduction of a load vector needs.
//
// Speed without changing a digit. Entry K(j,c) receives, in the plain algorithm,
// K(j,c) -= K(i,j) * u(i,c) from every earlier pivot i that reaches column c, in
// ascending i. Taken pivot by pivot, every update streams the whole window of M rows
// through the cache. Here the rows are finished four at a time instead: each block
// of four rows receives all the earlier pivots at once, eight columns at a time, the
// 4 x 8 partial results held in registers from the first pivot to the last; then
// the block's own pivots, one after the other, finish those eight columns. Every
// entry sees exactly the plain algorithm's operations in the same order, so the
// results are bitwise the same. The kernels are compiled for several instruction
// sets and the widest the processor has is chosen at run time; contraction stays
// off (no fused multiply-add), so every path rounds alike.
#include "solvers/band.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "solvers/band_isa.h"

namespace meridolan {

namespace {

// A pivot smaller than this fraction of its equation's own assembled diagonal has
// lost all significance: the system is singular, e.g. a slab without any support.
// Rounding leaves such pivots at 1e-14..3e-12 of the diagonal on meshes up to the
// size of the work array, while a slab on a dense liquid of k = 1 keeps 1e-6 or more.
constexpr double kLost = 1e-10;

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

// v -= prod in the lanes of keep; the other lanes lose +0, which leaves them exactly
// as they were. Inlined into the wide kernels (a vector passed to a function built
// for the baseline would change the calling convention).
[[gnu::always_inline]] inline void sub_kept(Vec4& v, const Vec4& prod, const Lanes4& keep) {
  v -= (Vec4)((Lanes4)prod & keep);
}

// The assembled diagonals, for the pivot check: kept apart, so that SKR is first
// written row by row, as the pivots are taken.
inline std::vector<double> assembled_diagonals(const double* k, std::size_t mb, int NEQ) {
  std::vector<double> diag(static_cast<std::size_t>(NEQ));
  for (int i = 0; i < NEQ; ++i) diag[i] = k[i * mb];
  return diag;
}

// A pivot is taken only when clearly positive (a NaN fails too).
[[gnu::always_inline]] inline bool pivot_ok(double d, double assembled) {
  return d > kLost * std::abs(assembled) && std::isfinite(d);
}

// Pivot step of equation i: the check, the unscaled row into SKR, the multipliers in
// SK. Returns the number of off-diagonal words inside the matrix, or -1 when the
// pivot is not clearly positive.
[[gnu::always_inline]] inline int pivot_step(double* __restrict ki, double* __restrict ri,
                                             double assembled, int i, int M, int NEQ) {
  const double d = ki[0];
  if (!pivot_ok(d, assembled)) return -1;
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

// The multipliers of the latest pivots, in groups of eight columns: group g holds,
// for each pivot i that reaches column 8g, the eight words u(i, 8g..8g+7), +0 where
// the pivot does not reach the column (or the column is its own or an earlier one).
// A block of rows then reads one aligned run of words, pivot after pivot, instead of
// a piece of every row of the band store. Groups live in a ring: group_ring(M) of
// them cover every column a block of rows still needs.
inline int group_ring(int M) {
  return (M + 3) / 8 + 2;
}
inline std::size_t group_words(int M) {
  return 8 * static_cast<std::size_t>(M + 8);
}

// The block's own pivots, once its diagonal group is finished: d(j0+s) in four
// lanes, a[s][t] = K(j0+s, j0+t) unscaled, t > s, and the last column each row
// reaches inside the matrix.
struct BlockPivots {
  Vec4 d[4];
  double a[4][4];
  long long reach[4];
};

// v = the lanes of keep from a, the others from b (by reference, like sub_kept).
[[gnu::always_inline]] inline void select(Vec4& v, const Lanes4& keep, const Vec4& a,
                                          const Vec4& b) {
  v = (Vec4)(((Lanes4)a & keep) | ((Lanes4)b & ~keep));
}

// Finishes a group of columns c..c+7 from the 4 x 8 sums in registers (all earlier
// pivots received): row j0 is final; its unscaled words go to SKR, its multipliers to
// SK and to the group (pivot slot j0, at g0); row j0+1 then receives pivot j0 and is
// final, and so on, each entry in the plain algorithm's order. The divisions thus run
// beside the next group's products. `Masked` for a group that reaches past a row's
// reach: there SKR keeps its words (beyond the band they belong to the next row),
// SK keeps its words undivided, the group gets +0, and the rows below lose +0.
template <bool Masked>
[[gnu::always_inline]] inline void finish_in_registers(double* __restrict d0, double* __restrict r0,
                                                       double* __restrict g0, std::size_t mw, int c,
                                                       const BlockPivots& P, Vec4& l0, Vec4& h0,
                                                       Vec4& l1, Vec4& h1, Vec4& l2, Vec4& h2,
                                                       Vec4& l3, Vec4& h3) {
  const Lanes4 col_lo = Lanes4{0, 1, 2, 3} + c, col_hi = col_lo + 4;
  const auto done = [&](int s, Vec4& l, Vec4& h) {
    double* const r = r0 + s * mw;
    double* const d = d0 + s * mw;
    if (!Masked) {
      store4(r, l), store4(r + 4, h);
      l /= P.d[s], h /= P.d[s];
      store4(d, l), store4(d + 4, h);
      store4(g0 + 8 * s, l), store4(g0 + 8 * s + 4, h);
      return;
    }
    const Lanes4 kl = col_lo <= P.reach[s], kh = col_hi <= P.reach[s];
    Vec4 ol, oh, vl, vh;
    load4(ol, r), load4(oh, r + 4);
    select(vl, kl, l, ol), select(vh, kh, h, oh);
    store4(r, vl), store4(r + 4, vh);
    const Vec4 ul = l / P.d[s], uh = h / P.d[s];
    select(vl, kl, ul, l), select(vh, kh, uh, h);
    store4(d, vl), store4(d + 4, vh);
    select(l, kl, ul, Vec4{}), select(h, kh, uh, Vec4{});
    if (c <= P.reach[s]) store4(g0 + 8 * s, l), store4(g0 + 8 * s + 4, h);
  };
  done(0, l0, h0);
  l1 -= P.a[0][1] * l0, h1 -= P.a[0][1] * h0;
  done(1, l1, h1);
  l2 -= P.a[0][2] * l0, h2 -= P.a[0][2] * h0;
  l2 -= P.a[1][2] * l1, h2 -= P.a[1][2] * h1;
  done(2, l2, h2);
  l3 -= P.a[0][3] * l0, h3 -= P.a[0][3] * h0;
  l3 -= P.a[1][3] * l1, h3 -= P.a[1][3] * h1;
  l3 -= P.a[2][3] * l2, h3 -= P.a[2][3] * h2;
  done(3, l3, h3);
}

// Finishes the group of the block's diagonal, columns c..c+7, word by word, after all
// earlier pivots: each pivot is checked as it becomes final and its pivot word goes
// to SKR. Returns 0, or the equation whose pivot is not clearly positive.
inline int finish_diagonal(double* __restrict k, double* __restrict kr, double* __restrict group,
                           const double* diag_assembled, int M, int NEQ, int j0, int c) {
  const std::size_t mw = static_cast<std::size_t>(M);
  for (int s = 0; s < 4; ++s) {
    const int r = j0 + s, reach = std::min(r + M, NEQ - 1);
    double* const kw = k + r * mw;  // kw[col]: row r's word for column col
    double* const rw = kr + r * mw;
    if (!pivot_ok(kw[r], diag_assembled[r])) return r + 1;
    rw[r] = kw[r];
    const double d = rw[r];
    double* const slot = group + static_cast<std::size_t>(r - c + M) * 8;
    for (int col = c; col < c + 8; ++col) {
      if (col <= r || col > reach) {
        slot[col - c] = 0.0;
        continue;
      }
      const double x = kw[col];
      rw[col] = x;
      kw[col] = x / d;
      slot[col - c] = kw[col];
    }
    for (int q = s + 1; q < 4; ++q) {
      const int rr = j0 + q;
      if (rr > reach) continue;
      const double a = rw[rr];
      for (int col = std::max(c, rr); col < c + 8 && col <= reach; ++col)
        k[rr * mw + col] -= a * kw[col];
    }
  }
  return 0;
}

// Rows j0..j0+3, columns c..c+7 (c = 8g), receive the pivots i < j0 that reach
// column c, in ascending order, the 4 x 8 partial results held in registers for all
// of them. A pivot that misses a column has +0 in the group: its product is +-0, and
// x - (+-0) is x for every word the band can hold (no word is ever -0: the store is
// built by adding onto +0, and a difference of equal numbers is +0). That covers the
// words beyond a row's band too, which belong to the next row.
//
// The group of column j0 holds the block's diagonal: row j0+s leaves its words left
// of column j0+s, which belong to the rows above, exactly as they were. `Diag` is
// the diagonal's lane in that group: 0 (columns j0..j0+3 are the group's first four,
// masked; the last four are done in full) or 4 (the group's first four columns lie
// left of every row and are left alone); the sums are then stored. For the other
// groups the block's pivots finish the sums in registers: kFinish, or kFinishEnd
// under masks where the group reaches past a row's reach.
constexpr int kFinish = -1, kFinishEnd = -2;
template <int Diag>
[[gnu::always_inline]] inline void rows_group8(double* __restrict k, double* __restrict kr,
                                               double* __restrict group, const BlockPivots& P,
                                               int M, int j0, int c) {
  int i = std::max(0, c - M);
  const std::size_t mw = static_cast<std::size_t>(M);
  constexpr bool lo = Diag != 4;       // the first four columns are updated
  double* const d0 = k + j0 * mw + c;  // row j0+s at column c is d0 + s*M
  Vec4 l0{}, l1{}, l2{}, l3{}, h0, h1, h2, h3;
  if (lo) {
    load4(l0, d0), load4(l1, d0 + mw), load4(l2, d0 + 2 * mw), load4(l3, d0 + 3 * mw);
  }
  load4(h0, d0 + 4), load4(h1, d0 + mw + 4), load4(h2, d0 + 2 * mw + 4), load4(h3, d0 + 3 * mw + 4);
  // Row s of the diagonal keeps lanes s.. of its four columns.
  const Lanes4 lane = {0, 1, 2, 3};
  const Lanes4 k1 = lane >= 1, k2 = lane >= 2, k3 = lane >= 3;
  const double* u = group + static_cast<std::size_t>(i - c + M) * 8;  // u(i, c..c+7)
  const double* a = kr + i * mw + j0;                                 // K(i, j0..j0+3), unscaled
  for (; i < j0; ++i, u += 8, a += mw) {
    Vec4 ul, uh;
    load4(uh, u + 4);
    if constexpr (Diag == 4) {
      h0 -= a[0] * uh;
      sub_kept(h1, a[1] * uh, k1), sub_kept(h2, a[2] * uh, k2), sub_kept(h3, a[3] * uh, k3);
    } else if constexpr (Diag == 0) {
      load4(ul, u);
      l0 -= a[0] * ul, h0 -= a[0] * uh;
      sub_kept(l1, a[1] * ul, k1), h1 -= a[1] * uh;
      sub_kept(l2, a[2] * ul, k2), h2 -= a[2] * uh;
      sub_kept(l3, a[3] * ul, k3), h3 -= a[3] * uh;
    } else {
      load4(ul, u);
      l0 -= a[0] * ul, h0 -= a[0] * uh;
      l1 -= a[1] * ul, h1 -= a[1] * uh;
      l2 -= a[2] * ul, h2 -= a[2] * uh;
      l3 -= a[3] * ul, h3 -= a[3] * uh;
    }
  }
  if constexpr (Diag == kFinish || Diag == kFinishEnd) {
    finish_in_registers<Diag == kFinishEnd>(k + j0 * mw + c, kr + j0 * mw + c,
                                            group + (j0 - c + M) * 8L, mw, c, P, l0, h0, l1, h1, l2,
                                            h2, l3, h3);
    return;
  }
  if (lo) {
    store4(d0, l0), store4(d0 + mw, l1), store4(d0 + 2 * mw, l2), store4(d0 + 3 * mw, l3);
  }
  store4(d0 + 4, h0), store4(d0 + mw + 4, h1), store4(d0 + 2 * mw + 4, h2);
  store4(d0 + 3 * mw + 4, h3);
}

// Row j, one word at a time, receives every earlier pivot that reaches it.
inline void row_single(double* __restrict k, const double* __restrict kr, int M, int NEQ, int j) {
  const std::size_t mw = static_cast<std::size_t>(M);
  const int last = std::min(j + M, NEQ - 1);
  for (int c = j; c <= last; ++c) {
    double v = k[j * mw + c];
    for (int i = std::max(0, c - M); i < j; ++i) v -= kr[i * mw + j] * k[i * mw + c];
    k[j * mw + c] = v;
  }
}

// The elimination row by row (see the head of the file), for the wide instruction
// sets.
[[gnu::always_inline]] inline int uptri_rows(int MBAND, int NEQ, double* __restrict kr,
                                             double* __restrict k) {
  const std::size_t mb = static_cast<std::size_t>(MBAND);
  const int M = MBAND - 1;
  const auto reach = [&](int i) { return std::min(i + M, NEQ - 1); };
  const std::vector<double> diag = assembled_diagonals(k, mb, NEQ);
  // The group ring, on a 64-byte boundary so that every group row is one cache line.
  const int ring = group_ring(M);
  const std::size_t words = group_words(M);
  std::vector<double> ring_store(static_cast<std::size_t>(ring) * words + 8);
  double* const groups = reinterpret_cast<double*>(
      (reinterpret_cast<std::uintptr_t>(ring_store.data()) + 63) & ~std::uintptr_t{63});
  int j0 = 0;
  for (; j0 + 3 < NEQ; j0 += 4) {
    // Every earlier pivot, for the four rows at once, eight columns at a time. The
    // next block's rows, not touched since they were assembled, are asked for
    // meanwhile, a line of each per group.
    const int g0 = j0 / 8, g1 = reach(j0 + 3) / 8;
    const bool ahead = j0 + 7 < NEQ;
    int slot = g0 % ring;
    BlockPivots P;
    for (int g = g0; g <= g1; ++g, slot = slot + 1 == ring ? 0 : slot + 1) {
      double* const group = groups + static_cast<std::size_t>(slot) * words;
      const int c = 8 * g;
      if (g > g0 && c + 7 <= reach(j0)) {
        rows_group8<kFinish>(k, kr, group, P, M, j0, c);
      } else if (g > g0) {
        rows_group8<kFinishEnd>(k, kr, group, P, M, j0, c);
      } else {
        if (j0 % 8 == 0)
          rows_group8<0>(k, kr, group, P, M, j0, c);
        else
          rows_group8<4>(k, kr, group, P, M, j0, c);
        if (const int bad = finish_diagonal(k, kr, group, diag.data(), M, NEQ, j0, c)) return bad;
        for (int s = 0; s < 4; ++s) {
          const double* rw = kr + (j0 + s) * (mb - 1);
          P.d[s] = Vec4{} + rw[j0 + s];
          for (int t = s + 1; t < 4; ++t) P.a[s][t] = rw[j0 + t];
          P.reach[s] = reach(j0 + s);
        }
      }
      if (ahead)
        for (int r = j0 + 4; r < j0 + 8; ++r) __builtin_prefetch(k + r * (mb - 1) + 8 * g + 4);
    }
  }
  for (; j0 < NEQ; ++j0) {
    row_single(k, kr, M, NEQ, j0);
    if (pivot_step(k + j0 * mb, kr + j0 * mb, diag[j0], j0, M, NEQ) < 0) return j0 + 1;
  }
  return 0;
}

// The elimination pivot by pivot over the rows below it: on processors without wide
// vectors the blocks of rows cost more than they save.
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
  return MB >= 8 ? uptri_rows(MB, N, kr, k) : uptri_by_pivots(MB, N, kr, k);
}
[[gnu::target("avx2")]] void disp_avx2(int MB, int N, double* r, const double* kr,
                                       const double* k) {
  disp_impl(MB, N, r, kr, k);
}
[[gnu::target("avx512f")]] int uptri_avx512(int MB, int N, double* kr, double* k) {
  return MB >= 8 ? uptri_rows(MB, N, kr, k) : uptri_by_pivots(MB, N, kr, k);
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
