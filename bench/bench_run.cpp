// A whole run of the largest square deck that fits the work array, as one slab and as
// 3 x 3 jointed slabs of the same size, timed in-process: the complete run, and its
// stages one by one (assembly, reduction, load vector and solution, report
// formatting) on the same model.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "base/records.h"
#include "base/work.h"
#include "bench_decks.h"
#include "bench_util.h"
#include "driver/control_records.h"
#include "driver/input.h"
#include "driver/run.h"
#include "loads/load.h"
#include "model/stiff.h"
#include "results/stress.h"
#include "solvers/band.h"

namespace {

using namespace meridolan;
using bench::deck_text;
using bench::NullBuffer;
using bench::subareas;

// Whether an m x m mesh of slabs x slabs equal slabs passes the memory check.
bool fits(int m, int slabs) {
  Control C;
  for (int k = 0; k < slabs; ++k) C.NNX[k] = C.NNY[k] = m / slabs;
  C.NXT = C.NYT = m;
  C.NLAYER = 1, C.ISUBGR = 5, C.NLAREA = 4;
  derive_dimensions(C);
  return C.MEMREQ <= Control::MAXMEM;
}

// The largest n, a multiple of 3, whose n x n mesh passes the memory check as 3 x 3
// slabs (the larger model), so the single slab and the 3 x 3 slabs have the same size.
int largest_square() {
  int n = 3;
  while (fits(n + 3, 3)) n += 3;
  return n;
}

// The largest single slab of n x n node lines that passes the memory check.
int largest_single_slab() {
  int n = 3;
  while (fits(n + 1, 1)) ++n;
  return n;
}

struct Model {
  NullBuffer buffer;
  std::ostream sink{&buffer};
  Report rep{sink};
  Control C;
  Work w;
  Results res;
  BandVector assembled;  // SK after STIFF
  BandVector reduced, pivots;
};

// Reads the deck the way a run does.
void prepare(Model& m, const std::string& text) {
  bench::prepare(m.C, m.w, m.rep, text);
}

// Built once per layout for all benchmarks of this program: [0] one slab, [1] 3 x 3.
Model& model(int slabs) {
  static Model models[2];
  Model& m = models[slabs == 1 ? 0 : 1];
  if (m.C.NNODE == 0) {
    prepare(m, deck_text(largest_square(), slabs));
    StiffWork sw;
    STIFF(m.C, stiff_data(m.w), m.w.SK, sw);
    m.assembled = m.w.SK;
    UPTRI(band_system(m.C, m.w));
    m.reduced = m.w.SK;
    m.pivots = m.w.SKR;
  }
  return m;
}

void BM_WholeRun(benchmark::State& state) {
  const std::string text = deck_text(largest_square(), int(state.range(0)));
  bench::time_whole_runs(state, text,
                         [](std::istream& in, std::ostream& out) { return run(in, out); });
  state.counters["nodes"] = largest_square() * largest_square();
}

// The largest single-slab deck there is (one node line more each way than the square
// above).
void BM_WholeRunLargestSingleSlab(benchmark::State& state) {
  const int n = largest_single_slab();
  bench::time_whole_runs(state, deck_text(n, 1),
                         [](std::istream& in, std::ostream& out) { return run(in, out); });
  state.counters["nodes"] = n * n;
}

// The same run with the results file written too (to a stream that discards it): the
// tables are computed once for the report and the document alike.
void BM_WholeRunLargestSingleSlabWithResults(benchmark::State& state) {
  const int n = largest_single_slab();
  NullBuffer buffer;
  std::ostream results(&buffer);
  bench::time_whole_runs(state, deck_text(n, 1), [&](std::istream& in, std::ostream& out) {
    RunOptions o;
    o.results = &results;
    return run(in, out, std::cerr, o);
  });
  state.counters["nodes"] = n * n;
}

void BM_Assembly(benchmark::State& state) {
  Model& m = model(int(state.range(0)));
  StiffWork sw;
  for (auto _ : state) {
    std::fill(m.w.SK.begin(), m.w.SK.end(), 0.0);
    STIFF(m.C, stiff_data(m.w), m.w.SK, sw);
    benchmark::ClobberMemory();
  }
  state.counters["NEQ"] = m.C.NEQ;
  state.counters["MBAND"] = m.C.MBAND;
}

void BM_Reduction(benchmark::State& state) {
  Model& m = model(int(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    m.w.SK = m.assembled;
    state.ResumeTiming();
    benchmark::DoNotOptimize(UPTRI(band_system(m.C, m.w)));
  }
  m.w.SK = m.reduced;
}

void BM_LoadAndSolution(benchmark::State& state) {
  Model& m = model(int(state.range(0)));
  m.w.SK = m.reduced;
  m.w.SKR = m.pivots;
  for (auto _ : state) {
    std::fill(m.w.R.begin(), m.w.R.end(), 0.0);
    LOAD(m.C, subareas(m.w), m.w.XN, m.w.YN, m.w.R);
    DISP(band_system(m.C, m.w), m.w.R);
    benchmark::ClobberMemory();
  }
}

void BM_ReportFormatting(benchmark::State& state) {
  Model& m = model(int(state.range(0)));
  m.w.SK = m.reduced;
  m.w.SKR = m.pivots;
  std::fill(m.w.R.begin(), m.w.R.end(), 0.0);
  LOAD(m.C, subareas(m.w), m.w.XN, m.w.YN, m.w.R);
  DISP(band_system(m.C, m.w), m.w.R);
  for (auto _ : state) {
    STRESS(m.rep, m.C, 1, m.w, m.res);
  }
}

// Argument: 1 for the single slab, 3 for 3 x 3 jointed slabs of the same mesh size.
BENCHMARK(BM_WholeRun)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRunLargestSingleSlab)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRunLargestSingleSlabWithResults)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Assembly)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reduction)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndSolution)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportFormatting)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
