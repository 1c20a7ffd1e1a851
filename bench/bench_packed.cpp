// The packed Cholesky factorisation and solution against LAPACK dpptrf + dpptrs on the
// same matrix, with the reference LAPACK (linked) and OpenBLAS (loaded at run time,
// one thread, its symbols kept to itself) in one run; then the whole run of the
// largest elastic-solid deck that fits the work array, and its stages.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "base/records.h"
#include "base/work.h"
#include "bench_util.h"
#include "driver/control_records.h"
#include "driver/input.h"
#include "driver/run.h"
#include "loads/load.h"
#include "model/stiff.h"
#include "model/symtry.h"
#include "openblas.h"
#include "results/stress.h"
#include "solvers/packed.h"
#include "supports/flexibility.h"
#include "supports/mltply.h"

extern "C" {
void dpptrf_(const char* uplo, const int* n, double* ap, int* info, std::size_t);
void dpptrs_(const char* uplo, const int* n, const int* nrhs, const double* ap, double* b,
             const int* ldb, int* info, std::size_t);
}

namespace {

using namespace meridolan;
using bench::field;
using bench::NullBuffer;

using Pptrf = bench::Dpptrf;
using Pptrs = bench::Dpptrs;

// A positive definite matrix of order N in packed form: 1/(1 + |i-j|) plus N on the
// diagonal (diagonally dominant); no entry of it or of its factor is subnormal, which
// would slow every routine alike.
const std::vector<double>& matrix(int N) {
  static std::vector<double> ap;
  static int order = 0;
  if (order != N) {
    ap.clear();
    for (int j = 0; j < N; ++j)
      for (int i = 0; i <= j; ++i) ap.push_back(1.0 / (1 + j - i) + (i == j ? N : 0.0));
    order = N;
  }
  return ap;
}

std::vector<double> rhs(int N) {
  std::vector<double> b(N);
  for (int i = 0; i < N; ++i) b[i] = std::sin(0.1 * i);
  return b;
}

void BM_DPPFA_DPPSL(benchmark::State& state) {
  const int N = static_cast<int>(state.range(0));
  std::vector<double> ap, b;
  for (auto _ : state) {
    ap = matrix(N);
    b = rhs(N);
    if (DPPFA(ap, N) != 0) state.SkipWithError("not positive definite");
    DPPSL(ap, N, b);
    benchmark::DoNotOptimize(b.data());
  }
}

void BM_ByColumnsDdot_DPPSL(benchmark::State& state) {
  const int N = static_cast<int>(state.range(0));
  std::vector<double> ap, b;
  for (auto _ : state) {
    ap = matrix(N);
    b = rhs(N);
    if (dppfa_by_columns(ap, N) != 0) state.SkipWithError("not positive definite");
    DPPSL(ap, N, b);
    benchmark::DoNotOptimize(b.data());
  }
}

void lapack_run(benchmark::State& state, Pptrf pptrf, Pptrs pptrs) {
  const int N = static_cast<int>(state.range(0)), one = 1;
  std::vector<double> ap, b;
  for (auto _ : state) {
    ap = matrix(N);
    b = rhs(N);
    int info = 0;
    pptrf("U", &N, ap.data(), &info, 1);
    pptrs("U", &N, &one, ap.data(), b.data(), &N, &info, 1);
    benchmark::DoNotOptimize(b.data());
  }
}

void BM_ReferenceLapack_dpptrf_dpptrs(benchmark::State& state) {
  lapack_run(state, &dpptrf_, &dpptrs_);
}

// OpenBLAS with its packed routines, or nullptr after marking the benchmark skipped.
const bench::OpenBlas* openblas_or_skip(benchmark::State& state) {
  const bench::OpenBlas* ob = bench::openblas();
  if (ob != nullptr && ob->dpptrf != nullptr && ob->dpptri != nullptr) return ob;
  state.SkipWithError("OpenBLAS is not installed");
  for (auto _ : state) {
  }
  return nullptr;
}

void BM_OpenBlas_dpptrf_dpptrs(benchmark::State& state) {
  const bench::OpenBlas* ob = openblas_or_skip(state);
  if (ob == nullptr) return;
  lapack_run(state, ob->dpptrf, ob->dpptrs);
}

int largest_square() {
  for (int n = 3;; ++n) {
    Control C;
    C.NNX[0] = C.NNY[0] = C.NXT = C.NYT = n;
    C.NLAYER = 1, C.ISUBGR = 8, C.NLAREA = 1;
    derive_dimensions(C);
    if (C.MEMREQ > Control::MAXMEM) return n - 1;
  }
}

// Quarter model, node lines 8 in apart, 8 in slab on E = 10,000 psi, a centre load.
std::string deck_text(int n) {
  std::string d = "1\nLARGEST SLAB ON AN ELASTIC SOLID\n    1    3    0    0\n";
  char b[64];
  std::snprintf(b, sizeof b, "%5d\n%5d\n", n, n);
  d += b;
  d += "    1    0     0.000 10000.000     0.400\n    8    1              0\n000000   0\n";
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < n; ++i) d += field(8.0 * i) + ((i % 8 == 7 || i + 1 == n) ? "\n" : "");
  d += "     8.000 4.000E+06     0.150\n";
  d += field(100.0) + field(0) + field(4) + field(0) + field(4) + "\n";
  return d;
}

