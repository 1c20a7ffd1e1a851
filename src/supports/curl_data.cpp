// Slab weight, plan extents and centre of curling, gap and zero-pressure echoes.
#include "supports/curl_data.h"

#include <algorithm>
#include <span>
#include <vector>

namespace meridolan {

bool per_node_thickness(const Control& C) {
  return C.TH1 == 0.0 || (C.NLAYER == 2 && C.TH2 == 0.0);
}

double unit_weight(const Control& C, const Work& w, int n) {
  if (!per_node_thickness(C)) return C.TH1 * C.GAM1 + C.TH2 * C.GAM2;
  double W = w.THN1[n - 1] * C.GAM1;
  if (C.NLAYER == 2) W += w.THN2[n - 1] * C.GAM2;
  return W;
}

double self_weight(const Control& C, const Work& w) {
  if (!per_node_thickness(C)) {
    // The node lines need not start at zero: the plan is the area between the
    // first and the last of them.
    const double lx = w.XC[C.NXT - 1] - w.XC[0];
    const double ly = w.YC[C.NYT - 1] - w.YC[0];
    return unit_weight(C, w, 1) * lx * ly;
  }
  double swt = 0.0;
  for (int n = 1; n <= C.NNODE; ++n) swt += w.QSUB[n - 1] * unit_weight(C, w, n);
  return swt;
}

PlanPoint curling_centre(const Control& C, const Work& w) {
  const double x0 = w.XC[0], y0 = w.YC[0];
  const double xm = (x0 + w.XC[C.NXT - 1]) / 2.0;
  const double ym = (y0 + w.YC[C.NYT - 1]) / 2.0;
  switch (C.ISYM) {
    case 0:
      return {xm, ym};
    case 1:  // the first y-line is a line of symmetry
      return {xm, y0};
    case 2:  // the first x-line is a line of symmetry
      return {x0, ym};
    default:
      return {x0, y0};
  }
}

void print_gap_list(Report& rep, const Control& C, const Work& w) {
  static const Format kGaps("/, /, 5X, 'NODE NUMBER AND GAP AT THE NODE', /, 5X, 8(I5, F10.3)");
  std::vector<Item> pairs;
  for (int i = 0; i < C.NGAPN; ++i) {
    const int n = w.IGAPN[i];
    pairs.emplace_back(n);
    pairs.emplace_back(w.GAPN[n - 1]);
  }
  rep.write(kGaps, pairs);
}

void print_zero_pressure_list(Report& rep, const Control& C, const Work& w) {
  static const Format kZrp("/, /, 5X, 'NODES WITH ZERO INITIAL REACTIVE PRESSURE', /, 5X, 20I5");
  rep.write(kZrp, items(std::span<const int>(w.IZRP.data(), std::max(C.NZRP, 0))));
}

}  // namespace meridolan
