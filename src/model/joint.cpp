// Joint elements. A joint element has no plate stiffness and no support: it ties each
// node of the near face to the coincident node of the far face by the dowels that
// fall to that node pair and by aggregate interlock.
#include "model/joint.h"

#include <cmath>

namespace meridolan {

namespace {

// Which pairs of the element receive dowel terms: bit 0 the first, bit 1 the second.
// Spread dowels reach both pairs. A list is searched from its start and the search
// stops at the first entry naming a near-face node of the element; a first-node
// entry followed directly by the second node places dowels at both pairs.
int placement(const JointInput& J, std::span<const int> NDOW, const std::array<int, 2>& near) {
  if (J.SP > 0.0) return 3;
  const int nd = static_cast<int>(NDOW.size()) < J.ND ? static_cast<int>(NDOW.size()) : J.ND;
  for (int k = 0; k < nd; ++k) {
    if (NDOW[k] == near[0]) return (k + 1 < nd && NDOW[k + 1] == near[1]) ? 3 : 1;
    if (NDOW[k] == near[1]) return 2;
  }
  return 0;
}

// Block-triangle words (1-based) of the terms of each node pair: shear and aggregate
// interlock (+, -, +), torsion (+, -, +), and bending in the order wP-thP, thP-thP,
// wP-thQ, thP-wQ, thP-thQ, wQ-thQ, thQ-thQ.
struct PairWords {
  int shear[3], torsion[3], bending[7];
};
constexpr PairWords kXWords[2] = {
    {{1, 19, 64}, {5, 23, 68}, {3, 9, 21, 25, 27, 66, 72}},
    {{37, 55, 82}, {41, 59, 86}, {39, 45, 57, 61, 63, 84, 90}},
};
constexpr PairWords kYWords[2] = {
    {{1, 10, 37}, {9, 18, 45}, {2, 5, 11, 13, 14, 38, 41}},
    {{64, 73, 82}, {72, 81, 90}, {65, 68, 74, 76, 77, 83, 86}},
};

void add3(std::span<double> EK, const int (&w)[3], double k) {
  EK[w[0] - 1] += k;
  EK[w[1] - 1] -= k;
  EK[w[2] - 1] += k;
}

}  // namespace

PairTerms DOWEL(const JointInput& J, double L, double s) {
  // Pi/32 held in single precision: the polar moment of a bar is that times d^4.
  constexpr double kPi32 = static_cast<double>(0.09817477f);
  const double w = dowel_width(J);
  const double phi = J.PHI;
  const double EI = J.ED * J.DIN * L / s;
  const double kb = 12.0 * EI / ((1.0 + phi) * w * w * w);
  const double kc = J.KDC * L / s;
  PairTerms p;
  p.dowel = true;
  // A spring of no stiffness in the series carries nothing.
  if (J.JSW[1] != 0 && kb != 0.0 && kc != 0.0) p.KSH = 1.0 / (1.0 / kb + 1.0 / kc);
  if (J.JSW[0] != 0)
    p.kt = kPi32 * (std::pow(J.DO, 4.0) - std::pow(J.DI, 4.0)) * J.ED / (2.0 * (1.0 + J.PRD) * w);
  if (J.JSW[2] != 0) {
    p.KMO = 6.0 * EI / ((1.0 + phi) * w * w);
    p.c4 = (4.0 + phi) * EI / ((1.0 + phi) * w);
    p.c2 = (2.0 - phi) * EI / ((1.0 + phi) * w);
  }
  return p;
}

std::array<PairTerms, 2> JTERMS(const JointInput& J, std::span<const int> NDOW, double L,
                                const std::array<int, 2>& near) {
  std::array<PairTerms, 2> t{};
  if (J.LT != 0) {
    const int at = placement(J, NDOW, near);
    // A listed element takes half a dowel per pair: the spacing is twice its length.
    const double s = J.SP > 0.0 ? J.SP : 2.0 * L;
    for (int p = 0; p < 2; ++p)
      if (at & (1 << p)) t[p] = DOWEL(J, L, s);
  }
  if (J.LT != 1) t[0].ka = t[1].ka = J.AGG * L;
  return t;
}

void JOINT(ElKind kind, const std::array<PairTerms, 2>& t, std::span<double> EK) {
  const bool x = kind == ElKind::XJoint;
  // Bending couples the deflection with the rotation normal to the joint; the y-rotation
  // is +dw/dx and the x-rotation -dw/dy, so the coupling terms change sign in y.
  const double sgn = x ? 1.0 : -1.0;
  for (int p = 0; p < 2; ++p) {
    const PairWords& wd = x ? kXWords[p] : kYWords[p];
    const PairTerms& k = t[p];
    add3(EK, wd.shear, k.KSH + k.ka);
    add3(EK, wd.torsion, k.kt);
    const double b[7] = {sgn * k.KMO, k.c4, sgn * k.KMO, -sgn * k.KMO, k.c2, -sgn * k.KMO, k.c4};
    for (int i = 0; i < 7; ++i) EK[wd.bending[i] - 1] += b[i];
  }
}

}  // namespace meridolan
