// Deflection table and subgrade reactions.
#include "results/deflections.h"

#include <algorithm>

#include "results/results_layout.h"
#include "results/vlasov_curvature.h"

namespace meridolan::results {
namespace {

constexpr int kBlock = 50;  // nodes per page of the node tables

// Subgrade stress of node n before tensile values are cut off.
double subgrade_stress(const Control& C, const Work& w, int n) {
  const double k = subgrade_k(w, n);
  const double wn = defl(w.R, n);
  if (C.ICURL == 0) return wn * k;
  if (C.IWINK == 1 && w.ICON[n - 1] != 0) return 0.0;
  return (wn - w.GAPN[n - 1]) * k;
}

// The reaction sum is shown after the last node of each of the first three slab
// columns, every slab row of the column counted (coinciding positions print one
// line). With one slab row that is the last node of each slab.
bool sum_line_after(const Control& C, int n) {
  const int ny = C.NYT;
  return n == ny * C.NNX[0] || n == ny * (C.NNX[0] + C.NNX[1]) ||
         n == ny * (C.NNX[0] + C.NNX[1] + C.NNX[2]);
}

// Stress, force and running sum of every node of a spring-type support.
void subgrade_columns(const Control& C, const Work& w, NodeTable& t, ExtremeValues& ext) {
  const int N = C.NNODE;
  t.subgrade_stress.resize(N);
  t.subgrade_force.resize(N);
  double sum = 0.0;
  for (int n = 1; n <= N; ++n) {
    double q = subgrade_stress(C, w, n);
    // Force and sum take the stress before the cut-off, so uplift lowers the sum.
    const double f = w.QSUB[n - 1] * q;
    sum += f;
    if (!(q > 0.0)) q = 0.0;
    keep_largest_subgrade_stress(ext, q, n);
    t.subgrade_stress[n - 1] = q;
    t.subgrade_force[n - 1] = f;
    if (sum_line_after(C, n)) t.sum_lines.push_back({n, sum});
  }
  ext.reaction_sum = sum;
}

}  // namespace

void deflection_headings(Report& rep, const Control& C) {
  if (C.ISUBGR < 8) {
    static const Format kFlat("/, 5X, 'DEFLECTIONS MEASURED FROM INITIALLY FLAT SURFACE', /");
    static const Format kHead(
        "/, 11X, 'NODE', 5X, 'DEFLECTION', 5X, 'X-ROTATION', 5X, 'Y-ROTATION', 15X, "
        "'SUBGRADE STRESS', 5X, 'SUBGRADE FORCE', /");
    if (C.ICURL != 0) rep.write(kFlat);
    rep.write(kHead);
  } else {
    static const Format kSolid("/, 13X, 'ELASTIC SOLID SUBGRADE  -   SUBGRADE TYPE = 8'");
    static const Format kHead(
        "/, /, /, 11X, 'NODE', 5X, 'DEFLECTION', 5X, 'X-ROTATION', 5X, "
        "'Y-ROTATION', /");
    if (C.ISUBGR == 8) rep.write(kSolid);
    rep.write(kHead);
  }
}

void distributed_coupling_notice(Report& rep) {
  static const Format kNotice(
      "/, 13X, 'THE COUPLING BETWEEN NODES WAS FORMED FROM LOADS DISTRIBUTED OVER THEIR', /, "
      "13X, 'TRIBUTARY AREAS: THE POINT-LOAD FLEXIBILITY MATRIX IS NOT POSITIVE DEFINITE.'");
  rep.write(kNotice);
}

void tributary_areas(const Control& C, Work& w) {
  std::fill(w.QSUB.begin(), w.QSUB.begin() + C.NNODE, 0.0);
  for (int e = 1; e <= C.NELEM; ++e) {
    const ElementCorners el = element_corners(C, w, e);
    const double a = el.A / 2, b = el.B / 2;
    for (int p : el.P) w.QSUB[p - 1] += a * b;
  }
}

void node_table(const Control& C, const Work& w, NodeTable& t, ExtremeValues& ext) {
  const int N = C.NNODE;
  t = NodeTable{};
  t.deflection.resize(N);
  t.rotation_x.resize(N);
  t.rotation_y.resize(N);
  t.gap.assign(w.GAPN.begin(), w.GAPN.begin() + N);
  t.in_contact.resize(N);
  for (int n = 1; n <= N; ++n) {
    t.deflection[n - 1] = printed_deflection(C, w, n);
    t.rotation_x[n - 1] = rotx(w.R, n);
    t.rotation_y[n - 1] = roty(w.R, n);
    t.in_contact[n - 1] = C.ICURL == 0 || w.ICON[n - 1] == 0;
  }
  if (C.ISUBGR < 8) {
    t.columns = SubgradeColumns::StressAndForce;
    subgrade_columns(C, w, t, ext);
  }
}

void print_node_table(Report& rep, const NodeTable& t) {
  static const Format kSpring("10X, I5, 3(2X, F13.6), 14X, F10.3, 10X, F10.3");
  static const Format kSum("10X, 'THE SUM OF REACTION FORCES IS', F10.3");
  static const Format kPlain("10X, I5, 3(2X, F13.6)");
  const int N = static_cast<int>(t.deflection.size());
  auto sum = t.sum_lines.begin();
  paged_nodes(rep, N, kBlock, [&](int n) {
    const int i = n - 1;
    if (t.columns == SubgradeColumns::None) {
      rep.write(kPlain, {n, t.deflection[i], t.rotation_x[i], t.rotation_y[i]});
      return;
    }
    rep.write(kSpring, {n, t.deflection[i], t.rotation_x[i], t.rotation_y[i], t.subgrade_stress[i],
                        t.subgrade_force[i]});
    if (sum != t.sum_lines.end() && sum->after_node == n) rep.write(kSum, {(sum++)->sum});
  });
}

void vlasov_table(const Control& C, const Work& w, VlasovTable& t, ExtremeValues& ext) {
  std::vector<double> sum(C.NNODE, 0.0);
  std::vector<int> count(C.NNODE, 0);
  for (int e = 1; e <= C.NELEM; ++e) {
    const ElementCorners el = element_corners(C, w, e);
    // Joint strips have no subgrade and no area to take curvatures over: only the
    // plate elements at a node are averaged.
    if (el.A == 0.0 || el.B == 0.0) continue;
    for (int c = 0; c < 4; ++c) {
      const int p = el.P[c];
      const Curvatures2 k = vlasov_curvatures(el, w.R, c);
      sum[p - 1] += defl(w.R, p) * subgrade_k(w, p) - (k.wxx + k.wyy) * C.VSHEAR;
      count[p - 1] += 1;
    }
  }
  t.subgrade_stress.resize(C.NNODE);
  for (int n = 1; n <= C.NNODE; ++n) {
    double s = count[n - 1] != 0 ? sum[n - 1] / count[n - 1] : 0.0;
    if (!(s > 0.0)) s = 0.0;
    keep_largest_subgrade_stress(ext, s, n);
    t.subgrade_stress[n - 1] = s;
  }
}

void print_vlasov_table(Report& rep, const VlasovTable& t) {
  static const Format kHead(
      "/, 21X, 'SUBGRADE STRESSES FOR VLASOV SUBGRADE', /, /, /, /, 21X, 'NODE', 2X, "
      "'SUBGRADE STRESS', /, /");
  static const Format kLine("20X, I5, 5X, F12.5");
  rep.write(kHead);
  const int N = static_cast<int>(t.subgrade_stress.size());
  paged_nodes(rep, N, kBlock, [&](int n) { rep.write(kLine, {n, t.subgrade_stress[n - 1]}); });
}

}  // namespace meridolan::results
