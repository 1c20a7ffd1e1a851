// Node tables and node lists of the curling and gap analyses.
#include "supports/node_tables.h"

#include <algorithm>
#include <vector>

namespace meridolan {

namespace {

constexpr int kLinesPerPage = 50;

}  // namespace

void node_value_table(Report& rep, const Format& line, int per_line, int nnode,
                      std::span<const double> values, int stride) {
  std::vector<Item> pairs;
  pairs.reserve(2 * static_cast<std::size_t>(per_line));
  int lines = 0;
  for (int first = 1; first <= nnode; first += per_line) {
    const int last = std::min(first + per_line - 1, nnode);
    pairs.clear();
    for (int n = first; n <= last; ++n) {
      pairs.emplace_back(n);
      pairs.emplace_back(values[static_cast<std::size_t>(n - 1) * stride]);
    }
    rep.write(line, pairs);
    if (++lines % kLinesPerPage == 0 || last == nnode) new_page(rep);
  }
}

void node_list(Report& rep, std::span<const int> nodes) {
  static const Format kList("10(5X, 24I5, /)");
  rep.write(kList, items(nodes));
}

int changed_nodes(int nnode, std::span<const int> ICON, std::span<const int> ICONP,
                  std::span<int> out) {
  int count = 0;
  for (int n = 1; n <= nnode; ++n)
    if (ICON[n - 1] != ICONP[n - 1]) out[count++] = n;
  return count;
}

int nodes_out_of_contact(int nnode, std::span<const int> ICON, std::span<int> out) {
  int count = 0;
  for (int n = 1; n <= nnode; ++n)
    if (ICON[n - 1] == 1) out[count++] = n;
  return count;
}

}  // namespace meridolan
