// Runs a deck through the whole program in-process and splits the report into lines.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "support/report_lines.h"

namespace meridolan::testing {

struct RunResult {
  int status = -1;
  std::string report;  // exact bytes
  std::string errors;
  std::string contour;  // the contour data file, when the deck requests one
  std::string results;  // the results document, when asked for

  std::vector<std::string> lines() const { return report_lines(report); }
  bool has_line(const std::string& text) const {
    for (const auto& l : lines())
      if (l == text) return true;
    return false;
  }
  bool contains(const std::string& text) const { return report.find(text) != std::string::npos; }
};

inline RunResult run_deck(const std::string& deck) {
  std::istringstream in(deck);
  std::ostringstream out, err, cnt;
  RunResult r;
  // The contour data are kept in memory: a test never writes a file.
  r.status = run(in, out, err, ContourFile{.stream = &cnt});
  r.report = out.str();
  r.errors = err.str();
  r.contour = cnt.str();
  return r;
}

// The same with the results document, whose numbers carry every digit.
inline RunResult run_deck_with_results(const std::string& deck) {
  std::istringstream in(deck);
  std::ostringstream out, err, cnt, res;
  RunOptions options;
  options.contour.stream = &cnt;
  options.results = &res;
  RunResult r;
  r.status = run(in, out, err, options);
  r.report = out.str();
  r.errors = err.str();
  r.contour = cnt.str();
  r.results = res.str();
  return r;
}

inline std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline RunResult run_file(const std::string& path) {
  return run_deck(read_file(path));
}

}  // namespace meridolan::testing
