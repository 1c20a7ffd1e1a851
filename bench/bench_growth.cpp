// Cost of a run as the mesh grows, each run given the work array its model needs:
// single slabs of 20 x 20 to 200 x 200 node lines and 3 x 3 jointed slabs of 10 x 10
// to 40 x 40 node lines each, as whole runs and stage by stage (assembly, band
// reduction, load vector and solution, report formatting), the reduction beside
// OpenBLAS dpbtrf (one thread) on the same matrix; and whole runs of quarter models
// on the elastic solid from 13 x 13 node lines up.
//
// Counters of the stages: processor seconds per stage, the words of the work array, the
// reduction's floating-point operations (two per multiply-add, the divisions left out)
// and the rate of both reductions in GFLOP/s; "dpbtrf_over_uptri" is the time of
// dpbtrf over the time of the band reduction.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "base/records.h"
#include "base/work.h"
#include "bench_decks.h"
#include "bench_util.h"
#include "driver/control_records.h"
#include "driver/run.h"
#include "loads/load.h"
#include "model/stiff.h"
#include "openblas.h"
#include "results/stress.h"
#include "solvers/band.h"

namespace {

using namespace meridolan;
// The stages are timed in processor time of the thread, which other work on a
// shared machine does not inflate as it does the wall clock.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
  }
};

double seconds(double a, double b) {
  return b - a;
}

// Multiply-adds of the band reduction: row i updates the triangle of its m(i) later
// rows inside the band, m(i) = min(MBAND - 1, NEQ - i).
double reduction_flops(int MBAND, int NEQ) {
  double madds = 0;
  for (int i = 1; i <= NEQ; ++i) {
    const double m = std::min(MBAND - 1, NEQ - i);
    madds += m * (m + 1) / 2;
  }
  return 2 * madds;
}

// Arguments: node lines per slab each way, slabs each way (1 or 3).
std::string deck_of(const benchmark::State& state) {
  const int per = int(state.range(0)), slabs = int(state.range(1));
  return bench::deck_text(per * slabs, slabs);
}

void BM_Stages(benchmark::State& state) {
  const std::string text = deck_of(state);
  bench::NullBuffer buffer;
  std::ostream sink(&buffer);
  Report rep(sink);
  Control C;
  Work w;
  Results res;
  bench::prepare(C, w, rep, text);
  const bench::OpenBlas* ob = bench::openblas();
  // A run's first reduction also faults in the pages of the companion array SKR
  // (about as long as the reduction itself on the largest meshes): timed apart, so
  // that the stages below show the work of the reduction alone.
  ASSEMBLE(C, w);
  const double f0 = Clock::now();
  if (UPTRI(band_system(C, w)) != 0) state.SkipWithError("pivot refused");
  const double first_reduction = Clock::now() - f0;
  double t_assembly = 0, t_reduction = 0, t_solution = 0, t_report = 0, t_dpbtrf = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    ASSEMBLE(C, w);
    const auto t1 = Clock::now();
    if (ob != nullptr) {
      state.PauseTiming();
      std::vector<double> ab = bench::lapack_band(C.MBAND, C.NEQ, w.SK);
      const int kd = C.MBAND - 1, ld = kd + 1;
      int info = 0;
      const auto b0 = Clock::now();
      ob->dpbtrf("U", &C.NEQ, &kd, ab.data(), &ld, &info, 1);
      t_dpbtrf += seconds(b0, Clock::now());
      if (info != 0) state.SkipWithError("dpbtrf failed");
      state.ResumeTiming();
    }
    const auto t2 = Clock::now();
    if (UPTRI(band_system(C, w)) != 0) state.SkipWithError("pivot refused");
    const auto t3 = Clock::now();
    std::fill(w.R.begin(), w.R.end(), 0.0);
    LOAD(C, bench::subareas(w), w.XN, w.YN, w.R);
    DISP(band_system(C, w), w.R);
    const auto t4 = Clock::now();
    STRESS(rep, C, 1, w, res);
    const auto t5 = Clock::now();
    t_assembly += seconds(t0, t1);
    t_reduction += seconds(t2, t3);
    t_solution += seconds(t3, t4);
    t_report += seconds(t4, t5);
  }
  const double n = double(state.iterations());
  const double flops = reduction_flops(C.MBAND, C.NEQ);
  state.counters["NEQ"] = C.NEQ;
  state.counters["MBAND"] = C.MBAND;
  state.counters["words"] = double(C.MEMREQ);
  state.counters["assembly_s"] = t_assembly / n;
  state.counters["reduction_s"] = t_reduction / n;
  state.counters["first_reduction_s"] = first_reduction;
  state.counters["solution_s"] = t_solution / n;
  state.counters["report_s"] = t_report / n;
  state.counters["reduction_Gflop"] = flops / 1e9;
  state.counters["uptri_GFLOPs"] = flops * n / t_reduction / 1e9;
  if (ob != nullptr) {
    state.counters["dpbtrf_s"] = t_dpbtrf / n;
    state.counters["dpbtrf_GFLOPs"] = flops * n / t_dpbtrf / 1e9;
    state.counters["dpbtrf_over_uptri"] = t_dpbtrf / t_reduction;
  }
}

