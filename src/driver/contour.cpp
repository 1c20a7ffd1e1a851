#include "driver/contour.h"

#include <vector>

#include "results/layer_stress.h"
#include "results/results_layout.h"

namespace meridolan {

void read_contour_record(Deck& deck, Control& C) {
  static const Format kLast("6I1, F10.7");
  auto& d = C.ICONT2;
  deck.read(kLast, {d[0], d[1], d[2], d[3], d[4], d[5], C.CSCALE});
}

void contour_header(Report& cnt, const Control& C) {
  static const Format kHeader("7I15");
  const int NSTRV = (C.NLAYER == 1 ? 6 : 8) * C.NNODE;
  std::vector<Item> v{C.MEMCON, C.NNODE,  C.NGRID, C.NNX[0], C.NNX[1], C.NNX[2],
                      C.NNY[0], C.NNY[1], NSTRV,   C.NXT,    C.NYT};
  for (int d : C.ICONT) v.emplace_back(d);
  for (int d : C.ICONT2) v.emplace_back(d);
  cnt.write(kHeader, v);
}

void contour_data(Report& cnt, const Control& C, const Work& w) {
  static const Format kData("8E15.8");
  const int N = C.NNODE;
  std::vector<Item> v;
  v.reserve(1 + 6 * static_cast<std::size_t>(N));
  v.emplace_back(C.CSCALE);
  for (int n = 1; n <= N; ++n) v.emplace_back(w.XN[n - 1]);
  for (int n = 1; n <= N; ++n) v.emplace_back(w.YN[n - 1]);
  for (int n = 1; n <= N; ++n) v.emplace_back(results::defl(w.R, n));
  for (int k : {1, 4, 5})
    for (int n = 1; n <= N; ++n) v.emplace_back(results::at(w.STN1, N, n, k));
  cnt.write(kData, v);
}

void write_contour_file(Report& cnt, const Control& C, Work& w) {
  if (!w.stresses_current) results::nodal_stresses(C, w);
  contour_header(cnt, C);
  contour_data(cnt, C, w);
}

}  // namespace meridolan
