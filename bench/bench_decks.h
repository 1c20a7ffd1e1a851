// Decks of square pavements for the whole-run benchmarks, read the way a run reads
// them, and the band matrix in LAPACK's layout for the yardsticks.
#pragma once

#include <cstddef>
#include <cstdio>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "base/records.h"
#include "base/work.h"
#include "bench_util.h"
#include "driver/control_records.h"
#include "driver/input.h"
#include "loads/load.h"

namespace meridolan::bench {

// n x n node lines, one 8 in layer on k = 200, four wheels of 9000 lb. With `slabs`
// = 3 the same number of node lines forms 3 x 3 slabs (n/3 lines each, 6 in apart,
// each joint a repeated line) tied by dowels every 12 in and aggregate interlock in
// both directions; with 1 it is one slab of lines 6 in apart.
inline std::string deck_text(int n, int slabs) {
  std::string d = "1\nLARGEST " + std::string(slabs == 1 ? "SINGLE SLAB" : "JOINTED PAVEMENT") +
                  "\n    4    0    0    0\n";
  const int per = n / slabs;
  std::string counts;
  for (int k = 0; k < slabs; ++k) {
    char b[16];
    std::snprintf(b, sizeof b, "%5d", per);
    counts += b;
  }
  d += counts + "\n" + counts + "\n";
  d += "    1    0   200.000\n    5    1\n000000   0\n";
  if (slabs > 1) d += "    2    0    0    0\n    2    0    0    0\n";
  std::vector<double> lines;
  for (int k = 0; k < slabs; ++k)
    for (int i = 0; i < per; ++i) lines.push_back(6.0 * (k * (per - 1) + i));
  for (int pass = 0; pass < 2; ++pass)
    for (std::size_t i = 0; i < lines.size(); ++i)
      d += field(lines[i]) + ((i % 8 == 7 || i + 1 == lines.size()) ? "\n" : "");
  d += "     8.000 4.000E+06     0.150\n";
  if (slabs > 1)
    for (int dir = 0; dir < 2; ++dir)
      d += "     0.000     1.250 2.900E+07    12.000     0.250     0.300 1.500E+06\n 5.000E+04\n";
  const double c = lines.back() / 2;
  for (double dx : {-40.0, 28.0})
    for (double dy : {-30.0, 18.0})
      d += field(62.5) + field(c + dx) + field(c + dx + 12) + field(c + dy) + field(c + dy + 12) +
           "\n";
  return d;
}

// Reads the model part of a deck the way a run does, into work arrays of any size.
inline void prepare(Control& C, Work& w, Report& rep, const std::string& text) {
  std::istringstream in(text);
  Deck deck(in);
  read_control(deck, C);
  C.MEMLIM = std::numeric_limits<std::int64_t>::max();
  derive_dimensions(C);
  allocate(w, C);
  read_mesh(deck, rep, C, w);
  read_joints_and_loads(deck, rep, C, w);
}

inline Subareas subareas(const Work& w) {
  return {w.NES, w.PS, w.XS1, w.YS1, w.XS2, w.YS2};
}

// LAPACK upper band storage of the band store: AB(KD+1+i-j, j) = A(i, j), LDAB = KD+1.
template <class Band>
std::vector<double> lapack_band(int MBAND, int NEQ, const Band& SK) {
  const int kd = MBAND - 1, ld = kd + 1;
  std::vector<double> ab(static_cast<std::size_t>(ld) * NEQ, 0.0);
  for (int r = 0; r < NEQ; ++r)
    for (int d = 0; d <= kd && r + d < NEQ; ++d) {
      const int c = r + d;
      ab[static_cast<std::size_t>(c) * ld + (kd + r - c)] =
          SK[static_cast<std::size_t>(r) * MBAND + d];
    }
  return ab;
}

}  // namespace meridolan::bench
