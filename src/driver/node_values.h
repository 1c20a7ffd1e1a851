// Pieces shared by the readers of per-node deck records.
#pragma once

#include <span>
#include <vector>

#include "base/records.h"

namespace meridolan {

struct NodeValue {
  int node = 0;
  double value = 0.0;
};

// Reads `count` pairs of node number and value from a continued record such as
// "6(I3, F10.3)". Every node must be a node of the mesh (1..nnode); otherwise the
// report names the records holding the stray node and the run stops.
std::vector<NodeValue> read_node_values(Deck& deck, Report& rep, const Format& record, int count,
                                        int nnode, const char* records);

// Every node number must be a node of the mesh (1..nnode); otherwise the report
// names the records holding the stray node and the run stops.
void check_nodes(Report& rep, std::span<const int> nodes, int nnode, const char* records);

// True when some entry differs from the first (an empty list has none).
bool any_differs(std::span<const double> a);

}  // namespace meridolan
