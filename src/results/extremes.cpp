// Extreme-value search and the summary printed after the stress table.
#include "results/extremes.h"

#include "results/results_layout.h"
#include "results/stress.h"

namespace meridolan::results {
namespace {

// Entry k (1-based) keeps the largest value, entry k2 the smallest.
void keep_range(Extremes& e, int k, int k2, double v, int n) {
  if (e.VEXT[k - 1] <= v) {
    e.VEXT[k - 1] = v;
    e.NODEXT[k - 1] = n;
  }
  if (v <= e.VEXT[k2 - 1]) {
    e.VEXT[k2 - 1] = v;
    e.NODEXT[k2 - 1] = n;
  }
}

// Columns x, y, minor, major of one layer into its four pairs of entries.
void keep_layer(Extremes& e, const std::vector<double>& stn, int rows, int n, int base) {
  keep_range(e, base, base + 8, at(stn, rows, n, 1), n);
  keep_range(e, base + 2, base + 10, at(stn, rows, n, 2), n);
  keep_range(e, base + 1, base + 9, at(stn, rows, n, 5), n);
  keep_range(e, base + 3, base + 11, at(stn, rows, n, 4), n);
}

}  // namespace

void search_extremes(const Control& C, Work& w) {
  const int N = C.NNODE;
  // The bottom-layer table has a row per node only when it was sized for two layers.
  const bool layer2 = C.NLAYER != 1 && w.STN2.size() >= 5 * static_cast<std::size_t>(N);
  for (int n = 1; n <= N; ++n) {
    keep_range(w.ext, 1, 2, defl(w.R, n), n);
    keep_layer(w.ext, w.STN1, N, n, 4);
    if (layer2) keep_layer(w.ext, w.STN2, N, n, 8);
  }
}

}  // namespace meridolan::results

namespace meridolan {

void MAXIMA(Report& rep, const Control& C, const Extremes& e, double sumr, double sumext) {
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

  // Value and node of entry k (1-based).
  auto val = [&e](int k) { return Item(e.VEXT[k - 1]); };
  auto at_node = [&e](int k) { return Item(e.NODEXT[k - 1]); };
  rep.write(kLayer1,
            {val(1), at_node(1), val(2),  at_node(2),  val(3), at_node(3), val(12), at_node(12),
             val(4), at_node(4), val(14), at_node(14), val(6), at_node(6), val(13), at_node(13),
             val(5), at_node(5), val(15), at_node(15), val(7), at_node(7)});
  if (C.NLAYER != 1)
    rep.write(kLayer2, {val(16), at_node(16), val(8), at_node(8), val(18), at_node(18), val(10),
                        at_node(10), val(17), at_node(17), val(9), at_node(9), val(19), at_node(19),
                        val(11), at_node(11)});
  // Bonded layers do not mirror top and bottom, so the note would be wrong there.
  if (!(C.NLAYER == 2 && C.ICOMP == 1)) rep.write(kNote);
  if (sumr != 0.0) rep.write(kSums, {sumr, sumext});
}

}  // namespace meridolan
