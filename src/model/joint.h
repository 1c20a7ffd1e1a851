// Joint elements: dowel bars and aggregate interlock across a joint of zero width.
#pragma once

#include <array>
#include <span>

#include "base/control.h"
#include "model/mesh.h"

namespace meridolan {

// Single-precision 0.01: the narrowest joint the dowel terms are formed for.
inline constexpr double kMinJointWidth = 0.009999999776482582;

// The joint data of one direction (x: joints between slab columns, y: between rows).
struct JointSet {
  int LT = 0;  // 0 aggregate interlock, 1 dowels, any other value both
  double DI = 0, DO = 0, ED = 0, SP = 0, WJ = 0, PRD = 0, KDC = 0, AGG = 0;
  double DIN = 0, PHI = 0;
  int ND = 0;                 // listed dowel nodes (used when SP is not positive)
  std::span<const int> NDOW;  // the list
  std::array<int, 3> JSW{};   // torsion, shear, bending switches
};

JointSet xjoints(const Control& C, std::span<const int> NDOWX);
JointSet yjoints(const Control& C, std::span<const int> NDOWY);

// Terms that one joint element puts on one of its two node pairs.
struct PairTerms {
  bool dowel = false;  // the pair received dowel terms
  double KSH = 0, KMO = 0, c4 = 0, c2 = 0, kt = 0;
  double ka = 0;  // aggregate interlock
};

// The dowel-concrete spring in series with the shear of the dowel beam; bending and
// torsion of the dowels that fall to one node pair of a joint length L, spacing s.
PairTerms DOWEL(const JointSet& J, double L, double s);

// Terms of the two node pairs of a joint element whose pairs have the near-face
// nodes near[0], near[1] and the joint length L per pair. Dowels are spread by the
// spacing, or placed at listed near-face nodes (half a dowel per element and pair).
std::array<PairTerms, 2> JTERMS(const JointSet& J, double L, const std::array<int, 2>& near);

// Adds the terms of both pairs into the block triangle EK of an x-joint or y-joint
// element.
void JOINT(ElKind kind, const std::array<PairTerms, 2>& t, std::span<double> EK);

}  // namespace meridolan
