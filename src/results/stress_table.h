// The stress table: both faces of every layer, node by node.
#pragma once

#include <array>

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan::results {

// Top and bottom stresses of each layer from the bottom-face tables STN1/STN2 (layer 2
// left empty in one-layer models).
void layer_faces(const Control& C, const Work& w, std::array<LayerStresses, 2>& layers);

// One line per surface, depth measured down from the slab top.
void print_stress_table(Report& rep, const Control& C, const Work& w,
                        const std::array<LayerStresses, 2>& layers);

}  // namespace meridolan::results
