// Pieces every whole-run benchmark needs: a report that goes nowhere and deck fields.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

namespace meridolan::bench {

// Discards everything written to it, so that only the formatting is timed.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// A real number in an F10.3 deck field.
inline std::string field(double v) {
  char b[16];
  std::snprintf(b, sizeof b, "%10.3f", v);
  return b;
}

// Times whole runs of one deck, in-process, the report discarded.
template <class Run>
void time_whole_runs(benchmark::State& state, const std::string& deck, Run run) {
  NullBuffer buffer;
  std::ostream sink(&buffer);
  for (auto _ : state) {
    std::istringstream in(deck);
    benchmark::DoNotOptimize(run(in, sink));
  }
}

}  // namespace meridolan::bench
