#include "driver/work.h"

namespace meridolan {

std::array<std::int64_t, 44> segment_lengths(const Control& c) {
  const std::int64_t nn = c.NNODE, la = c.NLAREA, ms = Control::MAXSUB;
  return {nn,      nn,      c.LJX,  c.LJY,  c.LSK,   c.LSKR,  la,     la,     la,
          la,      la,      ms,     ms,     ms,      ms,      ms,     ms,     3 * nn,
          3 * nn,  3 * c.LL2, 5 * nn, 5 * c.LL2, c.NXT, c.NYT, nn,     c.LL2,  nn,
          c.LL2,   c.LKN,   c.LSOIL, c.NPACK, nn,     nn,      nn,     nn,     3 * nn,
          nn,      nn,      nn,     c.LJX,  nn + c.LJY, c.NYT, c.NXT, nn};
}

void allocate(Work& w, const Control& c) {
  const auto len = segment_lengths(c);
  int k = 0;
  auto next = [&](auto& v) { v.assign(static_cast<std::size_t>(len[k++]), 0); };
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
  w.ext = Extremes{};
}

}  // namespace meridolan
