// Reads the numbers back out of a printed report.
#pragma once

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace meridolan::testing {

// Splits a line into numbers; false when any token is not a number.
inline bool numbers(const std::string& line, std::vector<double>& out) {
  out.clear();
  std::istringstream s(line);
  std::string tok;
  while (s >> tok) {
    char* end = nullptr;
    double v = std::strtod(tok.c_str(), &end);
    if (end == tok.c_str() || *end != '\0') return false;
    out.push_back(v);
  }
  return !out.empty();
}

struct NodeDeflection {
  double w = 0, rx = 0, ry = 0, q = 0, f = 0;
};

// The deflection table: node -> values.
inline std::map<int, NodeDeflection> deflections(const std::vector<std::string>& lines) {
  std::map<int, NodeDeflection> out;
  bool in = false;
  std::vector<double> v;
  for (const std::string& l : lines) {
    if (l.find("DEFLECTION     X-ROTATION") != std::string::npos) {
      in = true;
      continue;
    }
    if (!in) continue;
    if (l.find("DEPTH") != std::string::npos || l.find("VLASOV") != std::string::npos ||
        l.find("LOAD TRANSFER IN") != std::string::npos ||
        l.find("MAXIMUM OR MINIMUM") != std::string::npos)
      break;
    std::string t = l;
    if (!t.empty() && t[0] == '\f') t.erase(0, 1);
    if (!numbers(t, v) || (v.size() != 4 && v.size() != 6)) continue;
    NodeDeflection d{v[1], v[2], v[3], v.size() == 6 ? v[4] : 0, v.size() == 6 ? v[5] : 0};
    out[int(v[0])] = d;
  }
  return out;
}

// The stress table: node -> rows of (depth, x, y, xy, major, minor), top to bottom.
inline std::map<int, std::vector<std::vector<double>>> stresses(
    const std::vector<std::string>& lines) {
  std::map<int, std::vector<std::vector<double>>> out;
  bool in = false;
  int node = 0;
  std::vector<double> v;
  for (const std::string& l : lines) {
    if (l.find("DEPTH") != std::string::npos && l.find("X-STRESS") != std::string::npos) {
      in = true;
      continue;
    }
    if (!in) continue;
    if (l.find("MAXIMUM OR MINIMUM") != std::string::npos) break;
    std::string t = l;
    if (!t.empty() && t[0] == '\f') t.erase(0, 1);
    if (!numbers(t, v)) continue;
    if (v.size() == 7) {
      node = int(v[0]);
      out[node].push_back(std::vector<double>(v.begin() + 1, v.end()));
    } else if (v.size() == 6 && node != 0) {
      out[node].push_back(v);
    }
  }
  return out;
}

// One line of the joint load-transfer table: near-face node, its load, far-face node,
// its load.
struct TransferLine {
  int n = 0, m = 0;
  double load = 0, partner = 0;
};

// Every line of the load-transfer tables, x joints then y joints, in printed order.
inline std::vector<TransferLine> transfer_lines(const std::vector<std::string>& lines) {
  std::vector<TransferLine> out;
  bool in = false;
  std::vector<double> v;
  for (const std::string& l : lines) {
    if (l.find("TRANSFERRED LOAD") != std::string::npos) {
      in = true;
      continue;
    }
    if (!in) continue;
    if (l.find("DEPTH") != std::string::npos) break;
    std::string t = l;
    if (!t.empty() && t[0] == '\f') t.erase(0, 1);
    if (numbers(t, v) && v.size() == 4) out.push_back({int(v[0]), int(v[2]), v[1], v[3]});
  }
  return out;
}

// The node list printed under the last line holding `heading` (24 numbers a line,
// ended by a line of blanks). Empty when the list is empty or the heading is absent.
inline std::vector<int> last_node_list(const std::vector<std::string>& lines,
                                       const std::string& heading) {
  std::size_t at = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(heading) != std::string::npos) at = i;
  std::vector<int> out;
  std::vector<double> v;
  for (std::size_t i = at + 1; i < lines.size(); ++i) {
    if (numbers(lines[i], v)) {
      for (double x : v) out.push_back(int(x));
    } else if (lines[i].find_first_not_of(' ') == std::string::npos && out.empty()) {
      continue;
    } else {
      break;
    }
  }
  return out;
}

// The (node, value) table printed under the last line holding `heading` (several
// pairs a line, as the curling analyses print their node tables): node -> value.
inline std::map<int, double> last_node_table(const std::vector<std::string>& lines,
                                             const std::string& heading) {
  std::size_t at = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(heading) != std::string::npos) at = i;
  std::map<int, double> out;
  std::vector<double> v;
  for (std::size_t i = at + 1; i < lines.size(); ++i) {
    std::string t = lines[i];
    if (!t.empty() && t[0] == '\f') t.erase(0, 1);
    if (t.find_first_not_of(' ') == std::string::npos) {
      if (out.empty()) continue;
      break;
    }
    if (!numbers(t, v) || v.size() % 2 != 0) break;
    for (std::size_t k = 0; k < v.size(); k += 2) out[int(v[k])] = v[k + 1];
  }
  return out;
}

// The lines from the first one holding `text` to the end.
inline std::vector<std::string> lines_from(const std::vector<std::string>& all,
                                           const std::string& text) {
  for (std::size_t i = 0; i < all.size(); ++i)
    if (all[i].find(text) != std::string::npos)
      return std::vector<std::string>(all.begin() + i, all.end());
  return {};
}

// One line of the elastic solid's subgrade table.
struct SubgradeRow {
  double stress = 0, force = 0;
};

// The subgrade table of the elastic solid: node -> stress and force.
inline std::map<int, SubgradeRow> solid_subgrade_rows(const std::vector<std::string>& lines) {
  std::map<int, SubgradeRow> out;
  bool in = false;
  std::vector<double> v;
  for (const std::string& l : lines) {
    if (l.find("SUBGRADE STRESSES FOR ELASTIC SOLID") != std::string::npos) in = true;
    if (!in) continue;
    if (l.find("MAXIMUM OR MINIMUM") != std::string::npos) break;
    std::string t = l;
    if (!t.empty() && t[0] == '\f') t.erase(0, 1);
    if (numbers(t, v) && v.size() == 3) out[int(v[0])] = {v[1], v[2]};
  }
  return out;
}

// The number after `label` on the first line holding it.
inline double value_after(const std::vector<std::string>& lines, const std::string& label) {
  for (const std::string& l : lines) {
    auto p = l.find(label);
    if (p != std::string::npos) return std::strtod(l.c_str() + p + label.size(), nullptr);
  }
  return std::nan("");
}

}  // namespace meridolan::testing
