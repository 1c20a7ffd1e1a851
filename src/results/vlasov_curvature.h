// Second derivatives of the plate element's deflection at its corners, used by the
// Vlasov subgrade, whose shear layer reacts to the curvature of the slab.
#pragma once

#include <array>
#include <vector>

#include "base/control.h"
#include "base/work.h"

namespace meridolan::results {

struct ElementCorners {
  std::array<int, 4> P{};  // P1 (x0,y0), P2 (+y), P3 (+x), P4 (+x,+y)
  double A = 0, B = 0;     // element sizes along x and y
};

ElementCorners element_corners(const Control& C, const Work& w, int e);

struct Curvatures2 {
  double wxx = 0, wyy = 0;
};

// w_xx and w_yy at corner c (0..3 = P1..P4) from the element's 12 freedoms.
Curvatures2 vlasov_curvatures(const ElementCorners& el, const std::vector<double>& R, int c);

}  // namespace meridolan::results
