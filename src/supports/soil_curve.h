// Pressure-deflection curves of the stress-dependent subgrade.
//
// With X = w/DY, the pressure is linear in the deflection w up to X = XLIN, with the
// modulus KLIN/DY; beyond it p = 2.0 + CEXP(1 - exp(-REXP(X - XLIN))) + SLOPE(X - XLIN).
// The subgrade modulus of a node is the secant modulus p/w of its curve.
#pragma once

namespace meridolan {

struct SoilCurve {
  double CEXP = 0, REXP = 0, XLIN = 0, SLOPE = 0, KLIN = 0, DY = 0;
};

// Built-in soil class 1 to 4. The constants act as single-precision values widened
// to double (0.8 acts as 0.800000011920929), which shows in the printed moduli.
SoilCurve builtin_class(int cls);

// Linear-range modulus K0 = KLIN/DY.
double linear_modulus(const SoilCurve& c);

// Secant modulus K* of the curve at deflection w: K0 in the linear range, which for
// a positive DY includes every zero or upward deflection.
double secant_modulus(const SoilCurve& c, double w);

// False when the values leave the curve undefined: a value that is not finite, a
// zero DY, or a linear-range modulus that is not finite.
bool curve_defined(const SoilCurve& c);

}  // namespace meridolan
