// Gaussian elimination of the symmetric band matrix without pivoting, then forward
// reduction and back substitution of one load vector at a time.
//
// Storage. Both stores have NEQ rows of MBAND words; M = MBAND - 1, rows and words
// counted from 0, m(i) = min(M, NEQ-1-i) the words of row i inside the matrix:
//
//   word:         0        1           2                  M
//   SK row i   [K(i,i)][K(i,i+1)][K(i,i+2)]  ...  [K(i,i+M)]   assembled
//              [ d(i) ][ u(i,1) ][ u(i,2) ]  ...  [ u(i,M) ]   reduced: pivot, multipliers
//   SKR row i  [ d(i) ][K'(i,i+1)][K'(i,i+2)] ... [K'(i,i+m(i))]  unscaled reduced row
//
// K' is the reduced row before division, u(i,k) = K'(i,i+k) / d(i). The words of SK
// past column NEQ-1 hold +0 throughout; those of SKR there are never written.
//
// The blocks of rows address a store by column: word k of row i, column c = i+k,
// lies at i*MBAND + k = i*M + c. With stride M the rows j0..j0+3 of a block hold
// columns c..c+7 at one offset from each row start, a run of eight words each:
//
//   column:      j0   j0+1 j0+2 j0+3  ...   c  ...  c+7
//   row j0     [ d  ][    ][    ][    ]    [ 8 words ]
//   row j0+1         [ d  ][    ][    ]    [ 8 words ]
//   row j0+2               [ d  ][    ]    [ 8 words ]
//   row j0+3                     [ d  ]    [ 8 words ]
//
// The group ring. Group g holds the multipliers of columns 8g..8g+7, one row of eight
// words per pivot i that can reach them (i = 8g-M .. 8g+7), at group row i - 8g + M:
//
//   ring slot g % ring    row i-8g+M:  u(i,8g-i) ... u(i,8g+7-i)  (+0 where i misses)
//
// ring = group_ring(M) slots of group_words(M) words cover every group a block still
// reads; each slot starts on a 64-byte boundary.
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

// Rows finished together, and columns of a group of multipliers (see the head).
constexpr int kBlockRows = 4, kGroupColumns = 8;

// The band system as the kernels address it (layout at the head of the file). The
// kernels take it by value: the stores then stay unaliased inside each of them, as
// restrict pointer arguments would, and the vector loops need no overlap checks.
struct Band {
  double* __restrict k;   // SK: the matrix, then the pivots and multipliers
  double* __restrict kr;  // SKR: the pivots and unscaled reduced rows
  int M;                  // off-diagonal words per row, MBAND - 1
  int NEQ;

  [[gnu::always_inline]] std::size_t stride() const { return static_cast<std::size_t>(M) + 1; }
  // Last column that row i reaches inside the matrix.
  [[gnu::always_inline]] int reach(int i) const { return std::min(i + M, NEQ - 1); }
};

[[gnu::always_inline]] inline Band band_of(const BandSystem& s) {
  return {.k = s.SK.data(), .kr = s.SKR.data(), .M = s.MBAND - 1, .NEQ = s.NEQ};
}

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

// What pivot_step returns for a pivot that is not clearly positive.
constexpr int kRefused = -1;

// The row pass of a pivot step on row i of SK (ki) and of SKR (ri): the unscaled row
// into SKR, the multipliers in SK, m words inside the matrix of M. Restrict
// parameters let the copy and the divisions run as one vector loop.
[[gnu::always_inline]] inline void pivot_row(double* __restrict ki, double* __restrict ri, int m,
                                             int M) {
  const double d = ki[0];
  // One pass: each word is copied unscaled, then divided in place.
  ri[0] = d;
  for (int c = 1; c <= m; ++c) {
    const double x = ki[c];
    ri[c] = x;
    ki[c] = x / d;
  }
  for (int c = m + 1; c <= M; ++c) ki[c] /= d;
}

// Pivot step of equation i: the check, then the row pass. Returns the number of
// off-diagonal words inside the matrix, or kRefused.
[[gnu::always_inline]] inline int pivot_step(Band b, int i, double assembled) {
  double* const ki = b.k + i * b.stride();
  if (!pivot_ok(ki[0], assembled)) return kRefused;
  const int m = std::min(b.M, b.NEQ - 1 - i);
  pivot_row(ki, b.kr + i * b.stride(), m, b.M);
  return m;
}

