// Splits printed report bytes into lines.
#pragma once

#include <string>
#include <vector>

namespace meridolan::testing {

// Report lines without carriage-control bytes: every "\r\n" starts a new line, a
// page throw ("\f\b \r") leaves a line holding "\f", an overprint ("\r" alone)
// starts a line that begins with "\r".
inline std::vector<std::string> report_lines(const std::string& report) {
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

}  // namespace meridolan::testing
