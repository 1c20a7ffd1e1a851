// Closed forms and meshes shared by the curling validations.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/report_parse.h"

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

// A slab that settled flat: every one of `nodes` printed deflection w, no rotation,
// subgrade stress q; the reactions sum to `sum`; every stress is zero.
inline void expect_settled_flat(const std::vector<std::string>& lines, std::size_t nodes, double w,
                                double q, double sum) {
  const auto defl = deflections(lines);
  ASSERT_EQ(defl.size(), nodes);
  for (const auto& [n, v] : defl) {
    EXPECT_EQ(v.w, w) << n;
    EXPECT_EQ(v.rx, 0.0) << n;
    EXPECT_EQ(v.ry, 0.0) << n;
    EXPECT_EQ(v.q, q) << n;
  }
  EXPECT_DOUBLE_EQ(value_after(lines, "THE SUM OF REACTION FORCES IS"), sum);
  const auto st = stresses(lines);
  ASSERT_EQ(st.size(), nodes);
  for (const auto& [n, rows] : st)
    for (const auto& row : rows)
      for (std::size_t k = 1; k < row.size(); ++k) EXPECT_EQ(std::abs(row[k]), 0.0) << n;
}

}  // namespace meridolan::testing
