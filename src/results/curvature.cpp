// Element choice per node and corner curvature terms.
#include "results/curvature.h"

#include <bit>

namespace meridolan::results {
namespace {

ElementChoice single(Quadrant q, CornerMark m = CornerMark::None) {
  return {q, 1.0, m};
}

constexpr ElementChoice kNoCurvature{0, 1.0, CornerMark::None};

// Symmetric runs: nodes on a symmetry line keep the one element they have there.
// Returns true when the choice is final; `corner_test` is cleared for the mesh
// corners that lie on a symmetry line.
bool symmetric_choice(const Control& C, int n, const NodePlace& p, ElementChoice& out,
                      bool& corner_test) {
  const int NYT = C.NYT;
  if (n == 1) {
    out = single(UR);
    return true;
  }
  if (C.ISYM != 2 && n == C.NNODE - NYT + 1) {
    corner_test = false;
    return false;
  }
  if (C.ISYM >= 2 && n == NYT) {
    corner_test = false;
    return false;
  }
  if (C.ISYM != 2 && C.NNX[1] != 0) {
    const int last_col_bottom = p.OFF + (C.NNX[p.IC - 1] - 1) * NYT + 1;
    if (n == last_col_bottom) {
      out = single(UL, CornerMark::JointCornerOnXLine);
      return true;
    }
    if (p.IC != 1 && n == p.OFF + 1) {
      out = single(UR, CornerMark::JointCornerOnXLine);
      return true;
    }
  }
  return false;
}

bool column_corner(const Control& C, int n, const NodePlace& p) {
  const int NYT = C.NYT, nnx = C.NNX[p.IC - 1];
  return n == p.OFF + 1 || n == p.OFF + NYT || n == p.OFF + (nnx - 1) * NYT + 1 ||
         n == p.OFF + nnx * NYT;
}

bool slab_corner(const Control& C, int n, const NodePlace& p) {
  const int last_col = p.OFF + (C.NNX[p.IC - 1] - 1) * C.NYT;
  const int nny = C.NNY[p.JR - 1];
  return n == p.OFF + p.YOFF + nny || n == p.OFF + p.YOFF + 1 || n == last_col + p.YOFF + nny ||
         n == last_col + p.YOFF + 1;
}

ElementChoice by_edge_class(const Control& C, int n, const NodePlace& p) {
  if ((C.ISYM == 1 || C.ISYM == 3) && n == C.NNODE - C.NYT + 1) return single(UL);
  if ((C.ISYM == 2 || C.ISYM == 3) && n == C.NYT) return single(LR);
  if (p.TE) return {LR | LL, 2.0, CornerMark::None};
  if (p.RE) return {UL | LL, 2.0, CornerMark::None};
  if (p.BE) return {UR | UL, 2.0, CornerMark::None};
  if (p.LE) return {UR | LR, 2.0, CornerMark::None};
  return {UR | LR | UL | LL, 4.0, CornerMark::None};
}

// A symmetry index other than 0 to 3 makes both first node lines symmetry lines in
// the stiffness but escapes the single-element rules of the mesh corners on them,
// so the edge classes could name an element beyond the mesh edge. Such an element
// is dropped and the others averaged, which is what those rules give there.
ElementChoice keep_inside_mesh(const Control& C, int n, const NodePlace& p, ElementChoice ch) {
  const int col = (n - 1) / C.NYT + 1;
  const bool right = col < C.NXT;
  const bool left = col > 1;
  const bool up = p.r < C.NYT;
  const bool down = p.r > 1;
  unsigned kept = 0;
  if (right && up) kept |= ch.quadrants & UR;
  if (right && down) kept |= ch.quadrants & LR;
  if (left && up) kept |= ch.quadrants & UL;
  if (left && down) kept |= ch.quadrants & LL;
  if (kept == ch.quadrants) return ch;
  ch.quadrants = kept;
  ch.DIVN = std::popcount(kept);
  return ch;
}

}  // namespace

ElementChoice choose_elements(const Control& C, int n, const NodePlace& p) {
  bool corner_test = true;
  ElementChoice choice;
  if (C.ISYM != 0 && symmetric_choice(C, n, p, choice, corner_test)) return choice;
  if (corner_test && column_corner(C, n, p)) return kNoCurvature;

  if (C.NNY[1] != 0) {
    if (C.ISYM >= 2) {
      const int fy = p.YOFF + 1;
      if (n == fy + C.NNY[p.JR - 1] - 1) return single(LR, CornerMark::SlabCornerOnYLine);
      if (p.JR != 1 && n == fy) return single(UR, CornerMark::SlabCornerOnYLine);
    }
    if (slab_corner(C, n, p)) return kNoCurvature;
  }
  return keep_inside_mesh(C, n, p, by_edge_class(C, n, p));
}

Curvature corner_curvature(const Control& C, const Work& w, int n, Quadrant q, double nu,
                           double shear) {
  const int NYT = C.NYT;
  const double sx = (q == UR || q == LR) ? 1.0 : -1.0;
  const double sy = (q == UR || q == UL) ? 1.0 : -1.0;
  const int dx = sx > 0 ? NYT : -NYT;
  const int dy = sy > 0 ? 1 : -1;
  const int cx = n + dx, cy = n + dy, co = n + dx + dy;

  const double a = sx * (w.XN[cx - 1] - w.XN[n - 1]) / 2;
  const double b = sy * (w.YN[cy - 1] - w.YN[n - 1]) / 2;
  const auto& R = w.R;
  const double wn = defl(R, n), wcx = defl(R, cx), wcy = defl(R, cy), wco = defl(R, co);

  // Bending along x and along y at the corner of the cubic element.
  const double bx = 6 * (b / a) * (wn - wcx) + sx * b * (8 * roty(R, n) + 4 * roty(R, cx));
  const double by = 6 * (a / b) * (wn - wcy) - sy * a * (8 * rotx(R, n) + 4 * rotx(R, cy));
  const double twist =
      shear * (-2 * sx * sy * (wn - wcx - wcy + wco) + 4 * a * sy * (roty(R, cy) - roty(R, n)) +
               4 * b * sx * (rotx(R, n) - rotx(R, cx)));
  const double ab4 = 4 * a * b;
  return {(bx + nu * by) / ab4, (by + nu * bx) / ab4, twist / ab4};
}

Curvature summed_curvature(const Control& C, const Work& w, int n, unsigned quadrants, double nu,
                           double shear) {
  Curvature s;
  for (Quadrant q : {UR, LR, UL, LL}) {
    if (!(quadrants & q)) continue;
    const Curvature k = corner_curvature(C, w, n, q, nu, shear);
    s.kx += k.kx;
    s.ky += k.ky;
    s.kxy += k.kxy;
  }
  return s;
}

}  // namespace meridolan::results
