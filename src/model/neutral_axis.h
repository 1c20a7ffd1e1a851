// Neutral axis of two bonded layers, shared by the plate element and the stress
// recovery so that both place it identically.
#pragma once

namespace meridolan {

// The moduli, not the Poisson ratios, place the axis: ZNA2 is the distance from the
// bottom layer's mid-plane up to the axis, ZNA1 from the top layer's mid-plane down
// to it.
inline void NAXIS(double h1, double e1, double h2, double e2, double& ZNA1, double& ZNA2) {
  ZNA2 = ((h2 + h1) * h1 * 0.5) / (e2 * h2 / e1 + h1);
  ZNA1 = (h2 + h1) * 0.5 - ZNA2;
}

}  // namespace meridolan
