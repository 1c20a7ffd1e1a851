// Builds fixed-column decks for tests: one slab, one load analysis.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace meridolan::testing {

inline std::string fmt_i(int v, int w = 5) {
  char b[32];
  std::snprintf(b, sizeof b, "%*d", w, v);
  return b;
}
inline std::string fmt_f(double v, int w = 10, int d = 3) {
  char b[64];
  std::snprintf(b, sizeof b, "%*.*f", w, d, v);
  return b;
}
inline std::string fmt_e(double v, int w = 10) {
  char b[64];
  std::snprintf(b, sizeof b, "%*.3E", w, v);
  return b;
}
// A list of reals, eight F10.3 fields per line (more decimals when they fit).
inline std::string list8(const std::vector<double>& v, int d = 3) {
  std::string s;
  for (std::size_t i = 0; i < v.size(); ++i) {
    s += fmt_f(v[i], 10, d);
    if (i % 8 == 7 || i + 1 == v.size()) s += '\n';
  }
  return s;
}

struct Layer {
  double h = 8.0, E = 4.0e6, nu = 0.15;
  double gam = 0.0, dt = 0.0, alf = 0.0;  // read only in temperature analyses
};
struct Load {
  double p, x1, x2, y1, y2;
};

// The joints of one direction: control record 9 or 10 and records J1 to J4.
struct JointRecords {
  int lt = 2;                     // 0 aggregate interlock, 1 dowels, 2 both
  std::vector<int> jsw{0, 0, 0};  // component switches as given in the deck
  double di = 0.0, dout = 1.25, ed = 2.9e7, sp = 12.0, wj = 0.25, prd = 0.3, kdc = 1.5e6;
  std::vector<int> list;  // dowel nodes, read when sp = 0
  double agg = 5.0e4;

  std::string control() const {
    return fmt_i(lt) + fmt_i(jsw[0]) + fmt_i(jsw[1]) + fmt_i(jsw[2]) + "\n";
  }
  std::string records() const {
    std::string d;
    if (lt != 0) {
      d += fmt_f(di) + fmt_f(dout) + fmt_e(ed) + fmt_f(sp) + fmt_f(wj) + fmt_f(prd) + fmt_e(kdc) +
           "\n";
      if (sp == 0.0) {
        d += fmt_i(int(list.size())) + "\n";
        for (std::size_t i = 0; i < list.size(); ++i)
          d += fmt_i(list[i]) + (i % 16 == 15 || i + 1 == list.size() ? "\n" : "");
      }
    }
    if (lt != 1) d += fmt_e(agg) + "\n";
    return d;
  }
};

struct Gap {
  int node;
  double gap;
};

// A deck for a load analysis, or (icurl != 0) a temperature and gap analysis: one
// slab, or several when the node counts say so.
struct SlabDeck {
  std::string title = "TEST SLAB";
  std::vector<double> xc, yc;
  int isym = 0;
  int isubgr = 5;
  double k = 200.0;
  double vshear = 0.0;  // ESUB field, the Vlasov parameter for subgrade type 9
  double esub = 0.0;    // ESUB field for subgrade type 8, the elastic solid
  double prsub = 0.0;
  int maxit = 1, iprit = 0;
  std::vector<Layer> layers{Layer{}};
  std::vector<double> thn1;  // top-layer thickness per node, read when layers[0].h = 0
  int icomp = 0;
  std::vector<Load> loads;
  // Node counts of the slab columns and rows; empty: one slab of all node lines.
  std::vector<int> nnx, nny;
  JointRecords jx, jy;  // used for joints in x (several columns) and in y (rows)
  // Temperature and gap analysis.
  int icurl = 0, iwink = 0;
  std::vector<int> zero_pressure;
  std::vector<Gap> gaps;
  int icycle = 10;
  // Stress-dependent subgrade: pass limit, tolerances, print switch, the soil class
  // of each node (type 0) and what follows the model records (parameter cards).
  double tol1 = 0.0, tol2 = 0.0;
  std::vector<int> isoil;
  std::string contour = "000000   0";
  std::string tail;

  std::string text() const {
    const std::vector<int> cx = nnx.empty() ? std::vector<int>{int(xc.size())} : nnx;
    const std::vector<int> cy = nny.empty() ? std::vector<int>{int(yc.size())} : nny;
    const bool joints_x = cx.size() > 1, joints_y = cy.size() > 1;
    std::string d = "1\n" + title + "\n";
    d += fmt_i(int(loads.size())) + fmt_i(isym) + fmt_i(icurl) + fmt_i(iwink) + "\n";
    for (int v : cx) d += fmt_i(v);
    d += "\n";
    for (int v : cy) d += fmt_i(v);
    d += "\n";
    d += fmt_i(int(layers.size())) + fmt_i(icomp) + fmt_f(k) + fmt_f(isubgr == 8 ? esub : vshear) +
         fmt_f(prsub) + "\n";
    d += fmt_i(isubgr) + fmt_i(maxit) + fmt_f(tol1, 5, 3) + fmt_f(tol2, 5, 3) + fmt_i(iprit) + "\n";
    d += contour + "\n";
    if (joints_x) d += jx.control();
    if (joints_y) d += jy.control();
    d += list8(xc, 4) + list8(yc, 4);
    for (std::size_t i = 0; i < layers.size(); ++i) {
      const Layer& l = layers[i];
      d += fmt_f(l.h) + fmt_e(l.E) + fmt_f(l.nu) + fmt_f(l.gam) + fmt_f(l.dt) + fmt_e(l.alf) + "\n";
      if (i == 0 && l.h == 0.0) d += list8(thn1);
    }
    // No modulus on the control record: every node gets the default modulus, here
    // zero (an unsupported slab).
    if (k == 0.0 && isubgr != 8) d += fmt_f(0.0) + fmt_i(0) + "\n";
    if (joints_x) d += jx.records();
    if (joints_y) d += jy.records();
    for (const Load& q : loads)
      d += fmt_f(q.p) + fmt_f(q.x1) + fmt_f(q.x2) + fmt_f(q.y1) + fmt_f(q.y2) + "\n";
    for (std::size_t i = 0; i < isoil.size(); ++i)
      d += fmt_i(isoil[i]) + (i % 8 == 7 || i + 1 == isoil.size() ? "\n" : "");
    if (icurl != 0) {
      d += fmt_i(int(zero_pressure.size())) + fmt_i(int(gaps.size())) + fmt_i(icycle) + "\n";
      for (std::size_t i = 0; i < zero_pressure.size(); ++i)
        d += fmt_i(zero_pressure[i]) + (i % 16 == 15 || i + 1 == zero_pressure.size() ? "\n" : "");
      for (std::size_t i = 0; i < gaps.size(); ++i)
        d += fmt_i(gaps[i].node) + fmt_f(gaps[i].gap) +
             (i % 5 == 4 || i + 1 == gaps.size() ? "\n" : "");
    }
    return d + tail;
  }
};

// One slab of 7 x 7 irregularly spaced node lines under one wheel.
inline SlabDeck small_slab() {
  SlabDeck d;
  d.xc = {0, 24, 48, 60, 72, 96, 120};
  d.yc = {0, 24, 36, 48, 60, 72, 96};
  d.loads = {Load{75.0, 54.0, 66.0, 42.0, 54.0}};
  return d;
}

}  // namespace meridolan::testing
