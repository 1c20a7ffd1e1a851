// Small slab models built directly in memory for the results tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan::testing {

struct Model {
  Control C;
  Work w;
  Results res;
};

// A mesh of NNX slab columns by NNY slab rows. Node lines inside a slab are
// `dx`/`dy` apart (the k-th spacing scaled by 1 + k/4 when `graded`); a joint is a
// pair of node lines at the same coordinate. One layer of h = 10, E = 4e6,
// nu = 0.15 on a dense liquid with k = 100; a pass that prints stresses.
Model make_model(std::vector<int> nnx, std::vector<int> nny, double dx = 12.0, double dy = 10.0,
                 bool graded = false);

// Adds a second layer (h2, E2, nu2) and sizes the bottom-layer tables.
void add_layer(Model& m, double h2, double E2, double nu2, int icomp);

// Sets the displacement vector from w(x, y) and its slopes: w, -dw/dy, +dw/dx.
template <class W, class WX, class WY>
void set_field(Model& m, W w, WX wx, WY wy) {
  for (int n = 1; n <= m.C.NNODE; ++n) {
    const double x = m.w.XN[n - 1], y = m.w.YN[n - 1];
    m.w.R[3 * (n - 1)] = w(x, y);
    m.w.R[3 * (n - 1) + 1] = -wy(x, y);
    m.w.R[3 * (n - 1) + 2] = wx(x, y);
  }
}

// Column k (1-based) of node n in a column-major node table.
inline double col(const std::vector<double>& t, int rows, int n, int k) {
  return t[(k - 1) * rows + (n - 1)];
}

// Runs `print` against a fresh report and returns the bytes written.
template <class F>
std::string capture(F print) {
  std::ostringstream os;
  Report rep(os);
  print(rep);
  rep.complete_line();
  return os.str();
}

// Number of non-overlapping occurrences of `what` in `text`.
int count_of(const std::string& text, const std::string& what);

// The page throw "'1', /": a new page, then the start of its empty second record.
inline const std::string kPageThrow = "\r\n\f\b \r\r\n";

}  // namespace meridolan::testing

namespace meridolan::testing {

// Expected text of one output field: Fw.d (no zero before the decimal point when
// the integer part is zero), Iw and nX.
std::string F(double v, int w, int d);
std::string I(int v, int w);
inline std::string X(int n) {
  return std::string(n, ' ');
}

}  // namespace meridolan::testing
