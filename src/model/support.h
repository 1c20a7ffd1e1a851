// Support (subgrade) terms added to the matrix of a plate element.
#pragma once

#include <array>
#include <span>

#include "base/control.h"

namespace meridolan {

// Springs lumped at the corners: the deflection diagonal of corner m gets a*b*kc[m],
// for the corners with on[m] set.
void LUMP(double a, double b, const std::array<double, 4>& kc, const std::array<bool, 4>& on,
          std::span<double> EK);

// Consistent foundation matrix (integral of N'N over the element): every word of
// block (I, J) gets F * coefficient * kj[J], J being the higher node of the pair.
// Mean modulus: F = a*b*k/44100 and kj = 1; nodal moduli: F = a*b/44100, kj = SKN.
void FOUND(double a, double b, double F, const std::array<double, 4>& kj, std::span<double> EK);

// Vlasov shear layer: VSHEAR times the integral of the shape-function gradients,
// added as an x-pass and a y-pass.
void VLASOV(double a, double b, double VSHEAR, std::span<double> EK);

// Adds the support terms of one plate element with corners nodes[0..3] into EK,
// chosen by C.ISUBGR and C.ICURL. ICON is read only in the curling analyses.
void SUPPORT(const Control& C, const std::array<int, 4>& nodes, double a, double b,
             std::span<const double> SKN, std::span<const int> ICON, std::span<double> EK);

}  // namespace meridolan