struct Model {
  NullBuffer buffer;
  std::ostream sink{&buffer};
  Report rep{sink};
  Control C;
  Work w;
  Results res;
  std::vector<int> nodes;
  std::vector<double> flex, inverse, global;
};

inline std::size_t word(int i, int j) {  // 1-based i <= j
  return static_cast<std::size_t>(j) * (j - 1) / 2 + (i - 1);
}

Model& model() {
  static Model m;
  if (m.C.NNODE != 0) return m;
  std::istringstream in(deck_text(largest_square()));
  Deck deck(in);
  read_control(deck, m.C);
  derive_dimensions(m.C);
  allocate(m.w, m.C);
  read_mesh(deck, m.rep, m.C, m.w);
  read_joints_and_loads(deck, m.rep, m.C, m.w);
  StiffWork sw;
  STIFF(m.C, stiff_data(m.w), m.w.SK, sw);
  SYMTRY(m.C, m.w.SK);
  for (int n = 1; n <= m.C.NNODE; ++n) m.nodes.push_back(n);
  const int NN = m.C.NNODE;
  m.flex.assign(static_cast<std::size_t>(NN) * (NN + 1) / 2, 0.0);
  flexibility_matrix(m.C, m.w.XN, m.w.YN, m.nodes, m.flex);
  m.inverse = m.flex;
  double rcond;
  DPPCO(m.inverse, NN, rcond, m.w.STS1);
  std::array<double, 2> det{};
  DPPDI(m.inverse, NN, det, 1);
  // The global matrix: band store into packed form, plus the subgrade stiffness.
  m.global.assign(static_cast<std::size_t>(m.C.NEQ) * (m.C.NEQ + 1) / 2, 0.0);
  for (int r = 1; r <= m.C.NEQ; ++r)
    for (int c = r; c <= std::min(m.C.NEQ, r + m.C.MBAND - 1); ++c)
      m.global[word(r, c)] = m.w.SK[static_cast<std::size_t>(r - 1) * m.C.MBAND + (c - r)];
  for (int i = 1; i <= NN; ++i)
    for (int j = 1; j <= i; ++j) m.global[word(3 * j - 2, 3 * i - 2)] += m.inverse[word(j, i)];
  return m;
}

void BM_ElasticSolidWholeRun(benchmark::State& state) {
  const std::string text = deck_text(largest_square());
  bench::time_whole_runs(state, text,
                         [](std::istream& in, std::ostream& out) { return run(in, out); });
  state.counters["nodes"] = largest_square() * largest_square();
}

