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

// Thickness and modulus of one layer at every node.
struct NodeLayer {
  std::span<const double> TH, E;
};

// Per-node model data that the stiffness reads. Build it with designated initialisers
// (or stiff_data from the work arrays): every field is named where it is filled.
struct StiffData {
  std::span<const double> XN, YN;     // node coordinates
  NodeLayer top, bottom;              // the bottom layer is read only with two layers
  std::span<const double> SKN;        // support modulus of every node (one word: solid)
  std::span<const int> NDOWX, NDOWY;  // dowel node lists of the x- and y-joints
  std::span<const int> ICON;          // contact flag of every node
};

// The stiffness data of the work arrays, or of any holder of per-node arrays under
// the work arrays' names (test and benchmark models).
template <class Arrays>
StiffData stiff_data(const Arrays& w) {
  return {.XN = w.XN,
          .YN = w.YN,
          .top = {.TH = w.THN1, .E = w.EN1},
          .bottom = {.TH = w.THN2, .E = w.EN2},
          .SKN = w.SKN,
          .NDOWX = w.NDOWX,
          .NDOWY = w.NDOWY,
          .ICON = w.ICON};
}

// Visits every grid element, classifies it (plate, x-joint, y-joint, empty), forms
// its matrix and adds it into the band store SK (NEQ rows of MBAND words, which the
// caller has cleared). Control is only read: the dowel width floor and the spacing of
// a listed element are formed per element, so every pass sees the joints as read.
void STIFF(const Control& C, const StiffData& d, std::span<double> SK, StiffWork& W);

// The stiffness of one pass from the work arrays: clears the band store, assembles
// every element with the current moduli and contact flags, and imposes the symmetry
// conditions when the model has any.
void ASSEMBLE(const Control& C, Work& w);

}  // namespace meridolan
