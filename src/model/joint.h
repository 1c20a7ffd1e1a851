// Joint elements: dowel bars and aggregate interlock across a joint of zero width.
#pragma once

#include <array>
#include <span>

#include "base/control.h"
#include "model/mesh.h"

namespace meridolan {

// Single-precision 0.01: the narrowest joint the dowel terms are formed for.
inline constexpr double kMinJointWidth = 0.009999999776482582;

// The width the dowel terms of a joint are formed with: the width as read, raised to
// the floor (a joint of no width would make the bars infinitely stiff). Control keeps
// the width as read, which the echo prints.
inline double dowel_width(const JointInput& J) {
  return J.WJ > kMinJointWidth ? J.WJ : kMinJointWidth;
}

// Terms that one joint element puts on one of its two node pairs.
struct PairTerms {
  bool dowel = false;  // the pair received dowel terms
  double KSH = 0, KMO = 0, c4 = 0, c2 = 0, kt = 0;
  double ka = 0;  // aggregate interlock
};

// The dowel-concrete spring in series with the shear of the dowel beam; bending and
// torsion of the dowels that fall to one node pair of a joint length L, spacing s.
PairTerms DOWEL(const JointInput& J, double L, double s);

// Terms of the two node pairs of a joint element whose pairs have the near-face
// nodes near[0], near[1] and the joint length L per pair. Dowels are spread by the
// spacing, or placed at the listed near-face nodes NDOW (the first J.ND entries; half
// a dowel per element and pair).
std::array<PairTerms, 2> JTERMS(const JointInput& J, std::span<const int> NDOW, double L,
                                const std::array<int, 2>& near);

// Adds the terms of both pairs into the block triangle EK of an x-joint or y-joint
// element.
void JOINT(ElKind kind, const std::array<PairTerms, 2>& t, std::span<double> EK);

}  // namespace meridolan
