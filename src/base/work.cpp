#include "base/work.h"

#include <type_traits>

namespace meridolan {

std::array<std::int64_t, 44> segment_lengths(const Control& c) {
  const std::int64_t nn = c.NNODE, la = c.NLAREA, ms = Control::MAXSUB;
  return {
      nn,          //  1 XN
      nn,          //  2 YN
      c.LJX,       //  3 TDX
      c.LJY,       //  4 TDY
      c.LSK,       //  5 SK
      c.LSKR,      //  6 SKR
      la,          //  7 PA
      la,          //  8 XA1
      la,          //  9 YA1
      la,          // 10 XA2
      la,          // 11 YA2
      ms,          // 12 NES
      ms,          // 13 PS
      ms,          // 14 XS1
      ms,          // 15 YS1
      ms,          // 16 XS2
      ms,          // 17 YS2
      3 * nn,      // 18 R
      3 * nn,      // 19 STS1
      3 * c.LL2,   // 20 STS2
      5 * nn,      // 21 STN1
      5 * c.LL2,   // 22 STN2
      c.NXT,       // 23 XC
      c.NYT,       // 24 YC
      nn,          // 25 THN1
      c.LL2,       // 26 THN2
      nn,          // 27 EN1
      c.LL2,       // 28 EN2
      c.LKN,       // 29 SKN
      c.LSOIL,     // 30 ISOIL
      c.NPACK,     // 31 SKP
      nn,          // 32 GAPN
      nn,          // 33 IGAPN
      nn,          // 34 IZRP
      nn,          // 35 WSUB
      3 * nn,      // 36 RSAV
      nn,          // 37 ICON
      nn,          // 38 ICONP
      nn,          // 39 QSUB
      c.LJX,       // 40 TAX
      nn + c.LJY,  // 41 TAY
      c.NYT,       // 42 NDOWX
      c.NXT,       // 43 NDOWY
      nn,          // 44 ICHG
  };
}

void allocate(Work& w, const Control& c) {
  auto len = segment_lengths(c);
  // The table sizes SK for the elastic solid as the larger of the band store and the
  // inverse flexibility it once held as well; the flexibility now has storage of its
  // own, so SK holds the band store only.
  len[4] = c.NBAND;
  int k = 0;
  // Band vectors are made afresh: their allocator hands out zeroed memory.
  auto next = [&](auto& v) {
    using V = std::decay_t<decltype(v)>;
    const auto n = static_cast<std::size_t>(len[k++]);
    if constexpr (std::is_same_v<V, BandVector>)
      v = BandVector(n);
    else
      v.assign(n, 0);
  };
  next(w.XN), next(w.YN), next(w.TDX), next(w.TDY), next(w.SK), next(w.SKR);
  next(w.PA), next(w.XA1), next(w.YA1), next(w.XA2), next(w.YA2);
  next(w.NES);
  next(w.PS), next(w.XS1), next(w.YS1), next(w.XS2), next(w.YS2);
  next(w.R), next(w.STS1), next(w.STS2), next(w.STN1), next(w.STN2);
  next(w.XC), next(w.YC), next(w.THN1), next(w.THN2), next(w.EN1), next(w.EN2), next(w.SKN);
  next(w.ISOIL);
  next(w.SKP), next(w.GAPN);
  next(w.IGAPN), next(w.IZRP);
  next(w.WSUB), next(w.RSAV);
  next(w.ICON), next(w.ICONP);
  next(w.QSUB), next(w.TAX), next(w.TAY);
  next(w.NDOWX), next(w.NDOWY), next(w.ICHG);
  w.SK_zero = true;
}

}  // namespace meridolan
