// Search for the extreme nodal results of a pass.
#pragma once

#include "base/control.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan::results {

// Continues the searches in `e` over every node: deflections and the bottom
// stresses of each layer. Equal values move the entry to the later node.
void search_extremes(const Control& C, const Work& w, ExtremeValues& e);

}  // namespace meridolan::results
