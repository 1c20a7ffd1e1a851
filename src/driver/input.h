// The model part of the deck, read and echoed by the analysis driver.
#pragma once

#include <span>
#include <vector>

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// Coordinates, title page, node table, layers and subgrade.
void read_mesh(Deck& deck, Report& rep, Control& C, Work& w);

// The node table of the echo: the coordinates of every node rounded to whole inches
// (clamped to +-1e9), as the I3 columns print them.
struct NodeDisplay {
  std::vector<int> x, y;
};
NodeDisplay node_display(std::span<const double> XN, std::span<const double> YN);

// Joints and dowels, loaded areas and their subareas, soil classes, temperature
// and gap records.
void read_joints_and_loads(Deck& deck, Report& rep, Control& C, Work& w);

}  // namespace meridolan
