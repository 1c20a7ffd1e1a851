// Closed forms and meshes shared by the curling validations.
#pragma once

#include <cmath>
#include <vector>

namespace meridolan::testing {

// Node lines 0, length / elements, ..., length.
inline std::vector<double> even(double length, int elements) {
  std::vector<double> c;
  for (int i = 0; i <= elements; ++i) c.push_back(length * i / elements);
  return c;
}

// Bradbury's coefficient for a slab of length L in radii of relative stiffness l,
// from Westergaard's solution for an infinitely long strip of width L held flat by a
// dense liquid (Westergaard 1926, "Analysis of stresses in concrete pavements due to
// variations of temperature"; Bradbury 1938, "Reinforced concrete pavements"):
//   C = 1 - 2 cos(lam) cosh(lam) (tan(lam) + tanh(lam)) / (sin(2 lam) + sinh(2 lam)),
//   lam = L / (l sqrt(8)).
// C tends to 1 for long slabs and peaks near 1.08 at L/l = 9 (Bradbury's chart).
inline double bradbury_c(double L_over_l) {
  const double lam = L_over_l / std::sqrt(8.0);
  return 1.0 - 2.0 * std::cos(lam) * std::cosh(lam) * (std::tan(lam) + std::tanh(lam)) /
                   (std::sin(2.0 * lam) + std::sinh(2.0 * lam));
}

}  // namespace meridolan::testing
