#include "model_fixture.h"

#include <cstdio>

#include "support/dimensions.h"

namespace meridolan::testing {
namespace {

// Coordinates of the node lines: spacing within a slab, repeated line at a joint.
std::vector<double> node_lines(const std::vector<int>& counts, double step, bool graded) {
  std::vector<double> c;
  double pos = 0;
  int k = 0;
  for (int slab = 0; slab < static_cast<int>(counts.size()); ++slab) {
    for (int i = 0; i < counts[slab]; ++i) {
      if (i > 0) pos += graded ? step * (1 + 0.25 * (k++ % 4)) : step;
      c.push_back(pos);
    }
  }
  return c;
}

}  // namespace

Model make_model(std::vector<int> nnx, std::vector<int> nny, double dx, double dy, bool graded) {
  Model m;
  Control& C = m.C;
  C.NLAYER = 1;
  C.ISUBGR = 5;
  dimension(C, nnx, nny);
  C.MAXIT = 1;
  C.TH1 = 10;
  C.E1 = 4e6;
  C.PR1 = 0.15;
  C.GSH = {(1 - C.PR1) / 2, 0.5};

  const int N = C.NNODE;
  Work& w = m.w;
  const std::vector<double> xc = node_lines(nnx, dx, graded), yc = node_lines(nny, dy, graded);
  w.XN.resize(N);
  w.YN.resize(N);
  for (int n = 1; n <= N; ++n) {
    w.XN[n - 1] = xc[(n - 1) / C.NYT];
    w.YN[n - 1] = yc[(n - 1) % C.NYT];
  }
  w.R.assign(C.NEQ, 0.0);
  w.STS1.assign(3 * N, 0.0);
  w.STN1.assign(5 * N, 0.0);
  w.STS2.assign(3, 0.0);
  w.STN2.assign(5, 0.0);
  w.THN1.assign(N, C.TH1);
  w.EN1.assign(N, C.E1);
  w.THN2.assign(1, 0.0);
  w.EN2.assign(1, 0.0);
  w.SKN.assign(N, 100.0);
  w.GAPN.assign(N, 0.0);
  w.QSUB.assign(N, 0.0);
  w.ICON.assign(N, 0);
  return m;
}

void add_layer(Model& m, double h2, double E2, double nu2, int icomp) {
  const int N = m.C.NNODE;
  m.C.NLAYER = 2;
  m.C.ICOMP = icomp;
  m.C.TH2 = h2;
  m.C.E2 = E2;
  m.C.PR2 = nu2;
  m.C.GSH[1] = (1 - nu2) / 2;
  m.w.STS2.assign(3 * N, 0.0);
  m.w.STN2.assign(5 * N, 0.0);
  m.w.THN2.assign(N, h2);
  m.w.EN2.assign(N, E2);
}

int count_of(const std::string& text, const std::string& what) {
  int k = 0;
  for (auto p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size())) ++k;
  return k;
}

}  // namespace meridolan::testing

namespace meridolan::testing {

std::string F(double v, int w, int d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", d, v);
  std::string s = buf;
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  if (static_cast<int>(s.size()) > w) return std::string(w, '*');
  return std::string(w - s.size(), ' ') + s;
}

std::string I(int v, int w) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) > w) return std::string(w, '*');
  return std::string(w - s.size(), ' ') + s;
}

}  // namespace meridolan::testing