// The multipliers of the latest pivots, in groups of eight columns: group g holds,
// for each pivot i that reaches column 8g, the eight words u(i, 8g..8g+7), +0 where
// the pivot does not reach the column (or the column is its own or an earlier one).
// A block of rows then reads one aligned run of words, pivot after pivot, instead of
// a piece of every row of the band store. Groups live in a ring: group_ring(M) of
// them cover every column a block of rows still needs.
inline int group_ring(int M) {
  return (M + 3) / kGroupColumns + 2;
}
inline std::size_t group_words(int M) {
  return kGroupColumns * static_cast<std::size_t>(M + kGroupColumns);
}

// A block of rows j0..j0+3 and the group of columns c..c+7 it works on; `group` is
// the group's ring slot.
struct BlockGroup {
  double* __restrict group;
  int j0, c;

  // The group row of pivot i: u(i, c..c+7). Signed: the block's own first row may
  // stand up to three rows before the group's first (the finishing rows of a group
  // left of the block's diagonal, which store nothing there).
  [[gnu::always_inline]] double* row_of(int i, int M) const {
    return group + static_cast<std::ptrdiff_t>(i - c + M) * kGroupColumns;
  }
};

// The block's own pivots, once its diagonal group is finished: d(j0+s) in four
// lanes, a[s][t] = K(j0+s, j0+t) unscaled, t > s, and the last column each row
// reaches inside the matrix.
struct BlockPivots {
  Vec4 d[4];
  double a[4][4];
  long long reach[4];
};

// The 4 x 8 partial results of a block and a group, in registers: row s has columns
// c..c+3 in lo[s] and c+4..c+7 in hi[s].
struct Block4x8 {
  Vec4 lo[4], hi[4];
};

// v = the lanes of keep from a, the others from b (by reference, like sub_kept).
[[gnu::always_inline]] inline void select(Vec4& v, const Lanes4& keep, const Vec4& a,
                                          const Vec4& b) {
  v = (Vec4)(((Lanes4)a & keep) | ((Lanes4)b & ~keep));
}

// Lane t holds t: compared with a column offset it masks the lanes past it.
constexpr Lanes4 kLaneIndex = {0, 1, 2, 3};

// Finishes a group of columns c..c+7 from the 4 x 8 sums in registers (all earlier
// pivots received): row j0 is final; its unscaled words go to SKR, its multipliers to
// SK and to the group (pivot slot j0); row j0+1 then receives pivot j0 and is final,
// and so on, each entry in the plain algorithm's order. The divisions thus run beside
// the next group's products. `Masked` for a group that reaches past a row's reach:
// there SKR keeps its words (beyond the band they belong to the next row), SK keeps
// its words undivided, the group gets +0, and the rows below lose +0.
template <bool Masked>
[[gnu::always_inline]] inline void finish_in_registers(Band b, BlockGroup at, const BlockPivots& P,
                                                       Block4x8& x) {
  const std::size_t mw = static_cast<std::size_t>(b.M);
  const int c = at.c;
  double* __restrict const d0 = b.k + at.j0 * mw + c;  // row j0+s at column c: d0 + s*M
  double* __restrict const r0 = b.kr + at.j0 * mw + c;
  double* __restrict const g0 = at.row_of(at.j0, b.M);
  const Lanes4 col_lo = kLaneIndex + c, col_hi = col_lo + 4;
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
  Vec4 *const l = x.lo, *const h = x.hi;
  done(0, l[0], h[0]);
  l[1] -= P.a[0][1] * l[0], h[1] -= P.a[0][1] * h[0];
  done(1, l[1], h[1]);
  l[2] -= P.a[0][2] * l[0], h[2] -= P.a[0][2] * h[0];
  l[2] -= P.a[1][2] * l[1], h[2] -= P.a[1][2] * h[1];
  done(2, l[2], h[2]);
  l[3] -= P.a[0][3] * l[0], h[3] -= P.a[0][3] * h[0];
  l[3] -= P.a[1][3] * l[1], h[3] -= P.a[1][3] * h[1];
  l[3] -= P.a[2][3] * l[2], h[3] -= P.a[2][3] * h[2];
  done(3, l[3], h[3]);
}

