// Joint load transfer. The loads are recomputed from the displacements with the terms
// that the joint elements next to each node pair put into the stiffness, so the report
// shows exactly what the model carried: a pair that received no dowel terms (an
// unlisted node, a joint crossing, a joint without dowels) prints no dowel line.
#include "results/joint_transfer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "model/joint.h"
#include "model/mesh.h"
#include "results/results_layout.h"

namespace meridolan::results {
namespace {

// Terms of one node pair summed over the joint elements that hold it.
struct PairSum {
  bool dowel = false;
  double KSH = 0, KMO = 0, c4 = 0, c2 = 0, ka = 0;
};

// One joint line: the near-face node of its k-th pair (k = 1..count) and the elements
// on either side of that pair along the joint.
struct JointLine {
  Axis axis;
  int line;   // near-face node line: x-line for x-joints, y-line for y-joints
  int count;  // node pairs along the joint
  bool x() const { return axis == Axis::x; }
};

int near_node(const Control& C, const JointLine& j, int k) {
  return j.x() ? (j.line - 1) * C.NYT + k : (k - 1) * C.NYT + j.line;
}

// Element k of the joint strip (k = 1..count-1): between pairs k and k+1.
int strip_element(const Control& C, const JointLine& j, int k) {
  return j.x() ? (j.line - 1) * (C.NYT - 1) + k : (k - 1) * (C.NYT - 1) + j.line;
}

PairSum pair_terms(const Control& C, const Work& w, std::span<const int> NDOW, const JointLine& j,
                   int k) {
  const JointInput& J = C.joint(j.axis);
  PairSum s;
  // The element before the pair holds it as its second pair, the one after as its first.
  for (int side = 0; side < 2; ++side) {
    const int el = side == 0 ? k - 1 : k;
    if (el < 1 || el > j.count - 1) continue;
    const std::array<int, 4> n = ELNODE(strip_element(C, j, el), C.NYT);
    const double a = (w.XN[n[2] - 1] - w.XN[n[0] - 1]) / 2.0;
    const double b = (w.YN[n[1] - 1] - w.YN[n[0] - 1]) / 2.0;
    const ElKind kind = ELKIND(C.NSLAB, a, b);
    if (kind != (j.x() ? ElKind::XJoint : ElKind::YJoint)) continue;
    const std::array<PairTerms, 2> t = JTERMS(J, NDOW, j.x() ? b : a, {n[0], j.x() ? n[1] : n[2]});
    const PairTerms& p = t[side == 0 ? 1 : 0];
    s.dowel = s.dowel || p.dowel;
    s.KSH += p.KSH;
    s.KMO += p.KMO;
    s.c4 += p.c4;
    s.c2 += p.c2;
    s.ka += p.ka;
  }
  return s;
}

// Loads of every node pair of one joint line into its table (and into TD/TA, the
// per-node loads of the direction).
JointTable joint_line(const Control& C, Work& w, std::span<const int> NDOW, const JointLine& j,
                      std::vector<double>& TD, std::vector<double>& TA) {
  const int step = j.x() ? C.NYT : 1;  // from a near-face node to its partner
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  JointTable t;
  t.joint_lte = kNaN;
  double most = 0.0;  // the largest deflection of a pair so far
  t.axis = j.axis;
  t.LT = C.joint(j.axis).LT;
  const int first = near_node(C, j, 1);
  t.coordinate = j.x() ? w.XN[first - 1] : w.YN[first - 1];
  for (int k = 1; k <= j.count; ++k) {
    const int n = near_node(C, j, k), m = n + step;
    const PairSum s = pair_terms(C, w, NDOW, j, k);
    const double jump = defl(w.R, n) - defl(w.R, m);
    // Both slopes normal to the joint: +dw/dx is the y-rotation, -dw/dy the x-rotation.
    const double tn = j.x() ? roty(w.R, n) : rotx(w.R, n);
    const double tm = j.x() ? roty(w.R, m) : rotx(w.R, m);
    const double slopes = j.x() ? tn + tm : -(tn + tm);
    double td = 0.0;
    if (s.dowel) {
      t.dowel_energy += s.KSH * jump * jump + 2 * s.KMO * jump * slopes +
                        s.c4 * (tn * tn + tm * tm) + 2 * s.c2 * tn * tm;
      td = s.KSH * jump + s.KMO * slopes;
      TD[n - 1] = td;
      TD[m - 1] = -td;
      t.dowel_total += td;
    }
    const double ta = s.ka * jump;
    TA[n - 1] = ta;
    TA[m - 1] = -ta;
    t.interlock_total += ta;
    t.near_node.push_back(n);
    t.far_node.push_back(m);
    t.has_dowel.push_back(s.dowel);
    t.dowel_load.push_back(td);
    t.interlock_load.push_back(ta);
    const double wn = printed_deflection(C, w, n), wm = printed_deflection(C, w, m);
    // The side that moves more counts as loaded (uplift too, as at a curled joint).
    const bool near_loaded = std::abs(wn) >= std::abs(wm);
    const double loaded = near_loaded ? wn : wm, other = near_loaded ? wm : wn;
    t.lte.push_back(loaded != 0.0 ? other / loaded : kNaN);
    if (std::abs(loaded) > most) {
      most = std::abs(loaded);
      t.joint_lte = t.lte.back();
    }
  }
  return t;
}

// Node lines of one joint: the dowel line of a pair first, then its interlock line.
void print_pairs(Report& rep, const JointTable& t) {
  static const Format kLine("10X, I5, 10X, F10.3, 20X, I5, 10X, F10.3, 10X, F10.3");
  for (std::size_t k = 0; k < t.near_node.size(); ++k) {
    const int n = t.near_node[k], m = t.far_node[k];
    if (t.has_dowel[k]) rep.write(kLine, {n, t.dowel_load[k], m, -t.dowel_load[k]});
    if (t.LT != 1) rep.write(kLine, {n, t.interlock_load[k], m, -t.interlock_load[k]});
  }
}

const Format& column_heading() {
  static const Format kColumns(
      "/, /, 11X, 'NODE', 9X, 'TRANSFERRED LOAD', 16X, 'NODE', 9X, 'TRANSFERRED LOAD', /");
  return kColumns;
}

// The dowel element's bending terms are not in series with the dowel-concrete spring,
// so it is not positive definite: a solution can draw energy from the dowels, and
// their loads then have no physical meaning (they may even push against the load).
void check_energy(Report& rep, const JointTable& t) {
  static const Format kWarn(
      "10X, '***WARNING: THE DOWELS OF THIS ', A1, '-JOINT STORE NEGATIVE ENERGY; THEIR LOADS ', "
      "'HAVE NO PHYSICAL MEANING.', /, 10X, '   THE DOWELS ARE TOO STIFF FOR THEIR CONCRETE ', "
      "'SUPPORT AT THIS MESH SPACING: REFINE THE MESH', /, 10X, '   ALONG THE JOINT, OR CHECK ', "
      "'THE DOWEL MODULUS, DIAMETERS, SPACING AND DOWEL-CONCRETE INTERACTION.'");
  if (t.dowel_energy < 0.0) rep.write(kWarn, {axis_letter(t.axis)});
}

void notice(Report& rep) {
  static const Format kNotice(
      "10X, 'NOTICE:  IF A NODE NUMBER IS REPEATED THE FIRST LINE  SHOWS LOAD TRANSFERRED BY "
      "DOWELS', /, 20X, ' AND THE SECOND SHOWS LOAD TRANSFERRED BY AGGREGATE INTERLOCK'");
  rep.write(kNotice);
}

// Dowels and aggregate interlock together: any type other than 0 and 1.
bool both(int LT) {
  return LT != 0 && LT != 1;
}

// Every joint line of one direction, in order.
void joints_of(const Control& C, Work& w, Axis a, std::vector<JointTable>& out) {
  const bool x = a == Axis::x;
  const int slabs = x ? C.NSX : C.NSY;
  const std::array<int, 10>& nn = x ? C.NNX : C.NNY;
  int line = 0;
  for (int j = 1; j < slabs; ++j) {
    line += nn[j - 1];
    out.push_back(joint_line(C, w, x ? w.NDOWX : w.NDOWY, {a, line, x ? C.NYT : C.NXT},
                             x ? w.TDX : w.TDY, x ? w.TAX : w.TAY));
  }
}

// The section of one direction. The x-direction ends every joint with the notice and
// a new page, the y-direction only its last one; their totals are worded apart.
struct DirectionFormats {
  const Format& head;
  const Format& dowels;
  const Format& aggregate;
  bool page_per_joint;
};

void print_direction(Report& rep, const DirectionFormats& f,
                     const std::vector<const JointTable*>& joints, int LT) {
  rep.write(f.head);
  rep.write(column_heading());
  for (const JointTable* t : joints) {
    print_pairs(rep, *t);
    if (t->LT != 0) rep.write(f.dowels, {t->dowel_total});
    if (t->LT != 1) rep.write(f.aggregate, {t->interlock_total});
    check_energy(rep, *t);
    if (!f.page_per_joint) continue;
    if (both(t->LT)) notice(rep);
    new_page(rep);
  }
  if (f.page_per_joint) return;
  if (both(LT)) notice(rep);
  new_page(rep);
}

const DirectionFormats& formats(Axis a) {
  static const Format kHeadX("/, /, 10X, '********** LOAD TRANSFER IN X-DIRECTION ', '********'");
  static const Format kDowelsX("10X, 'THE LOAD TRANSFERRED BY DOWELS IN X- DIRECTION IS', F10.3");
  static const Format kAggregateX(
      "10X, 'THE LOAD TRANSFERRED BY AGGREGATE INTERLOCK IN X- DIRECTION IS', F10.3");
  static const Format kHeadY(
      "/, /, /, /, /, /, 10X, '********** LOAD TRANSFER IN Y-DIRECTION ', '********'");
  static const Format kDowelsY(
      "/, 10X, 'THE LOAD TRANSFERRED BY DOWELS IN Y- DIRECTION IS', F10.3");
  static const Format kAggregateY(
      "/, 10X, 'THE LOAD TRANSFERRED BY AGGREGATE INTERLOCK IN Y- DICTION IS', F10.3");
  static const DirectionFormats f[2] = {{kHeadX, kDowelsX, kAggregateX, true},
                                        {kHeadY, kDowelsY, kAggregateY, false}};
  return f[axis_index(a)];
}

}  // namespace

void joint_transfer(const Control& C, Work& w, std::vector<JointTable>& joints) {
  joints.clear();
  for (Axis a : kAxes)
    if (C.has_joints(a)) joints_of(C, w, a, joints);
}

void print_joint_transfer(Report& rep, const Control& C, const std::vector<JointTable>& joints) {
  for (Axis a : kAxes) {
    if (!C.has_joints(a)) continue;
    std::vector<const JointTable*> of_axis;
    for (const JointTable& t : joints)
      if (t.axis == a) of_axis.push_back(&t);
    print_direction(rep, formats(a), of_axis, C.joint(a).LT);
  }
}

}  // namespace meridolan::results
