// Cost of one typical table line through Report::write, against snprintf producing the
// same bytes. Both write into the same kind of stream.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <random>
#include <streambuf>
#include <string>
#include <vector>

#include "base/records.h"

namespace {

using meridolan::Format;
using meridolan::Report;

// A stream buffer that keeps the last bytes written in a fixed block, so writing costs
// a copy but never grows memory.
class Sink : public std::streambuf {
 public:
  Sink() : block_(1 << 20) { setp(block_.data(), block_.data() + block_.size()); }
  std::string take() {
    std::string s(pbase(), pptr());
    setp(block_.data(), block_.data() + block_.size());
    return s;
  }

 protected:
  int_type overflow(int_type c) override {
    setp(block_.data(), block_.data() + block_.size());
    if (c != traits_type::eof()) sputc(static_cast<char>(c));
    return traits_type::not_eof(c);
  }

 private:
  std::vector<char> block_;
};

struct Row {
  int node;
  double v[5];
};

// Values with an integer part, where the Fortran-style F output and printf agree.
std::vector<Row> rows() {
  std::mt19937 gen(12345);
  std::uniform_real_distribution<double> mag(1.0, 9999.0);
  std::vector<Row> r(1024);
  for (std::size_t k = 0; k < r.size(); ++k) {
    r[k].node = static_cast<int>(k + 1);
    for (double& x : r[k].v) x = (gen() & 1 ? 1 : -1) * mag(gen);
  }
  return r;
}

const char* const kFormat = "10X, I5, 3(2X, F13.6), 14X, F10.3, 10X, F10.3";

void write_records(Report& rep, const Format& f, const Row& r) {
  rep.write(f, {r.node, r.v[0], r.v[1], r.v[2], r.v[3], r.v[4]});
}

void write_snprintf(std::ostream& out, const Row& r) {
  char buf[160];
  int n = std::snprintf(buf, sizeof buf, "\r\n%9s%5d  %13.6f  %13.6f  %13.6f%14s%10.3f%10s%10.3f",
                        "", r.node, r.v[0], r.v[1], r.v[2], "", r.v[3], "", r.v[4]);
  out.write(buf, n);
}

// Both ways must print the same bytes, or the comparison means nothing.
void check_same_bytes(const std::vector<Row>& data, const Format& f) {
  Sink a, b;
  std::ostream oa(&a), ob(&b);
  Report rep(oa);
  for (const Row& r : data) {
    write_records(rep, f, r);
    write_snprintf(ob, r);
  }
  if (a.take() != b.take()) {
    std::fprintf(stderr, "bench_records: Report::write and snprintf differ\n");
    std::abort();
  }
}

void BM_ReportWrite(benchmark::State& state) {
  const std::vector<Row> data = rows();
  const Format f(kFormat);
  check_same_bytes(data, f);
  Sink sink;
  std::ostream out(&sink);
  Report rep(out);
  std::size_t k = 0;
  for (auto _ : state) {
    write_records(rep, f, data[k++ & 1023]);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReportWrite);

void BM_Snprintf(benchmark::State& state) {
  const std::vector<Row> data = rows();
  Sink sink;
  std::ostream out(&sink);
  std::size_t k = 0;
  for (auto _ : state) {
    write_snprintf(out, data[k++ & 1023]);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Snprintf);

}  // namespace

BENCHMARK_MAIN();
