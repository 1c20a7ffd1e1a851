// Rectangular plate bending element (12 terms, three DOF per corner) of one or two layers.
#pragma once

#include <array>
#include <span>

#include "base/control.h"
#include "model/neutral_axis.h"

namespace meridolan {

// Bending rigidities D1, D2 of the element's layers (four-node means of thickness and
// modulus). D2 is 0 unless the model has two layers.
std::array<double, 2> RIGID(const Control& C, const PlateLayers& L);

// Matrix of one layer in block-triangle form (90 words): CLAY times the T1..T21 terms
// of half-sizes a, b, Poisson ratio nu and g = (1 - nu)/2.
void PLAYER(double a, double b, double nu, double g, double clay, std::span<double> EKL);

// Plate element of half-sizes a, b: CLAY(2), EKL(90 x 2) of both layers and their
// word-by-word sum EK(90). Overwrites EK. A one-layer model forms its missing second
// layer with Poisson ratio 0, whatever PR2 the deck gave.
void PLATE(const Control& C, double a, double b, const PlateLayers& L, std::span<double> CLAY,
           std::span<double> EKL, std::span<double> EK);

}  // namespace meridolan