// Finishes the group of the block's diagonal, columns c..c+7, word by word, after all
// earlier pivots: each pivot is checked as it becomes final and its pivot word goes
// to SKR. Returns 0, or the equation whose pivot is not clearly positive.
inline int finish_diagonal(Band b, BlockGroup at, const double* diag_assembled) {
  double* __restrict const k = b.k;
  double* __restrict const kr = b.kr;
  const int M = b.M, j0 = at.j0, c = at.c;
  const std::size_t mw = static_cast<std::size_t>(M);
  for (int s = 0; s < kBlockRows; ++s) {
    const int r = j0 + s, reach = b.reach(r);
    double* const kw = k + r * mw;  // kw[col]: row r's word for column col
    double* const rw = kr + r * mw;
    if (!pivot_ok(kw[r], diag_assembled[r])) return r + 1;
    rw[r] = kw[r];
    const double d = rw[r];
    double* const slot = at.row_of(r, M);
    for (int col = c; col < c + kGroupColumns; ++col) {
      if (col <= r || col > reach) {
        slot[col - c] = 0.0;
        continue;
      }
      const double x = kw[col];
      rw[col] = x;
      kw[col] = x / d;
      slot[col - c] = kw[col];
    }
    for (int q = s + 1; q < kBlockRows; ++q) {
      const int rr = j0 + q;
      if (rr > reach) continue;
      const double a = rw[rr];
      for (int col = std::max(c, rr); col < c + kGroupColumns && col <= reach; ++col)
        k[rr * mw + col] -= a * kw[col];
    }
  }
  return 0;
}

// How rows_group8 treats its group of columns.
enum class GroupKind {
  // The group of column j0, which holds the block's diagonal: row j0+s leaves its
  // words left of column j0+s, which belong to the rows above, exactly as they were,
  // and the sums are stored for finish_diagonal.
  DiagonalFirstHalf,   // j0 is the group's first column: columns j0..j0+3 masked, the
                       // last four done in full
  DiagonalSecondHalf,  // j0 is its fifth column: the first four lie left of every row
                       // and are left alone
  // A group right of the diagonal: the block's pivots finish the sums in registers.
  Finish,
  FinishEnd,  // the same under masks, where the group reaches past a row's reach
};

// Rows j0..j0+3, columns c..c+7 (c = 8g), receive the pivots i < j0 that reach
// column c, in ascending order, the 4 x 8 partial results held in registers for all
// of them. A pivot that misses a column has +0 in the group: its product is +-0, and
// x - (+-0) is x for every word the band can hold (no word is ever -0: the store is
// built by adding onto +0, and a difference of equal numbers is +0). That covers the
// words beyond a row's band too, which belong to the next row.
template <GroupKind Kind>
[[gnu::always_inline]] inline void rows_group8(Band b, BlockGroup at, const BlockPivots& P) {
  const int M = b.M, j0 = at.j0, c = at.c;
  int i = std::max(0, c - M);
  const std::size_t mw = static_cast<std::size_t>(M);
  constexpr bool diag_second = Kind == GroupKind::DiagonalSecondHalf;
  constexpr bool lo = !diag_second;                 // the first four columns are updated
  double* __restrict const d0 = b.k + j0 * mw + c;  // row j0+s at column c is d0 + s*M
  Block4x8 x;
  Vec4 *const l = x.lo, *const h = x.hi;
  for (int s = 0; s < 4; ++s) l[s] = Vec4{};
  if (lo) {
    load4(l[0], d0), load4(l[1], d0 + mw), load4(l[2], d0 + 2 * mw), load4(l[3], d0 + 3 * mw);
  }
  load4(h[0], d0 + 4), load4(h[1], d0 + mw + 4), load4(h[2], d0 + 2 * mw + 4);
  load4(h[3], d0 + 3 * mw + 4);
  // Row s of the diagonal keeps lanes s.. of its four columns.
  const Lanes4 k1 = kLaneIndex >= 1, k2 = kLaneIndex >= 2, k3 = kLaneIndex >= 3;
  const double* u = at.row_of(i, M);     // u(i, c..c+7)
  const double* a = b.kr + i * mw + j0;  // K(i, j0..j0+3), unscaled
  for (; i < j0; ++i, u += kGroupColumns, a += mw) {
    Vec4 ul, uh;
    load4(uh, u + 4);
    if constexpr (Kind == GroupKind::DiagonalSecondHalf) {
      h[0] -= a[0] * uh;
      sub_kept(h[1], a[1] * uh, k1), sub_kept(h[2], a[2] * uh, k2), sub_kept(h[3], a[3] * uh, k3);
    } else if constexpr (Kind == GroupKind::DiagonalFirstHalf) {
      load4(ul, u);
      l[0] -= a[0] * ul, h[0] -= a[0] * uh;
      sub_kept(l[1], a[1] * ul, k1), h[1] -= a[1] * uh;
      sub_kept(l[2], a[2] * ul, k2), h[2] -= a[2] * uh;
      sub_kept(l[3], a[3] * ul, k3), h[3] -= a[3] * uh;
    } else {
      load4(ul, u);
      l[0] -= a[0] * ul, h[0] -= a[0] * uh;
      l[1] -= a[1] * ul, h[1] -= a[1] * uh;
      l[2] -= a[2] * ul, h[2] -= a[2] * uh;
      l[3] -= a[3] * ul, h[3] -= a[3] * uh;
    }
  }
  if constexpr (Kind == GroupKind::Finish || Kind == GroupKind::FinishEnd) {
    finish_in_registers<Kind == GroupKind::FinishEnd>(b, at, P, x);
    return;
  }
  if (lo) {
    store4(d0, l[0]), store4(d0 + mw, l[1]), store4(d0 + 2 * mw, l[2]), store4(d0 + 3 * mw, l[3]);
  }
  store4(d0 + 4, h[0]), store4(d0 + mw + 4, h[1]), store4(d0 + 2 * mw + 4, h[2]);
  store4(d0 + 3 * mw + 4, h[3]);
}

