// Equivalent nodal moments of a temperature difference through the slab's layers.
#pragma once

#include <vector>

#include "base/control.h"
#include "base/work.h"
#include "model/neutral_axis.h"

namespace meridolan {

// Layer thicknesses and moduli of one element: the means over its four corners (the
// bottom layer 0 in a one-layer model).
PlateLayers element_layers(const Control& C, const Work& w, int e);

// True when the thermal moment of bonded layers needs positive layer thicknesses:
// bonded two layers with a temperature difference in either.
bool bonded_thermal(const Control& C);

// Thermal moment per unit length of an element (DT1, DT2 = top minus bottom of each
// layer): one layer, two layers bending each about its own mid-plane, or two bonded
// layers through their equivalent thicknesses about the common neutral axis.
double thermal_moment(const Control& C, const PlateLayers& L);

// Adds the moments of every plate element to the rotation equations of its corners
// in R. Zero-width joint elements carry none.
void add_thermal_moments(const Control& C, const Work& w, std::vector<double>& R);

}  // namespace meridolan
