// Consistent nodal loads of the loaded subareas.
#pragma once

#include <span>

#include "base/control.h"

namespace meridolan {

struct Subareas {
  std::span<const int> NES;
  std::span<const double> PS, XS1, YS1, XS2, YS2;
};

// Adds the exact consistent nodal loads of subareas 1..C.NSUB into R (never clears).
void LOAD(const Control& C, const Subareas& s, std::span<const double> XN,
          std::span<const double> YN, std::span<double> R);

}  // namespace meridolan
