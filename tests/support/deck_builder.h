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

struct Gap {
  int node;
  double gap;
};

// A single-slab deck for a load analysis, or (icurl != 0) a temperature and gap
// analysis.
struct SlabDeck {
  std::string title = "TEST SLAB";
  std::vector<double> xc, yc;
  int isym = 0;
  int isubgr = 5;
  double k = 200.0;
  double vshear = 0.0;  // ESUB field, the Vlasov parameter for subgrade type 9
  std::vector<Layer> layers{Layer{}};
  std::vector<double> thn1;  // top-layer thickness per node, read when layers[0].h = 0
  int icomp = 0;
  std::vector<Load> loads;
  // Temperature and gap analysis.
  int icurl = 0, iwink = 0;
  std::vector<int> zero_pressure;
  std::vector<Gap> gaps;
  int icycle = 10;

  std::string text() const {
    std::string d = "1\n" + title + "\n";
    d += fmt_i(int(loads.size())) + fmt_i(isym) + fmt_i(icurl) + fmt_i(iwink) + "\n";
    d += fmt_i(int(xc.size())) + "\n" + fmt_i(int(yc.size())) + "\n";
    d += fmt_i(int(layers.size())) + fmt_i(icomp) + fmt_f(k) + fmt_f(vshear) + fmt_f(0.0) + "\n";
    d += fmt_i(isubgr) + fmt_i(1) + "          " + fmt_i(0) + "\n";
    d += "000000   0\n";
    d += list8(xc, 4) + list8(yc, 4);
    for (std::size_t i = 0; i < layers.size(); ++i) {
      const Layer& l = layers[i];
      d += fmt_f(l.h) + fmt_e(l.E) + fmt_f(l.nu) + fmt_f(l.gam) + fmt_f(l.dt) + fmt_e(l.alf) + "\n";
      if (i == 0 && l.h == 0.0) d += list8(thn1);
    }
    // No modulus on the control record: every node gets the default modulus, here
    // zero (an unsupported slab).
    if (k == 0.0 && isubgr != 8) d += fmt_f(0.0) + fmt_i(0) + "\n";
    for (const Load& q : loads)
      d += fmt_f(q.p) + fmt_f(q.x1) + fmt_f(q.x2) + fmt_f(q.y1) + fmt_f(q.y2) + "\n";
    if (icurl != 0) {
      d += fmt_i(int(zero_pressure.size())) + fmt_i(int(gaps.size())) + fmt_i(icycle) + "\n";
      for (std::size_t i = 0; i < zero_pressure.size(); ++i)
        d += fmt_i(zero_pressure[i]) + (i % 16 == 15 || i + 1 == zero_pressure.size() ? "\n" : "");
      for (std::size_t i = 0; i < gaps.size(); ++i)
        d += fmt_i(gaps[i].node) + fmt_f(gaps[i].gap) +
             (i % 5 == 4 || i + 1 == gaps.size() ? "\n" : "");
    }
    return d;
  }
};

}  // namespace meridolan::testing
