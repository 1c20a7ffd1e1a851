#include "supports/soil_curve.h"

#include <cmath>
#include <initializer_list>

namespace meridolan {

SoilCurve builtin_class(int cls) {
  // Float literals: each constant is the single-precision value of the table entry.
  static constexpr float kClass[4][6] = {
      {15.0f, 0.8f, 0.168f, 0.62f, 11.9f, 0.04f},
      {9.5f, 2.6f, 0.0594f, 10.25f, 33.7f, 0.0782f},
      {7.0f, 3.74f, 0.0377f, 28.1f, 53.1f, 0.0734f},
      {5.0f, 5.3f, 0.0282f, 45.9f, 71.0f, 0.0707f},
  };
  const float* k = kClass[cls - 1];
  return {k[0], k[1], k[2], k[3], k[4], k[5]};
}

double linear_modulus(const SoilCurve& c) {
  return c.KLIN / c.DY;
}

double secant_modulus(const SoilCurve& c, double w) {
  const double x = w / c.DY;
  if (x <= c.XLIN) return linear_modulus(c);
  const double beyond = x - c.XLIN;
  return (c.CEXP * (1.0 - std::exp(-c.REXP * beyond)) + c.SLOPE * beyond + 2.0) / w;
}

bool curve_defined(const SoilCurve& c) {
  for (double v : {c.CEXP, c.REXP, c.XLIN, c.SLOPE, c.KLIN, c.DY})
    if (!std::isfinite(v)) return false;
  return c.DY != 0.0 && std::isfinite(linear_modulus(c));
}

}  // namespace meridolan
