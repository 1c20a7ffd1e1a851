// Node tables and node lists of the curling and gap analyses.
#pragma once

#include <span>

#include "base/records.h"

namespace meridolan {

// Prints the value of every node, nodes 1..nnode in ascending order, `per_line`
// (node, value) pairs per line under `line` (for instance "5X, 8(I5, F10.5)"). Each
// line is a record of its own; a new page follows every 50 lines and the last line.
// The value of node n is values[(n - 1) * stride], so a displacement vector can be
// shown with stride 3.
void node_value_table(Report& rep, const Format& line, int per_line, int nnode,
                      std::span<const double> values, int stride = 1);

// Prints a list of node numbers, 24 to a line, under "10(5X, 24I5, /)". An empty
// list prints one line of blanks.
void node_list(Report& rep, std::span<const int> nodes);

// Nodes whose contact flag differs between ICON and ICONP, in ascending order, into
// the front of `out`; returns their number.
int changed_nodes(int nnode, std::span<const int> ICON, std::span<const int> ICONP,
                  std::span<int> out);

// Nodes out of contact (ICON = 1), in ascending order, into the front of `out`;
// returns their number.
int nodes_out_of_contact(int nnode, std::span<const int> ICON, std::span<int> out);

}  // namespace meridolan
