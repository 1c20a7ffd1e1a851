// Layers of a plate element and the neutral axis of two bonded layers, shared by the
// plate element and the stress recovery so that both place it identically.
#pragma once

namespace meridolan {

// Thickness and modulus of one layer of a plate element.
struct PlateLayer {
  double thickness = 0, modulus = 0;
};

// The layers of one element; the bottom layer is zero in a one-layer model.
struct PlateLayers {
  PlateLayer top, bottom;
};

// Distances of the common axis of two bonded layers from their mid-planes: ZNA1 from
// the top layer's mid-plane down to the axis, ZNA2 from the bottom layer's up to it.
struct AxisDistances {
  double ZNA1 = 0, ZNA2 = 0;
};

// The moduli, not the Poisson ratios, place the axis.
inline AxisDistances NAXIS(const PlateLayers& L) {
  const double h1 = L.top.thickness, e1 = L.top.modulus;
  const double h2 = L.bottom.thickness, e2 = L.bottom.modulus;
  AxisDistances z;
  z.ZNA2 = ((h2 + h1) * h1 * 0.5) / (e2 * h2 / e1 + h1);
  z.ZNA1 = (h2 + h1) * 0.5 - z.ZNA2;
  return z;
}

}  // namespace meridolan