void BM_FlexibilityMatrix(benchmark::State& state) {
  Model& m = model();
  std::vector<double> f(m.flex.size());
  for (auto _ : state) {
    flexibility_matrix(m.C, m.w.XN, m.w.YN, m.nodes, f);
    benchmark::ClobberMemory();
  }
}

void BM_FlexibilityInverse(benchmark::State& state) {
  Model& m = model();
  std::vector<double> f;
  for (auto _ : state) {
    f = m.flex;
    double rcond;
    DPPCO(f, m.C.NNODE, rcond, m.w.STS1);
    std::array<double, 2> det{};
    DPPDI(f, m.C.NNODE, det, 1);
    benchmark::ClobberMemory();
  }
}

// The inverse of the flexibility matrix alone (factor and inverse, no condition
// estimate), against OpenBLAS dpptrf + dpptri on the same matrix.
void BM_FlexibilityDPPFA_DPPDI(benchmark::State& state) {
  Model& m = model();
  std::vector<double> f;
  for (auto _ : state) {
    f = m.flex;
    if (DPPFA(f, m.C.NNODE) != 0) state.SkipWithError("not positive definite");
    std::array<double, 2> det{};
    DPPDI(f, m.C.NNODE, det, 1);
    benchmark::ClobberMemory();
  }
  state.counters["N"] = m.C.NNODE;
}

void BM_OpenBlas_FlexibilityDpptrf_dpptri(benchmark::State& state) {
  const bench::OpenBlas* ob = openblas_or_skip(state);
  if (ob == nullptr) return;
  Model& m = model();
  const int N = m.C.NNODE;
  std::vector<double> f;
  for (auto _ : state) {
    f = m.flex;
    int info = 0;
    ob->dpptrf("U", &N, f.data(), &info, 1);
    ob->dpptri("U", &N, f.data(), &info, 1);
    benchmark::ClobberMemory();
  }
}

void BM_GlobalFactorisationAndSolution(benchmark::State& state) {
  Model& m = model();
  std::vector<double> g;
  for (auto _ : state) {
    g = m.global;
    std::fill(m.w.R.begin(), m.w.R.end(), 0.0);
    LOAD(m.C, {m.w.NES, m.w.PS, m.w.XS1, m.w.YS1, m.w.XS2, m.w.YS2}, m.w.XN, m.w.YN, m.w.R);
    double rcond;
    DPPCO(g, m.C.NEQ, rcond, m.w.STS1);
    DPPSL(g, m.C.NEQ, m.w.R);
    benchmark::ClobberMemory();
  }
  state.counters["NEQ"] = m.C.NEQ;
}

void BM_Report(benchmark::State& state) {
  Model& m = model();
  std::vector<double> g = m.global;
  LOAD(m.C, {m.w.NES, m.w.PS, m.w.XS1, m.w.YS1, m.w.XS2, m.w.YS2}, m.w.XN, m.w.YN, m.w.R);
  DPPFA(g, m.C.NEQ);
  DPPSL(g, m.C.NEQ, m.w.R);
  const std::vector<double> solved = m.w.R;
  std::vector<double> defl(m.C.NNODE), force(m.C.NNODE);
  for (auto _ : state) {
    m.w.R = solved;
    STRESS(m.rep, m.C, 1, m.w, m.res);
    for (int n = 0; n < m.C.NNODE; ++n) defl[n] = solved[3 * n];
    MLTPLY(m.inverse, m.C.NNODE, defl, force);
    benchmark::ClobberMemory();
  }
}

constexpr int kOrder = 1875;  // NEQ of the 25 x 25 mesh

BENCHMARK(BM_DPPFA_DPPSL)->Arg(kOrder)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ByColumnsDdot_DPPSL)->Arg(kOrder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReferenceLapack_dpptrf_dpptrs)
    ->Arg(kOrder)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_OpenBlas_dpptrf_dpptrs)->Arg(kOrder)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ElasticSolidWholeRun)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FlexibilityMatrix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlexibilityInverse)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FlexibilityDPPFA_DPPDI)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OpenBlas_FlexibilityDpptrf_dpptri)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_GlobalFactorisationAndSolution)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Report)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
