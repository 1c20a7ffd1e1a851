// Test helper: a single-slab (or multi-slab) model built directly from node-line
// coordinates, with uniform layer and subgrade data, ready for STIFF.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/control.h"
#include "model/stiff.h"
#include "solvers/band.h"
#include "support/dimensions.h"

namespace meridolan::testing {

struct SlabModel {
  Control C;
  std::vector<double> XN, YN, SKN, THN1, EN1, THN2, EN2, SK, SKR, R;
  std::vector<int> ICON, NDOWX, NDOWY;
  StiffWork W;

  StiffData data() const { return stiff_data(*this); }
  BandSystem band() { return band_system(C, *this); }

  // Clears the band store and assembles it.
  void assemble() {
    std::fill(SK.begin(), SK.end(), 0.0);
    STIFF(C, data(), SK, W);
  }

  std::size_t word(int row, int col) const {  // 1-based equation numbers, col >= row
    return static_cast<std::size_t>(row - 1) * C.MBAND + (col - row);
  }
};

// One layer of thickness h, modulus E, Poisson ratio nu on a subgrade of modulus k at
// every node (dense liquid unless isubgr says otherwise). nslab only sets NSLAB.
inline SlabModel makeSlab(const std::vector<double>& xc, const std::vector<double>& yc, double h,
                          double E, double nu, double k, int isubgr = 5, int nslab = 1) {
  SlabModel m;
  Control& C = m.C;
  C.NLAYER = 1;
  C.ISUBGR = isubgr;
  dimension(C, {static_cast<int>(xc.size())}, {static_cast<int>(yc.size())});
  C.NSLAB = nslab;
  C.ICOMP = 0;
  C.PR1 = nu;
  C.PR2 = 0.0;
  C.GSH = {(1.0 - nu) / 2.0, 0.5};
  C.ISUBGR = isubgr;
  C.ICURL = 0;
  for (int ix = 0; ix < C.NXT; ++ix)
    for (int iy = 0; iy < C.NYT; ++iy) {
      m.XN.push_back(xc[ix]);
      m.YN.push_back(yc[iy]);
    }
  const std::size_t n = C.NNODE;
  m.SKN.assign(n, k);
  m.THN1.assign(n, h);
  m.EN1.assign(n, E);
  m.THN2.assign(n, 0.0);
  m.EN2.assign(n, 0.0);
  m.ICON.assign(n, 0);
  m.SK.assign(C.NBAND, 0.0);
  m.SKR.assign(C.NBAND, 0.0);
  m.R.assign(C.NEQ, 0.0);
  return m;
}

// Node lines 0, dx, 2dx, ... (n lines).
inline std::vector<double> lines(int n, double dx, double x0 = 0.0) {
  std::vector<double> v(n);
  for (int i = 0; i < n; ++i) v[i] = x0 + i * dx;
  return v;
}

}  // namespace meridolan::testing
