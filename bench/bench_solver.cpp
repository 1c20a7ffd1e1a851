// Band solver and assembly of a 40 x 40 node slab on a dense liquid (NEQ = 4800,
// MBAND = 126), with LAPACK's banded Cholesky (dpbtrf + dpbtrs) on the same matrix as
// the yardstick. Each solver run starts from a fresh copy of the assembled matrix.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "base/control.h"
#include "bench_decks.h"
#include "model/stiff.h"
#include "openblas.h"
#include "solvers/band.h"
#include "solvers/band_isa.h"

extern "C" {
// Fortran LAPACK; the trailing argument is the hidden length of the character argument.
void dpbtrf_(const char* uplo, const int* n, const int* kd, double* ab, const int* ldab, int* info,
             std::size_t uplo_len);
void dpbtrs_(const char* uplo, const int* n, const int* kd, const int* nrhs, const double* ab,
             const int* ldab, double* b, const int* ldb, int* info, std::size_t uplo_len);
}

namespace {

using namespace meridolan;

struct Model {
  Control C;
  std::vector<double> XN, YN, SKN, THN1, EN1, THN2, EN2, SK, R;
  std::vector<int> ICON, NDOWX, NDOWY;
  StiffWork W;

  StiffData data() const { return stiff_data(*this); }
};

// 200 x 200 in slab, 10 in of concrete on k = 100, node lines every 5 in.
Model slab() {
  Model m;
  Control& C = m.C;
  C.NXT = C.NYT = 40;
  C.NNODE = C.NXT * C.NYT;
  C.NEQ = 3 * C.NNODE;
  C.MBAND = 3 * C.NYT + 6;
  C.NBAND = static_cast<std::int64_t>(C.NEQ) * C.MBAND;
  C.NELEM = (C.NXT - 1) * (C.NYT - 1);
  C.NSLAB = 1;
  C.NLAYER = 1;
  C.PR1 = 0.15;
  C.GSH = {0.425, 0.5};
  C.ISUBGR = 5;
  for (int ix = 0; ix < C.NXT; ++ix)
    for (int iy = 0; iy < C.NYT; ++iy) {
      m.XN.push_back(5.0 * ix);
      m.YN.push_back(5.0 * iy);
    }
  m.SKN.assign(C.NNODE, 100.0);
  m.THN1.assign(C.NNODE, 10.0);
  m.EN1.assign(C.NNODE, 4e6);
  m.THN2.assign(C.NNODE, 0.0);
  m.EN2.assign(C.NNODE, 0.0);
  m.ICON.assign(C.NNODE, 0);
  m.SK.assign(C.NBAND, 0.0);
  STIFF(C, m.data(), m.SK, m.W);
  // A wheel load near the centre, as nodal forces on four nodes.
  m.R.assign(C.NEQ, 0.0);
  for (int n : {780, 781, 820, 821}) m.R[3 * (n - 1)] = 2250.0;
  return m;
}

// The band system of the model's dimensions on the stores given.
BandSystem band(const Model& m, std::vector<double>& SK, std::vector<double>& SKR) {
  return {.MBAND = m.C.MBAND, .NEQ = m.C.NEQ, .SK = SK, .SKR = SKR};
}

std::vector<double> lapackBand(const Model& m) {
  return bench::lapack_band(m.C.MBAND, m.C.NEQ, m.SK);
}

std::vector<double> solveBand(const Model& m, std::vector<double>& SK, std::vector<double>& SKR) {
  std::vector<double> r = m.R;
  if (UPTRI(band(m, SK, SKR)) != 0) return {};
  DISP(band(m, SK, SKR), r);
  return r;
}

// Reference LAPACK (linked) or OpenBLAS (loaded by path).
std::vector<double> solveLapack(const Model& m, std::vector<double>& ab,
                                const bench::OpenBlas* lib = nullptr) {
  const int kd = m.C.MBAND - 1, ld = kd + 1, n = m.C.NEQ, one = 1;
  int info = 0;
  std::vector<double> r = m.R;
  (lib ? lib->dpbtrf : dpbtrf_)("U", &n, &kd, ab.data(), &ld, &info, 1);
  if (info != 0) return {};
  (lib ? lib->dpbtrs : dpbtrs_)("U", &n, &kd, &one, ab.data(), &ld, r.data(), &n, &info, 1);
  return r;
}

void BM_Stiff(benchmark::State& state) {
  Model m = slab();
  for (auto _ : state) {
    std::fill(m.SK.begin(), m.SK.end(), 0.0);
    STIFF(m.C, m.data(), m.SK, m.W);
    benchmark::DoNotOptimize(m.SK.data());
  }
}
BENCHMARK(BM_Stiff)->Unit(benchmark::kMillisecond);

// The instruction-set path of a benchmark's argument (0 baseline, 1 AVX2, 2 AVX-512),
// named in the output with the processor features it uses; false (and the benchmark
// skipped) when the processor lacks them.
bool take_path(benchmark::State& state, BandIsa& isa) {
  isa = static_cast<BandIsa>(state.range(0));
  static const char* const kFeatures[] = {"baseline x86-64 (SSE2)", "AVX2",
                                          "AVX-512F (256-bit vectors)"};
  if (!isa_supported(isa)) {
    state.SkipWithError("not supported by this processor");
    return false;
  }
  state.SetLabel(kFeatures[state.range(0)]);
  return true;
}

// Each instruction-set path of the band kernels on its own (the one UPTRI and DISP
// choose is the widest supported); a path the processor lacks is skipped.
void BM_UptriDispPath(benchmark::State& state) {
  BandIsa isa;
  if (!take_path(state, isa)) return;
  const Model m = slab();
  std::vector<double> SK, SKR(m.SK.size()), r;
  for (auto _ : state) {
    state.PauseTiming();
    SK = m.SK;
    r = m.R;
    state.ResumeTiming();
    UPTRI_ISA(isa, band(m, SK, SKR));
    DISP_ISA(isa, band(m, SK, SKR), r);
    benchmark::DoNotOptimize(r.data());
  }
}
BENCHMARK(BM_UptriDispPath)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The reduction and the solution of each path timed apart.
void BM_UptriPath(benchmark::State& state) {
  BandIsa isa;
  if (!take_path(state, isa)) return;
  const Model m = slab();
  std::vector<double> SK, SKR(m.SK.size());
  for (auto _ : state) {
    state.PauseTiming();
    SK = m.SK;
    state.ResumeTiming();
    benchmark::DoNotOptimize(UPTRI_ISA(isa, band(m, SK, SKR)));
  }
}
BENCHMARK(BM_UptriPath)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_DispPath(benchmark::State& state) {
  BandIsa isa;
  if (!take_path(state, isa)) return;
  const Model m = slab();
  std::vector<double> SK = m.SK, SKR(m.SK.size()), r;
  UPTRI_ISA(isa, band(m, SK, SKR));
  for (auto _ : state) {
    state.PauseTiming();
    r = m.R;
    state.ResumeTiming();
    DISP_ISA(isa, band(m, SK, SKR), r);
    benchmark::DoNotOptimize(r.data());
  }
}
BENCHMARK(BM_DispPath)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void lapackRun(benchmark::State& state, const bench::OpenBlas* lib) {
  const Model m = slab();
  const std::vector<double> ab0 = lapackBand(m);
  std::vector<double> ab;
  for (auto _ : state) {
    state.PauseTiming();
    ab = ab0;
    state.ResumeTiming();
    auto r = solveLapack(m, ab, lib);
    benchmark::DoNotOptimize(r.data());
  }
}

void BM_LapackDpbtrfDpbtrs(benchmark::State& state) {
  lapackRun(state, nullptr);
}
BENCHMARK(BM_LapackDpbtrfDpbtrs)->Unit(benchmark::kMillisecond);

// OpenBLAS on one thread: the optimised yardstick.
void BM_OpenBlasDpbtrfDpbtrs(benchmark::State& state) {
  if (bench::openblas() == nullptr) return state.SkipWithError("OpenBLAS is not installed");
  lapackRun(state, bench::openblas());
}
BENCHMARK(BM_OpenBlasDpbtrfDpbtrs)->Unit(benchmark::kMillisecond);

// Not a timing: both solvers on the same matrix must give the same displacements.
void BM_Agreement(benchmark::State& state) {
  const Model m = slab();
  std::vector<double> SK = m.SK, SKR(m.SK.size()), ab = lapackBand(m);
  const auto band = solveBand(m, SK, SKR);
  const auto lap = solveLapack(m, ab);
  double diff = 0, big = 0;
  if (band.size() != lap.size() || band.empty()) {
    state.SkipWithError("a solver failed");
  } else {
    for (std::size_t i = 0; i < band.size(); ++i) {
      diff = std::max(diff, std::abs(band[i] - lap[i]));
      big = std::max(big, std::abs(lap[i]));
    }
    if (!(diff <= 1e-9 * big)) state.SkipWithError("solutions differ");
  }
  for (auto _ : state) benchmark::DoNotOptimize(diff);
  state.counters["max_rel_diff"] = big > 0 ? diff / big : diff;
}
BENCHMARK(BM_Agreement)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