// The whole run in-process, report discarded, with the work array the deck needs.
void BM_WholeRun(benchmark::State& state) {
  const std::string text = deck_of(state);
  RunOptions options;
  options.memory_words = model_memory_words(text);
  bench::time_whole_runs(state, text, [&](std::istream& in, std::ostream& out) {
    std::ostringstream none;
    return run(in, out, none, options);
  });
  state.counters["words"] = double(options.memory_words);
}

// Quarter model of n x n node lines 8 in apart on the elastic solid (E = 10,000 psi),
// an 8 in slab, a load at the centre of the whole slab.
std::string solid_deck(int n) {
  char b[64];
  std::snprintf(b, sizeof b, "%5d\n%5d\n", n, n);
  std::string d = "1\nQUARTER SLAB ON AN ELASTIC SOLID\n    1    3    0    0\n" + std::string(b) +
                  "    1    0     0.000 10000.000     0.400\n    8    1              0\n"
                  "000000   0\n";
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < n; ++i)
      d += bench::field(8.0 * i) + ((i % 8 == 7 || i + 1 == n) ? "\n" : "");
  return d + "     8.000 4.000E+06     0.150\n" + bench::field(100.0) + bench::field(0) +
         bench::field(6) + bench::field(0) + bench::field(6) + "\n";
}

void BM_ElasticSolidRun(benchmark::State& state) {
  const std::string text = solid_deck(int(state.range(0)));
  RunOptions options;
  options.memory_words = model_memory_words(text);
  bench::time_whole_runs(state, text, [&](std::istream& in, std::ostream& out) {
    std::ostringstream none;
    return run(in, out, none, options);
  });
  const double neq = 3.0 * state.range(0) * state.range(0);
  state.counters["NEQ"] = neq;
  state.counters["words"] = double(options.memory_words);
  // The global factorisation alone: NEQ^3/3 floating-point operations.
  state.counters["factor_Gflop"] = neq * neq * neq / 3 / 1e9;
}

void single_slabs(benchmark::internal::Benchmark* b) {
  for (int n : {20, 40, 60, 80, 100, 150, 200}) b->Args({n, 1});
}
void jointed_slabs(benchmark::internal::Benchmark* b) {
  for (int n : {10, 20, 30, 40}) b->Args({n, 3});
}

BENCHMARK(BM_Stages)->Apply(single_slabs)->Apply(jointed_slabs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeRun)
    ->Apply(single_slabs)
    ->Apply(jointed_slabs)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(BM_ElasticSolidRun)
    ->Arg(13)
    ->Arg(19)
    ->Arg(25)
    ->Arg(31)
    ->Arg(37)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