// Row j, one word at a time, receives every earlier pivot that reaches it.
inline void row_single(Band b, int j) {
  double* __restrict const k = b.k;
  const double* __restrict const kr = b.kr;
  const int M = b.M;
  const std::size_t mw = static_cast<std::size_t>(M);
  const int last = b.reach(j);
  for (int c = j; c <= last; ++c) {
    double v = k[j * mw + c];
    for (int i = std::max(0, c - M); i < j; ++i) v -= kr[i * mw + j] * k[i * mw + c];
    k[j * mw + c] = v;
  }
}

// The block's pivots from SKR once its diagonal group is final.
[[gnu::always_inline]] inline void take_block_pivots(Band b, int j0, BlockPivots& P) {
  const std::size_t mw = static_cast<std::size_t>(b.M);
  for (int s = 0; s < kBlockRows; ++s) {
    const double* rw = b.kr + (j0 + s) * mw;
    P.d[s] = Vec4{} + rw[j0 + s];
    for (int t = s + 1; t < kBlockRows; ++t) P.a[s][t] = rw[j0 + t];
    P.reach[s] = b.reach(j0 + s);
  }
}

// The elimination row by row (see the head of the file), for the wide instruction
// sets.
[[gnu::always_inline]] inline int uptri_rows(Band b) {
  const std::size_t mb = b.stride();
  const int M = b.M, NEQ = b.NEQ;
  const std::vector<double> diag = assembled_diagonals(b.k, mb, NEQ);
  // The group ring, on a 64-byte boundary so that every group row is one cache line.
  const int ring = group_ring(M);
  const std::size_t words = group_words(M);
  std::vector<double> ring_store(static_cast<std::size_t>(ring) * words + 8);
  double* const groups = reinterpret_cast<double*>(
      (reinterpret_cast<std::uintptr_t>(ring_store.data()) + 63) & ~std::uintptr_t{63});
  int j0 = 0;
  for (; j0 + 3 < NEQ; j0 += kBlockRows) {
    // Every earlier pivot, for the four rows at once, eight columns at a time. The
    // next block's rows, not touched since they were assembled, are asked for
    // meanwhile, a line of each per group.
    const int g0 = j0 / kGroupColumns, g1 = b.reach(j0 + 3) / kGroupColumns;
    const bool ahead = j0 + 7 < NEQ;
    int slot = g0 % ring;
    BlockPivots P;
    for (int g = g0; g <= g1; ++g, slot = slot + 1 == ring ? 0 : slot + 1) {
      const BlockGroup at{.group = groups + static_cast<std::size_t>(slot) * words,
                          .j0 = j0,
                          .c = kGroupColumns * g};
      if (g > g0 && at.c + 7 <= b.reach(j0)) {
        rows_group8<GroupKind::Finish>(b, at, P);
      } else if (g > g0) {
        rows_group8<GroupKind::FinishEnd>(b, at, P);
      } else {
        if (j0 % kGroupColumns == 0)
          rows_group8<GroupKind::DiagonalFirstHalf>(b, at, P);
        else
          rows_group8<GroupKind::DiagonalSecondHalf>(b, at, P);
        if (const int bad = finish_diagonal(b, at, diag.data())) return bad;
        take_block_pivots(b, j0, P);
      }
      if (ahead)
        for (int r = j0 + 4; r < j0 + 8; ++r) __builtin_prefetch(b.k + r * (mb - 1) + 8 * g + 4);
    }
  }
  for (; j0 < NEQ; ++j0) {
    row_single(b, j0);
    if (pivot_step(b, j0, diag[j0]) == kRefused) return j0 + 1;
  }
  return 0;
}

