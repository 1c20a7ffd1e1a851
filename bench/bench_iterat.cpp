// The stress-dependent subgrade on the largest square single-slab deck that fits the
// work array: a run iterated to convergence against a one-pass run of the same deck,
// and one modulus update on its own.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <sstream>
#include <streambuf>
#include <string>

#include "base/records.h"
#include "base/work.h"
#include "bench_util.h"
#include "driver/control_records.h"
#include "driver/run.h"
#include "supports/iterat.h"

namespace {

using namespace meridolan;
using bench::field;
using bench::NullBuffer;

// The largest n whose n x n mesh passes the memory check (types 1 to 7 size alike).
int largest_square() {
  for (int n = 3;; ++n) {
    Control C;
    C.NNX[0] = C.NNY[0] = n;
    C.NXT = C.NYT = n;
    C.NLAYER = 1, C.ISUBGR = 1, C.NLAREA = 4;
    derive_dimensions(C);
    if (C.MEMREQ > Control::MAXMEM) return n - 1;
  }
}

// n x n node lines 6 in apart, one 8 in layer on soil class 1 starting from k = 200,
// four wheels of 9000 lb; TOL1 = 0.01, TOL2 = 0.
std::string deck_text(int n, int maxit) {
  char b[80];
  std::string d = "1\nLARGEST SINGLE SLAB, STRESS-DEPENDENT\n    4    0    0    0\n";
  std::snprintf(b, sizeof b, "%5d\n%5d\n    1    0   200.000\n    1%5d .010 .000    0\n", n, n,
                maxit);
  d += b;
  d += "000000   0\n";
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

// Passes a run makes: one more than the updates, each of which prints a ratio line.
int passes(const std::string& text) {
  std::istringstream in(text);
  std::ostringstream out;
  run(in, out);
  const std::string r = out.str();
  int updates = 0;
  for (auto at = r.find("RATIO OF NO."); at != std::string::npos;
       at = r.find("RATIO OF NO.", at + 1))
    ++updates;
  return updates + 1;
}

void time_runs(benchmark::State& state, int maxit) {
  const std::string text = deck_text(largest_square(), maxit);
  const int n = passes(text);
  bench::time_whole_runs(state, text,
                         [](std::istream& in, std::ostream& out) { return run(in, out); });
  state.counters["nodes"] = largest_square() * largest_square();
  state.counters["passes"] = n;
  state.counters["s_per_pass"] = benchmark::Counter(
      n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_IteratedToConvergence(benchmark::State& state) {
  time_runs(state, 20);
}
void BM_OnePass(benchmark::State& state) {
  time_runs(state, 1);
}

// One update of every node's modulus, deflections of 0 to 0.05 in.
void BM_OneUpdate(benchmark::State& state) {
  const int n = largest_square();
  Control C;
  C.ISUBGR = 1, C.NNODE = n * n, C.TOL1 = 0.01;
  std::vector<double> R(3 * C.NNODE), SKN(C.NNODE, 200.0);
  std::vector<int> ISOIL(1);
  for (int i = 0; i < C.NNODE; ++i) R[3 * i] = 0.05 * i / C.NNODE;
  NullBuffer buffer;
  std::ostream sink(&buffer);
  Report rep(sink);
  std::istringstream none;
  Deck deck(none);
  SoilCurves curves;
  for (auto _ : state) benchmark::DoNotOptimize(ITERAT(deck, rep, C, R, SKN, ISOIL, curves));
}

BENCHMARK(BM_IteratedToConvergence)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_OnePass)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_OneUpdate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
