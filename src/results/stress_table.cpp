// Stress table: one line per surface, depth measured down from the slab top.
#include "results/stress_table.h"

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
  const AxisDistances na = NAXIS(node_layers(w, n));
  const double g = (h1 / 2 + na.ZNA1) / (h2 / 2 + na.ZNA2);
  const Row b1 = bottom_row(w.STN1, N, n), b2 = bottom_row(w.STN2, N, n);
  const double f1 = -g * (E1 / E2), f2 = E2 / E1;
  return {{f1 * b2[0], f1 * b2[1], f1 * b2[2], f1 * b2[4], f1 * b2[3]},
          {f2 * b1[0], f2 * b1[1], f2 * b1[2], f2 * b1[3], f2 * b1[4]}};
}

void resize(FaceStresses& f, int n) {
  for (auto* c : {&f.x, &f.y, &f.xy, &f.major, &f.minor}) c->resize(n);
}

void put(FaceStresses& f, int n, const Row& r) {
  f.x[n - 1] = r[0];
  f.y[n - 1] = r[1];
  f.xy[n - 1] = r[2];
  f.major[n - 1] = r[3];
  f.minor[n - 1] = r[4];
}

Row row(const FaceStresses& f, int n) {
  const int i = n - 1;
  return {f.x[i], f.y[i], f.xy[i], f.major[i], f.minor[i]};
}

}  // namespace

void layer_faces(const Control& C, const Work& w, std::array<LayerStresses, 2>& layers) {
  const int N = C.NNODE;
  const bool two = two_layers(C);
  layers = {};
  resize(layers[0].top, N);
  resize(layers[0].bottom, N);
  if (two) {
    resize(layers[1].top, N);
    resize(layers[1].bottom, N);
  }
  for (int n = 1; n <= N; ++n) {
    const Row b1 = bottom_row(w.STN1, N, n);
    put(layers[0].bottom, n, b1);
    if (!two) {
      put(layers[0].top, n, mirrored(b1));
      continue;
    }
    const Row b2 = bottom_row(w.STN2, N, n);
    const TopRows t = C.ICOMP == 1 ? bonded_tops(w, N, n) : TopRows{mirrored(b1), mirrored(b2)};
    put(layers[0].top, n, t.layer1);
    put(layers[1].top, n, t.layer2);
    put(layers[1].bottom, n, b2);
  }
}

void print_stress_table(Report& rep, const Control& C, const Work& w,
                        const std::array<LayerStresses, 2>& layers) {
  static const Format kHead(
      "11X, 'NODE', 10X, 'DEPTH', 6X, 'X-STRESS', 8X, 'Y-STRESS', 8X, 'XY-STRESS', 3X, "
      "'MAJ.PRINC.STRESS', 2X, 'MIN.PRINC.STRESS', /");
  static const Format kFirst("/, 10X, I5, 5X, F10.3, 5(3X, F13.6)");
  static const Format kNext("20X, F10.3, 5(3X, F13.6)");
  const bool two = two_layers(C);
  // Two-layer nodes take four lines, so fewer fit on a page.
  const int block = two ? 11 : 18;
  rep.write(kHead);
  auto next = [&rep](double depth, const Row& r) {
    rep.write(kNext, {depth, r[0], r[1], r[2], r[3], r[4]});
  };
  paged_nodes(rep, C.NNODE, block, [&](int n) {
    const double h1 = w.THN1[n - 1];
    const Row t = row(layers[0].top, n);
    rep.write(kFirst, {n, 0.0, t[0], t[1], t[2], t[3], t[4]});
    next(h1, row(layers[0].bottom, n));
    if (!two) return;
    next(h1, row(layers[1].top, n));
    next(h1 + w.THN2[n - 1], row(layers[1].bottom, n));
  });
}

}  // namespace meridolan::results
