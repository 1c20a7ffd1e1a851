// Runs a deck through the whole program in-process and splits the report into lines.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"

namespace meridolan::testing {

struct RunResult {
  int status = -1;
  std::string report;  // exact bytes
  std::string errors;

  // Report lines without carriage-control bytes: every "\r\n" starts a new line, a
  // page throw ("\f\b \r") leaves a line holding "\f", an overprint ("\r" alone)
  // starts a line that begins with "\r".
  std::vector<std::string> lines() const {
    std::vector<std::string> out;
    std::string cur;
    for (std::size_t i = 0; i < report.size(); ++i) {
      if (report.compare(i, 2, "\r\n") == 0) {
        out.push_back(cur);
        cur.clear();
        ++i;
      } else if (report.compare(i, 4, "\f\b \r") == 0) {
        cur += '\f';
        i += 3;
      } else {
        cur += report[i];
      }
    }
    out.push_back(cur);
    return out;
  }
  bool has_line(const std::string& text) const {
    for (const auto& l : lines())
      if (l == text) return true;
    return false;
  }
  bool contains(const std::string& text) const { return report.find(text) != std::string::npos; }
};

inline RunResult run_deck(const std::string& deck) {
  std::istringstream in(deck);
  std::ostringstream out, err;
  RunResult r;
  r.status = run(in, out, err);
  r.report = out.str();
  r.errors = err.str();
  return r;
}

inline std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline RunResult run_file(const std::string& path) { return run_deck(read_file(path)); }

}  // namespace meridolan::testing
