// Stress table: one line per surface, depth measured down from the slab top.
#include "results/stress_table.h"

#include <algorithm>
#include <array>

#include "results/layer_stress.h"
#include "results/results_layout.h"

namespace meridolan::results {
namespace {

using Row = std::array<double, 5>;  // x, y, xy, major, minor

Row bottom_row(const std::vector<double>& stn, int rows, int n) {
  return {at(stn, rows, n, 1), at(stn, rows, n, 2), at(stn, rows, n, 3), at(stn, rows, n, 4),
          at(stn, rows, n, 5)};
}

// A layer bending about its own mid-plane: the top mirrors the bottom, so the
// major principal stress at the top is the negated minor one at the bottom.
Row mirrored(const Row& b) {
  return {-b[0], -b[1], -b[2], -b[4], -b[3]};
}

struct TopRows {
  Row layer1, layer2;
};

// Bonded layers: the top of the top layer scales the bottom of the bottom layer by
// the distances from the neutral axis, and the interface carries the strain of the
// bottom of the top layer into the stiffer or softer bottom layer.
TopRows bonded_tops(const Work& w, int N, int n) {
  const double h1 = w.THN1[n - 1], h2 = w.THN2[n - 1];
  const double E1 = w.EN1[n - 1], E2 = w.EN2[n - 1];
  const NeutralAxis na = neutral_axis(h1, h2, E1, E2);
  const double g = (h1 / 2 + na.zna1) / (h2 / 2 + na.zna2);
  const Row b1 = bottom_row(w.STN1, N, n), b2 = bottom_row(w.STN2, N, n);
  const double f1 = -g * (E1 / E2), f2 = E2 / E1;
  return {{f1 * b2[0], f1 * b2[1], f1 * b2[2], f1 * b2[4], f1 * b2[3]},
          {f2 * b1[0], f2 * b1[1], f2 * b1[2], f2 * b1[3], f2 * b1[4]}};
}

void print_node(Report& rep, const Control& C, const Work& w, int n) {
  static const Format kFirst("/, 10X, I5, 5X, F10.3, 5(3X, F13.6)");
  static const Format kNext("20X, F10.3, 5(3X, F13.6)");
  const int N = C.NNODE;
  const Row b1 = bottom_row(w.STN1, N, n);
  const double h1 = w.THN1[n - 1];
  if (!two_layers(C)) {
    const Row t1 = mirrored(b1);
    rep.write(kFirst, {n, 0.0, t1[0], t1[1], t1[2], t1[3], t1[4]});
    rep.write(kNext, {h1, b1[0], b1[1], b1[2], b1[3], b1[4]});
    return;
  }
  const Row b2 = bottom_row(w.STN2, N, n);
  const TopRows t = C.ICOMP == 1 ? bonded_tops(w, N, n) : TopRows{mirrored(b1), mirrored(b2)};
  rep.write(kFirst, {n, 0.0, t.layer1[0], t.layer1[1], t.layer1[2], t.layer1[3], t.layer1[4]});
  rep.write(kNext, {h1, b1[0], b1[1], b1[2], b1[3], b1[4]});
  rep.write(kNext, {h1, t.layer2[0], t.layer2[1], t.layer2[2], t.layer2[3], t.layer2[4]});
  rep.write(kNext, {h1 + w.THN2[n - 1], b2[0], b2[1], b2[2], b2[3], b2[4]});
}

}  // namespace

void stress_table(Report& rep, const Control& C, const Work& w) {
  static const Format kHead(
      "11X, 'NODE', 10X, 'DEPTH', 6X, 'X-STRESS', 8X, 'Y-STRESS', 8X, 'XY-STRESS', 3X, "
      "'MAJ.PRINC.STRESS', 2X, 'MIN.PRINC.STRESS', /");
  // Two-layer nodes take four lines, so fewer fit on a page.
  const int block = two_layers(C) ? 11 : 18;
  rep.write(kHead);
  paged_nodes(rep, C.NNODE, block, [&](int n) { print_node(rep, C, w, n); });
}

}  // namespace meridolan::results
