// Rectangular plate bending element (12 terms, three DOF per corner) of one or two layers.
#pragma once

#include <array>
#include <span>

#include "base/control.h"
#include "model/neutral_axis.h"

namespace meridolan {

// Bending rigidities D1, D2 of the element's layers from the four-node mean thickness
// and modulus of each layer. Sets C.PR2 = 0 when there is no second layer.
std::array<double, 2> RIGID(Control& C, double h1, double e1, double h2, double e2);

// Matrix of one layer in block-triangle form (90 words): CLAY times the T1..T21 terms
// of half-sizes a, b, Poisson ratio nu and g = (1 - nu)/2.
void PLAYER(double a, double b, double nu, double g, double clay, std::span<double> EKL);

// Plate element of half-sizes a, b: CLAY(2), EKL(90 x 2) of both layers and their
// word-by-word sum EK(90). Overwrites EK.
void PLATE(Control& C, double a, double b, double h1, double e1, double h2, double e2,
           std::span<double> CLAY, std::span<double> EKL, std::span<double> EK);

}  // namespace meridolan
