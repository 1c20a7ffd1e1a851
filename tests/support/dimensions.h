// Test models take their dimensions from the program's own routines, as a deck of
// the same node counts would.
#pragma once

#include <cstddef>
#include <vector>

#include "base/control.h"
#include "driver/control_records.h"

namespace meridolan::testing {

// Node lines, slabs, nodes, equations, band width, elements and segment lengths from
// the node counts of the slab columns and rows. The fields the sizes depend on
// (layers, subgrade type, loaded areas, contour requests) are read as set.
inline void dimension(Control& C, const std::vector<int>& nnx, const std::vector<int>& nny) {
  C.NNX = {};
  C.NNY = {};
  for (std::size_t i = 0; i < nnx.size(); ++i) C.NNX[i] = nnx[i];
  for (std::size_t i = 0; i < nny.size(); ++i) C.NNY[i] = nny[i];
  derive_counts(C);
  derive_dimensions(C);
}

}  // namespace meridolan::testing
