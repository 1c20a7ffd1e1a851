// Assembly of the global stiffness: every grid element is classified by its size and
// its matrix (plate with support, joint, or nothing) is added into the band store.
#include "model/stiff.h"

#include <algorithm>
#include <cstring>

#include "model/addek.h"
#include "model/joint.h"
#include "model/mesh.h"
#include "model/plate.h"
#include "model/support.h"
#include "model/symtry.h"

namespace meridolan {

namespace {

double mean4(std::span<const double> v, const std::array<int, 4>& n) {
  return (v[n[0] - 1] + v[n[1] - 1] + v[n[2] - 1] + v[n[3] - 1]) / 4.0;
}

PlateLayer mean4(const NodeLayer& l, const std::array<int, 4>& n) {
  return {.thickness = mean4(l.TH, n), .modulus = mean4(l.E, n)};
}

// Everything a plate element's matrix (bending and support) depends on besides the
// run's constants: its size, its layers, and the support values at its corners.
using PlateKey = std::array<double, 14>;

PlateKey plate_key(const Control& C, const StiffData& d, const std::array<int, 4>& nodes, double a,
                   double b, const PlateLayers& L) {
  PlateKey key{a, b, L.top.thickness, L.top.modulus, L.bottom.thickness, L.bottom.modulus};
  for (int m = 0; m < 4; ++m) {
    // The elastic solid's SKN is a single word; its plate elements take no support.
    key[6 + m] = C.ISUBGR == 8 ? 0.0 : d.SKN[nodes[m] - 1];
    key[10 + m] = d.ICON[nodes[m] - 1];
  }
  return key;
}

bool same_bits(const PlateKey& x, const PlateKey& y) {
  return std::memcmp(x.data(), y.data(), sizeof x) == 0;
}

}  // namespace

void STIFF(const Control& C, const StiffData& d, std::span<double> SK, StiffWork& W) {
  const std::span<double> EK(W.EK);
  // The elements of a regular mesh mostly repeat the plate element formed last, with
  // the same inputs to the bit: its matrix is then copied instead of formed anew (the
  // layer matrices in W stay those of that element, as they would be).
  PlateKey last_key{};
  std::array<double, 90> last_EK{};
  bool have_last = false;
  for (int e = 1; e <= C.NELEM; ++e) {
    const std::array<int, 4> nodes = ELNODE(e, C.NYT);
    const double a = (d.XN[nodes[2] - 1] - d.XN[nodes[0] - 1]) / 2.0;
    const double b = (d.YN[nodes[1] - 1] - d.YN[nodes[0] - 1]) / 2.0;
    std::fill(W.EK.begin(), W.EK.end(), 0.0);

    const ElKind kind = ELKIND(C.NSLAB, a, b);
    switch (kind) {
      case ElKind::Empty:
        continue;
      case ElKind::Plate: {
        PlateLayers layers{.top = mean4(d.top, nodes), .bottom = {}};
        if (C.NLAYER == 2) layers.bottom = mean4(d.bottom, nodes);
        const PlateKey key = plate_key(C, d, nodes, a, b, layers);
        if (have_last && same_bits(key, last_key)) {
          W.EK = last_EK;
          break;
        }
        PLATE(C, a, b, layers, W.CLAY, W.EKL, EK);
        SUPPORT(C, nodes, a, b, d.SKN, d.ICON, EK);
        last_key = key, last_EK = W.EK, have_last = true;
        break;
      }
      case ElKind::XJoint:
      case ElKind::YJoint: {
        const bool x = kind == ElKind::XJoint;
        const JointInput& J = C.joint(x ? Axis::x : Axis::y);
        // Length of joint per node pair, and the near-face nodes of the two pairs.
        const double L = x ? b : a;
        const std::array<int, 2> near = {nodes[0], x ? nodes[1] : nodes[2]};
        JOINT(kind, JTERMS(J, x ? d.NDOWX : d.NDOWY, L, near), EK);
        break;
      }
    }
    W.NODEL = nodes;
    ADDEK(C.MBAND, nodes, EK, SK);
  }
}

void ASSEMBLE(const Control& C, Work& w) {
  // A band store fresh from the allocator is zero already; clearing it would only
  // write its megabytes once more.
  if (!w.SK_zero) std::fill(w.SK.begin(), w.SK.end(), 0.0);
  w.SK_zero = false;
  StiffWork sw;
  STIFF(C, stiff_data(w), w.SK, sw);
  if (C.ISYM != 0) SYMTRY(C, w.SK);
}

}  // namespace meridolan
