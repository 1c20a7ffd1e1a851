// A whole run of the largest square single-slab deck that fits the work array,
// timed in-process: the complete run, and its stages one by one (assembly,
// reduction, load vector and solution, report formatting) on the same model.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "base/records.h"
#include "base/work.h"
#include "driver/control_records.h"
#include "driver/input.h"
#include "driver/run.h"
#include "loads/load.h"
#include "model/stiff.h"
#include "results/stress.h"
#include "solvers/band.h"

namespace {

using namespace meridolan;

// Discards everything written to it, so that only the formatting is timed.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

std::string field(double v) {
  char b[16];
  std::snprintf(b, sizeof b, "%10.3f", v);
  return b;
}

// n x n node lines 6 in apart, one 8 in layer on k = 200, four wheels of 9000 lb.
std::string deck_text(int n) {
  std::string d = "1\nLARGEST SINGLE SLAB\n    4    0    0    0\n";
  char b[64];
  std::snprintf(b, sizeof b, "%5d\n%5d\n", n, n);
  d += b;
  d += "    1    0   200.000\n    5    1\n000000   0\n";
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < n; ++i) d += field(6.0 * i) + ((i % 8 == 7 || i + 1 == n) ? "\n" : "");
  d += "     8.000 4.000E+06     0.150\n";
  const double c = 6.0 * (n - 1) / 2;
  for (double dx : {-40.0, 28.0})
    for (double dy : {-30.0, 18.0})
      d += field(62.5) + field(c + dx) + field(c + dx + 12) + field(c + dy) + field(c + dy + 12) +
           "\n";
  return d;
}

// The largest n whose n x n mesh passes the memory check.
int largest_square() {
  int n = 2;
  for (;; ++n) {
    Control C;
    C.NNX[0] = C.NNY[0] = n + 1;
    C.NXT = C.NYT = n + 1;
    C.NLAYER = 1, C.ISUBGR = 5, C.NLAREA = 4;
    derive_dimensions(C);
    if (C.MEMREQ > Control::MAXMEM) return n;
  }
}

struct Model {
  NullBuffer buffer;
  std::ostream sink{&buffer};
  Report rep{sink};
  Control C;
  Work w;
  BandVector assembled;  // SK after STIFF
  BandVector reduced, pivots;
};

// Reads the deck the way a run does, then assembles once.
void prepare(Model& m, const std::string& text) {
  std::istringstream in(text);
  Deck deck(in);
  read_control(deck, m.C);
  derive_dimensions(m.C);
  allocate(m.w, m.C);
  read_mesh(deck, m.rep, m.C, m.w);
  read_joints_and_loads(deck, m.rep, m.C, m.w);
}

StiffData data(const Work& w) {
  return {w.XN, w.YN, w.SKN, w.THN1, w.EN1, w.THN2, w.EN2, w.NDOWX, w.NDOWY, w.ICON};
}
Subareas subareas(const Work& w) {
  return {w.NES, w.PS, w.XS1, w.YS1, w.XS2, w.YS2};
}

Model& model() {
  static Model m;  // built once for all benchmarks of this program
  if (m.C.NNODE == 0) {
    prepare(m, deck_text(largest_square()));
    StiffWork sw;
    STIFF(m.C, data(m.w), m.w.SK, sw);
    m.assembled = m.w.SK;
    UPTRI(m.C.MBAND, m.C.NEQ, m.w.SKR, m.w.SK);
    m.reduced = m.w.SK;
    m.pivots = m.w.SKR;
  }
  return m;
}

void BM_WholeRun(benchmark::State& state) {
  const std::string text = deck_text(largest_square());
  NullBuffer buffer;
  std::ostream sink(&buffer);
  for (auto _ : state) {
    std::istringstream in(text);
    benchmark::DoNotOptimize(run(in, sink));
  }
  state.counters["nodes"] = largest_square() * largest_square();
}

void BM_Assembly(benchmark::State& state) {
  Model& m = model();
  StiffWork sw;
  for (auto _ : state) {
    std::fill(m.w.SK.begin(), m.w.SK.end(), 0.0);
    STIFF(m.C, data(m.w), m.w.SK, sw);
    benchmark::ClobberMemory();
  }
  state.counters["NEQ"] = m.C.NEQ;
  state.counters["MBAND"] = m.C.MBAND;
}

void BM_Reduction(benchmark::State& state) {
  Model& m = model();
  for (auto _ : state) {
    state.PauseTiming();
    m.w.SK = m.assembled;
    state.ResumeTiming();
    benchmark::DoNotOptimize(UPTRI(m.C.MBAND, m.C.NEQ, m.w.SKR, m.w.SK));
  }
  m.w.SK = m.reduced;
}

void BM_LoadAndSolution(benchmark::State& state) {
  Model& m = model();
  m.w.SK = m.reduced;
  m.w.SKR = m.pivots;
  for (auto _ : state) {
    std::fill(m.w.R.begin(), m.w.R.end(), 0.0);
    LOAD(m.C, subareas(m.w), m.w.XN, m.w.YN, m.w.R);
    DISP(m.C.MBAND, m.C.NEQ, m.w.R, m.w.SKR, m.w.SK);
    benchmark::ClobberMemory();
  }
}

void BM_ReportFormatting(benchmark::State& state) {
  Model& m = model();
  m.w.SK = m.reduced;
  m.w.SKR = m.pivots;
  std::fill(m.w.R.begin(), m.w.R.end(), 0.0);
  LOAD(m.C, subareas(m.w), m.w.XN, m.w.YN, m.w.R);
  DISP(m.C.MBAND, m.C.NEQ, m.w.R, m.w.SKR, m.w.SK);
  for (auto _ : state) {
    m.C.ITNO = 1;
    STRESS(m.rep, m.C, m.w);
  }
}

BENCHMARK(BM_WholeRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Assembly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reduction)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSolution)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportFormatting)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