// The elimination pivot by pivot over the rows below it: on processors without wide
// vectors the blocks of rows cost more than they save. The stores come as restrict
// parameters (from uptri_by_pivots only): the row updates run about a tenth faster
// than with the Band view, though the instructions are the same in number.
[[gnu::always_inline]] inline int eliminate_by_pivots(double* __restrict k, double* __restrict kr,
                                                      int M, int NEQ) {
  const std::size_t mb = static_cast<std::size_t>(M) + 1;
  const std::vector<double> diag = assembled_diagonals(k, mb, NEQ);
  for (int i = 0; i < NEQ; ++i) {
    double* const ki = k + i * mb;
    double* const ri = kr + i * mb;
    if (!pivot_ok(ki[0], diag[i])) return i + 1;
    const int m = std::min(M, NEQ - 1 - i);
    pivot_row(ki, ri, m, M);
    // Row i+j, words 0..m-j, loses K(i,i+j) times the multipliers u(i, j..m).
    for (int j = 1; j <= m; ++j) axpy_minus(k + (i + j) * mb, ki + j, ri[j], m - j + 1);
  }
  return 0;
}
[[gnu::always_inline]] inline int uptri_by_pivots(Band b) {
  return eliminate_by_pivots(b.k, b.kr, b.M, b.NEQ);
}

[[gnu::always_inline]] inline void disp_impl(Band b, double* __restrict r) {
  const std::size_t mb = b.stride();
  const int M = b.M, NEQ = b.NEQ;
  // Rows are asked for kAhead rows before they are needed: both passes go through the
  // whole band store, which a large mesh makes larger than the cache, and the back
  // substitution is one chain of dependent subtractions, too slow for the processor
  // to fetch ahead by itself.
  constexpr int kAhead = 8;
  for (int i = 0; i < NEQ; ++i) {
    const double* ri = b.kr + i * mb;
    if (i + kAhead < NEQ)
      for (std::size_t w = 0; w < mb; w += 8) __builtin_prefetch(ri + kAhead * mb + w);
    r[i] /= ri[0];
    const double x = r[i];
    const int m = std::min(M, NEQ - 1 - i);
    double* below = r + i;
    for (int c = 1; c <= m; ++c) below[c] -= ri[c] * x;
  }
  for (int i = NEQ - 1; i >= 0; --i) {
    const double* ki = b.k + i * mb;
    if (i >= kAhead)
      for (std::size_t w = 0; w < mb; w += 8) __builtin_prefetch(ki - kAhead * mb + w);
    const int m = std::min(M, NEQ - 1 - i);
    double s = r[i];
    for (int c = 1; c <= m; ++c) s -= ki[c] * r[i + c];
    r[i] = s;
  }
}

// One copy of each kernel per instruction set.
int uptri_base(Band b) {
  return uptri_by_pivots(b);
}
void disp_base(Band b, double* r) {
  disp_impl(b, r);
}
[[gnu::target("avx2")]] int uptri_avx2(Band b) {
  return b.M + 1 >= 8 ? uptri_rows(b) : uptri_by_pivots(b);
}
[[gnu::target("avx2")]] void disp_avx2(Band b, double* r) {
  disp_impl(b, r);
}
[[gnu::target("avx512f")]] int uptri_avx512(Band b) {
  return b.M + 1 >= 8 ? uptri_rows(b) : uptri_by_pivots(b);
}
[[gnu::target("avx512f")]] void disp_avx512(Band b, double* r) {
  disp_impl(b, r);
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

int UPTRI_ISA(BandIsa isa, const BandSystem& band) {
  const Band b = band_of(band);
  switch (isa) {
    case BandIsa::Avx512:
      return uptri_avx512(b);
    case BandIsa::Avx2:
      return uptri_avx2(b);
    case BandIsa::Baseline:
      break;
  }
  return uptri_base(b);
}

void DISP_ISA(BandIsa isa, const BandSystem& band, std::span<double> R) {
  const Band b = band_of(band);
  switch (isa) {
    case BandIsa::Avx512:
      return disp_avx512(b, R.data());
    case BandIsa::Avx2:
      return disp_avx2(b, R.data());
    case BandIsa::Baseline:
      break;
  }
  disp_base(b, R.data());
}

int UPTRI(const BandSystem& band) {
  return UPTRI_ISA(best_isa(), band);
}

void DISP(const BandSystem& band, std::span<double> R) {
  DISP_ISA(best_isa(), band, R);
}

}  // namespace meridolan
