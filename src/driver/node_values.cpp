#include "driver/node_values.h"

#include <algorithm>

#include "base/stop.h"

namespace meridolan {

void check_nodes(Report& rep, std::span<const int> nodes, int nnode, const char* records) {
  static const Format kBadNode(
      "/, /, 20X, '***NODE', I6, ' OF THE ', A, ' RECORDS IS NOT A NODE OF THE MESH (1 TO', I6, "
      "').', /, 20X, ' PROGRAM TERMINATED.', /, /");
  for (int n : nodes) {
    if (n < 1 || n > nnode) {
      rep.write(kBadNode, {n, records, nnode});
      STOP(rep, Ending::Refused);
    }
  }
}

std::vector<NodeValue> read_node_values(Deck& deck, Report& rep, const Format& record, int count,
                                        int nnode, const char* records) {
  std::vector<NodeValue> pairs(static_cast<std::size_t>(std::max(count, 0)));
  std::vector<Target> list;
  list.reserve(2 * pairs.size());
  for (NodeValue& p : pairs) {
    list.emplace_back(p.node);
    list.emplace_back(p.value);
  }
  deck.read(record, list);
  std::vector<int> nodes;
  nodes.reserve(pairs.size());
  for (const NodeValue& p : pairs) nodes.push_back(p.node);
  check_nodes(rep, nodes, nnode, records);
  return pairs;
}

bool any_differs(std::span<const double> a) {
  return std::any_of(a.begin(), a.end(), [&](double x) { return x != a[0]; });
}

}  // namespace meridolan
