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
};
struct Load {
  double p, x1, x2, y1, y2;
};

// A single-slab deck for a load analysis.
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
  int icomp = 0;
  std::vector<Load> loads;

  std::string text() const {
    std::string d = "1\n" + title + "\n";
    d += fmt_i(int(loads.size())) + fmt_i(isym) + fmt_i(0) + fmt_i(0) + "\n";
    d += fmt_i(int(xc.size())) + "\n" + fmt_i(int(yc.size())) + "\n";
    d += fmt_i(int(layers.size())) + fmt_i(icomp) + fmt_f(k) + fmt_f(isubgr == 8 ? esub : vshear) +
         fmt_f(prsub) + "\n";
    d += fmt_i(isubgr) + fmt_i(maxit) + "          " + fmt_i(iprit) + "\n";
    d += "000000   0\n";
    d += list8(xc, 4) + list8(yc, 4);
    for (const Layer& l : layers)
      d += fmt_f(l.h) + fmt_e(l.E) + fmt_f(l.nu) + fmt_f(0) + fmt_f(0) + fmt_e(0) + "\n";
    // No modulus on the control record: every node gets the default modulus, here
    // zero (an unsupported slab).
    if (k == 0.0 && isubgr != 8) d += fmt_f(0.0) + fmt_i(0) + "\n";
    for (const Load& q : loads)
      d += fmt_f(q.p) + fmt_f(q.x1) + fmt_f(q.x2) + fmt_f(q.y1) + fmt_f(q.y2) + "\n";
    return d;
  }
};

}  // namespace meridolan::testing
