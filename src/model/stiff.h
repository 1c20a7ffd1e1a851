// Assembly of the global stiffness matrix in band storage.
#pragma once

#include <array>
#include <span>

#include "base/control.h"
#include "base/work.h"

namespace meridolan {

// Element work areas owned by the caller (the analysis driver).
struct StiffWork {
  std::array<double, 90> EK{};    // current element matrix, block triangle
  std::array<double, 180> EKL{};  // matrix of each layer, EKL(k, L) = EKL[(L-1)*90 + k-1]
  std::array<double, 2> CLAY{};   // plate coefficient of each layer
  std::array<int, 4> NODEL{};     // corners of the last element assembled
};

// Per-node model data that the stiffness reads.
struct StiffData {
  std::span<const double> XN, YN, SKN, THN1, EN1, THN2, EN2;
  std::span<const int> NDOWX, NDOWY, ICON;
};

// Visits every grid element, classifies it (plate, x-joint, y-joint, empty), forms
// its matrix and adds it into the band store SK (NEQ rows of MBAND words, which the
// caller has cleared). May rewrite C.PR2 (0 for one layer). The joint data are only
// read: the dowel width floor and the spacing of a listed element are formed per
// element, so every pass sees the joints as read.
void STIFF(Control& C, const StiffData& d, std::span<double> SK, StiffWork& W);

// The stiffness of one pass from the work arrays: clears the band store, assembles
// every element with the current moduli and contact flags, and imposes the symmetry
// conditions when the model has any.
void ASSEMBLE(Control& C, Work& w);

}  // namespace meridolan
