// Extreme-value search and the summary printed after the stress table.
#include "results/extremes.h"

#include "results/results_layout.h"
#include "results/stress.h"

namespace meridolan::results {
namespace {

void keep_range(Extreme& largest, Extreme& smallest, double v, int n) {
  if (largest.value <= v) largest = {v, n};
  if (v <= smallest.value) smallest = {v, n};
}

// Columns x, y, minor, major of one layer's bottom-face table.
void keep_layer(LayerExtremes& e, const std::vector<double>& stn, int rows, int n) {
  keep_range(e.x_max, e.x_min, at(stn, rows, n, 1), n);
  keep_range(e.y_max, e.y_min, at(stn, rows, n, 2), n);
  keep_range(e.minor_max, e.minor_min, at(stn, rows, n, 5), n);
  keep_range(e.major_max, e.major_min, at(stn, rows, n, 4), n);
}

}  // namespace

void search_extremes(const Control& C, const Work& w, ExtremeValues& e) {
  const int N = C.NNODE;
  // The bottom-layer table has a row per node only when it was sized for two layers.
  const bool layer2 = C.NLAYER != 1 && w.STN2.size() >= 5 * static_cast<std::size_t>(N);
  for (int n = 1; n <= N; ++n) {
    keep_range(e.deflection_max, e.deflection_min, defl(w.R, n), n);
    keep_layer(e.bottom[0], w.STN1, N, n);
    if (layer2) keep_layer(e.bottom[1], w.STN2, N, n);
  }
}

}  // namespace meridolan::results

namespace meridolan {

void MAXIMA(Report& rep, const Control& C, const ExtremeValues& e, double sumr, double sumext) {
  static const Format kLayer1(
      "/, /, /, /, 15X, 'MAXIMUM OR MINIMUM VALUES OF (COMPRESSION IS POSITIVE):', /, /, /, /, /, "
      "/, 25X, 'DEFLECTION                   =', F10.6, 4X, 'AT NODE', I5, /, 25X, '              "
      "             AND', F10.6, 4X, 'AT NODE', I5, /, /, 25X, 'SUBGRADE STRESS              =', "
      "F10.3, 4X, 'AT NODE', I5, /, /, 10X, 'RANGE OF X-STRESS AT BOTTOM OF LAYER 1: FROM', F10.3, "
      "2X, 'AT NODE', I5, 5X, 'TO', F10.3, 2X, 'AT NODE', I5, /, 10X, 'RANGE OF Y-STRESS AT BOTTOM "
      "OF LAYER 1: FROM', F10.3, 2X, 'AT NODE', I5, 5X, 'TO', F10.3, 2X, 'AT NODE', I5, /, 7X, "
      "'RANGE OF MINOR PRINC. STRESS BOT. LAYER 1: FROM', F10.3, 2X, 'AT NODE', I5, 5X, 'TO', "
      "F10.3, 2X, 'AT NODE', I5, /, 7X, 'RANGE OF MAJOR PRINC. STRESS BOT. LAYER 1: FROM', F10.3, "
      "2X, 'AT NODE', I5, 5X, 'TO', F10.3, 2X, 'AT NODE', I5");
  static const Format kLayer2(
      "10X, 'RANGE OF X-STRESS AT BOTTOM OF LAYER 2: FROM', F10.3, 2X, 'AT NODE', I5, 5X, 'TO', "
      "F10.3, 2X, 'AT NODE', I5, /, 10X, 'RANGE OF Y-STRESS AT BOTTOM OF LAYER 2: FROM', F10.3, "
      "2X, 'AT NODE', I5, 5X, 'TO', F10.3, 2X, 'AT NODE', I5, /, 7X, 'RANGE OF MINOR PRINC. "
      "STRESS BOT. LAYER 2: FROM', F10.3, 2X, 'AT NODE', I5, 5X, 'TO', F10.3, 2X, 'AT NODE', I5, "
      "/, 7X, 'RANGE OF MAJOR PRINC. STRESS BOT. LAYER 2: FROM', F10.3, 2X, 'AT NODE', I5, 5X, "
      "'TO', F10.3, 2X, 'AT NODE', I5");
  static const Format kNote(
      "/, /, /, /, 25X, 'NOTE:-  X-STRESS TOP = - (X-STRESS BOTTOM)', /, 33X, 'Y-STRESS TOP = - "
      "(Y-STRESS BOTTOM)', /, 22X, 'MINOR PRINC. STRESS TOP = - (MAJOR PRINC. STRESS BOTTOM)', /, "
      "19X, 'MINOR PRINC. STRESS BOTTOM = - (MAJOR PRINC. STRESS TOP)'");
  static const Format kSums(
      "/, /, /, 23X, 'SUM OF REACTION FORCES =', F10.2, /, /, 12X, 'SUM OF EXTERNAL FORCES AND "
      "SELF-WEIGHT (IF ANY) =', F10.2");

  // Each range runs from the smallest value to the largest.
  auto range = [](std::vector<Item>& v, const Extreme& lo, const Extreme& hi) {
    v.insert(v.end(), {lo.value, lo.node, hi.value, hi.node});
  };
  auto layer = [&](std::vector<Item>& v, const LayerExtremes& l) {
    range(v, l.x_min, l.x_max);
    range(v, l.y_min, l.y_max);
    range(v, l.minor_min, l.minor_max);
    range(v, l.major_min, l.major_max);
  };
  std::vector<Item> first = {e.deflection_max.value,      e.deflection_max.node,
                             e.deflection_min.value,      e.deflection_min.node,
                             e.subgrade_stress_max.value, e.subgrade_stress_max.node};
  layer(first, e.bottom[0]);
  rep.write(kLayer1, first);
  if (C.NLAYER != 1) {
    std::vector<Item> second;
    layer(second, e.bottom[1]);
    rep.write(kLayer2, second);
  }
  // Bonded layers do not mirror top and bottom, so the note would be wrong there.
  if (!(C.NLAYER == 2 && C.ICOMP == 1)) rep.write(kNote);
  if (sumr != 0.0) rep.write(kSums, {sumr, sumext});
}

}  // namespace meridolan
