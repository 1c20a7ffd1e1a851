// Nodal stresses of one layer, two unbonded layers or two bonded layers.
#include "results/layer_stress.h"

#include <cmath>

#include "model/neutral_axis.h"

namespace meridolan::results {
namespace {

// A layer bending about its own mid-plane; compression positive at the bottom.
void own_midplane(std::vector<double>& stn, const std::vector<double>& sts, int rows, int n,
                  double h, double E, double nu, double DT, double ALF, double DIVN) {
  const double D = h * h * h * E / (12 * (1 - nu * nu));
  const double thermal = E * DT * ALF / (2 * (1 - nu));
  at(stn, rows, n, 1) = -6 * D * at(sts, rows, n, 1) / (h * h * DIVN) - thermal;
  at(stn, rows, n, 2) = -6 * D * at(sts, rows, n, 2) / (h * h * DIVN) - thermal;
  at(stn, rows, n, 3) = -6 * D * at(sts, rows, n, 3) / (h * h * DIVN);
}

// Two bonded layers bending about their common neutral axis.
void bonded(const Control& C, Work& w, int n, double DIVN) {
  const int N = C.NNODE;
  const double h1 = w.THN1[n - 1], h2 = w.THN2[n - 1];
  const double E1 = w.EN1[n - 1], E2 = w.EN2[n - 1];
  const AxisDistances na = NAXIS(node_layers(w, n));
  const double D1 = E1 / (12 * (1 - C.PR1 * C.PR1));
  const double D2 = E2 / (12 * (1 - C.PR2 * C.PR2));

  const double arm1 = 2 * na.ZNA1 - h1;
  const double th1 = (h1 / 2 - na.ZNA1) * E1 * C.DT1 * C.ALF1 / ((1 - C.PR1) * h1);
  at(w.STN1, N, n, 1) = arm1 * 6 * D1 * at(w.STS1, N, n, 1) / DIVN - th1;
  at(w.STN1, N, n, 2) = arm1 * 6 * D1 * at(w.STS1, N, n, 2) / DIVN - th1;
  at(w.STN1, N, n, 3) = arm1 * 6 * D1 * at(w.STS1, N, n, 3) / DIVN;

  const double arm2 = -h2 - 2 * na.ZNA2;
  const double th2 = (h2 / 2 + na.ZNA2) * E2 * C.DT2 * C.ALF2 / ((1 - C.PR2) * h2);
  at(w.STN2, N, n, 1) = arm2 * 6 * D2 * at(w.STS2, N, n, 1) / DIVN - th2;
  at(w.STN2, N, n, 2) = arm2 * 6 * D2 * at(w.STS2, N, n, 2) / DIVN - th2;
  at(w.STN2, N, n, 3) = arm2 * 6 * D2 * at(w.STS2, N, n, 3) / DIVN;
}

// Sets stress component k of node n to 0 in every layer.
void zero(const Control& C, Work& w, int n, int k) {
  at(w.STN1, C.NNODE, n, k) = 0.0;
  if (two_layers(C)) at(w.STN2, C.NNODE, n, k) = 0.0;
}

// Shear is kept only where the top layer carries both normal stresses.
void shear_test(const Control& C, Work& w, int n) {
  if (at(w.STN1, C.NNODE, n, 1) != 0.0 && at(w.STN1, C.NNODE, n, 2) != 0.0) return;
  zero(C, w, n, 3);
}

// Free edges of the slab and the left symmetry line.
void general_edge_rule(const Control& C, Work& w, int n, const NodePlace& p) {
  if (p.BE || p.TE) {
    zero(C, w, n, 2);
    if (n == C.NNODE - C.NYT + 1 && C.ISYM >= 2) {
      zero(C, w, n, 1);
      shear_test(C, w, n);
      return;
    }
  }
  if (C.ISYM >= 2 && n <= C.NYT) {
    zero(C, w, n, 3);
    return;
  }
  if (p.LE || p.RE) zero(C, w, n, 1);
  shear_test(C, w, n);
}

// Nodes on a symmetry line that are treated apart from the free-edge rule.
// Returns true when the node is done.
bool symmetry_edge_rule(const Control& C, Work& w, int n, const NodePlace& p, CornerMark mark) {
  if (mark == CornerMark::JointCornerOnXLine) {
    zero(C, w, n, 1);
    shear_test(C, w, n);
    return true;
  }
  if (mark == CornerMark::SlabCornerOnYLine) {
    zero(C, w, n, 2);
    zero(C, w, n, 3);
    return true;
  }
  if (n == 1 || n == C.NNODE - C.NYT + 1) {
    if (C.ISYM == 2) return false;
    if (C.ISYM == 3 && n == 1) {
      zero(C, w, n, 3);
      return true;
    }
    zero(C, w, n, 1);
    shear_test(C, w, n);
    return true;
  }
  if (p.r == 1 && (C.ISYM == 1 || C.ISYM == 3)) {
    zero(C, w, n, 3);
    return true;
  }
  return false;
}

void principal(std::vector<double>& stn, int rows, int n) {
  const double sx = at(stn, rows, n, 1), sy = at(stn, rows, n, 2), sxy = at(stn, rows, n, 3);
  const double root = std::sqrt(0.25 * (sx - sy) * (sx - sy) + sxy * sxy);
  at(stn, rows, n, 4) = (sx + sy) / 2 + root;
  at(stn, rows, n, 5) = (sx + sy) / 2 - root;
}

void clear_node(const Control& C, Work& w, int n) {
  const int N = C.NNODE;
  for (int k = 1; k <= 3; ++k) at(w.STS1, N, n, k) = 0.0;
  for (int k = 1; k <= 5; ++k) at(w.STN1, N, n, k) = 0.0;
  if (!two_layers(C)) return;
  for (int k = 1; k <= 3; ++k) at(w.STS2, N, n, k) = 0.0;
  for (int k = 1; k <= 3; ++k) at(w.STN2, N, n, k) = 0.0;
}

void store_curvature(std::vector<double>& sts, int rows, int n, const Curvature& k) {
  at(sts, rows, n, 1) = k.kx;
  at(sts, rows, n, 2) = k.ky;
  at(sts, rows, n, 3) = k.kxy;
}

}  // namespace

PlateLayers node_layers(const Work& w, int n) {
  return {.top = {.thickness = w.THN1[n - 1], .modulus = w.EN1[n - 1]},
          .bottom = {.thickness = w.THN2[n - 1], .modulus = w.EN2[n - 1]}};
}

void bottom_stresses(const Control& C, Work& w, int n, double DIVN) {
  const int N = C.NNODE;
  if (two_layers(C) && C.ICOMP == 1) {
    bonded(C, w, n, DIVN);
    return;
  }
  own_midplane(w.STN1, w.STS1, N, n, w.THN1[n - 1], w.EN1[n - 1], C.PR1, C.DT1, C.ALF1, DIVN);
  if (two_layers(C))
    own_midplane(w.STN2, w.STS2, N, n, w.THN2[n - 1], w.EN2[n - 1], C.PR2, C.DT2, C.ALF2, DIVN);
}

void edge_rules(const Control& C, Work& w, int n, const NodePlace& p, CornerMark mark) {
  if (C.ISYM != 0 && symmetry_edge_rule(C, w, n, p, mark)) return;
  general_edge_rule(C, w, n, p);
}

void principal_stresses(const Control& C, Work& w, int n) {
  principal(w.STN1, C.NNODE, n);
  if (two_layers(C)) principal(w.STN2, C.NNODE, n);
}

void nodal_stresses(const Control& C, Work& w) {
  const int N = C.NNODE;
  for (int n = 1; n <= N; ++n) {
    clear_node(C, w, n);
    const NodePlace p = node_place(C, n);
    const ElementChoice ch = choose_elements(C, n, p);
    if (ch.quadrants != 0) {
      const unsigned q = ch.quadrants;
      store_curvature(w.STS1, N, n, summed_curvature(C, w, n, q, C.PR1, C.GSH[0]));
      if (two_layers(C))
        store_curvature(w.STS2, N, n, summed_curvature(C, w, n, q, C.PR2, C.GSH[1]));
      bottom_stresses(C, w, n, ch.DIVN);
      edge_rules(C, w, n, p, ch.mark);
    }
    principal_stresses(C, w, n);
  }
  w.stresses_current = true;
}

}  // namespace meridolan::results
