// The elastic solid is represented by its flexibility between the deflections of the
// nodes in contact; the inverse of that matrix is the subgrade stiffness, added to the
// deflection equations of the plate. The full system is dense, so it is held and
// solved in packed symmetric form.
#include "supports/elsold.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "base/stop.h"
#include "loads/load.h"
#include "results/deflections.h"
#include "results/stress.h"
#include "solvers/packed.h"
#include "supports/flexibility.h"
#include "supports/mltply.h"
#include "supports/sum.h"
#include "supports/surface_points.h"

namespace meridolan {
namespace {

inline std::size_t packed_word(int i, int j) {  // 1-based i <= j, 0-based word
  return static_cast<std::size_t>(j) * (j - 1) / 2 + (i - 1);
}

// The plate and joint band matrix into the upper triangle of the packed matrix.
void band_to_packed(const Control& C, Work& w) {
  std::vector<double>& SKP = w.SKP;
  std::fill(SKP.begin(), SKP.end(), 0.0);
  for (int r = 1; r <= C.NEQ; ++r) {
    const double* row = w.SK.data() + static_cast<std::size_t>(r - 1) * C.MBAND;
    const int last = std::min(C.NEQ, r + C.MBAND - 1);
    for (int c = r; c <= last; ++c) SKP[packed_word(r, c)] = row[c - r];
  }
}

std::vector<int> nodes_in_contact(const Control& C, const Work& w) {
  std::vector<int> nodes;
  nodes.reserve(C.NNODE);
  for (int n = 1; n <= C.NNODE; ++n)
    if (C.ICURL == 0 || w.ICON[n - 1] != 1) nodes.push_back(n);
  return nodes;
}

// A factorisation that met a leading minor that is not positive: the numbers that
// would follow are meaningless, so the run ends here.
[[noreturn]] void not_positive_definite(Report& rep, const char* which, int order, int node) {
  static const Format kFailed(
      "/, /, 10X, '***THE ', A, ' IS NOT POSITIVE DEFINITE:', /, 10X, "
      "' ITS FACTORISATION FAILED AT ORDER', I8, ' (NODE', I7, ').', /, 10X, "
      "' CHECK THE SUBGRADE MODULUS AND POISSON RATIO, THE LAYERS AND THE MESH.', /, 10X, "
      "' PROGRAM TERMINATED.'");
  rep.write(kFailed, {which, order, node});
  STOP(rep, Ending::Refused);
}

// Inverse of the flexibility matrix between the surface points, packed upper, into
// s.Finv. The point-load coupling first; when its matrix is not positive definite
// (graded meshes: close points beside large areas), the coupling of spread loads,
// and s.distributed says so.
void subgrade_stiffness(Report& rep, const Control& C, const Work& w, SolidSystem& s) {
  const int NP = s.points.count();
  // A band vector: large blocks on huge pages, as the band store it once shared.
  s.Finv = BandVector(static_cast<std::size_t>(NP) * (NP + 1) / 2);
  std::vector<double> z(NP);  // workspace of the condition estimate
  const auto factor = [&](Coupling coupling) {
    std::fill(s.Finv.begin(), s.Finv.end(), 0.0);
    flexibility_matrix(C, w.XN, w.YN, s.points, s.Finv, coupling);
    double rcond = 0.0;
    return DPPCO(s.Finv, NP, rcond, z);
  };
  s.distributed = false;
  if (int info = factor(Coupling::point_loads); info != 0) {
    if (factor(Coupling::distributed_loads) != 0)
      not_positive_definite(rep, "SUBGRADE FLEXIBILITY MATRIX", info, s.points.of(info - 1)[0]);
    s.distributed = true;
  }
  std::array<double, 2> det{};
  DPPDI(s.Finv, NP, det, 1);
}

// Subgrade stiffness between the deflections of the nodes in contact. A point that
// carries several nodes (the faces of a joint) moves with their mean deflection and
// shares its force among them equally.
void add_subgrade(const SolidSystem& s, std::vector<double>& SKP) {
  const SurfacePoints& points = s.points;
  const int NP = points.count();
  for (int i = 1; i <= NP; ++i) {
    const std::span<const int> pi = points.of(i - 1);
    for (int j = 1; j <= i; ++j) {
      const std::span<const int> pj = points.of(j - 1);
      const double k = s.Finv[packed_word(j, i)];
      if (pi.size() == 1 && pj.size() == 1) {
        SKP[packed_word(3 * pj[0] - 2, 3 * pi[0] - 2)] += k;
        continue;
      }
      const double share = k / static_cast<double>(pi.size() * pj.size());
      for (int a : pj)
        for (int b : pi) {
          if (i == j && a > b) continue;  // each pair of one point's nodes once
          const int lo = std::min(a, b), hi = std::max(a, b);
          SKP[packed_word(3 * lo - 2, 3 * hi - 2)] += share;
        }
    }
  }
}

// Mean over a point's nodes of v(node); a point of one node takes its value as is.
template <class Value>
double mean_over(std::span<const int> members, Value v) {
  if (members.size() == 1) return v(members[0]);
  double s = 0.0;
  for (int n : members) s += v(n);
  return s / static_cast<double>(members.size());
}

void solve(Report& rep, const Control& C, Work& w, std::span<double> R) {
  double rcond = 0.0;
  std::vector<double> z(C.NEQ);  // workspace of the condition estimate
  if (int info = DPPCO(w.SKP, C.NEQ, rcond, z); info != 0)
    not_positive_definite(rep, "GLOBAL SYSTEM MATRIX", info, (info - 1) / 3 + 1);
  DPPSL(w.SKP, C.NEQ, R);
}

// Gaps of the points in contact, in their order; all zero in the load analysis.
std::vector<double> contact_gaps(const Control& C, const Work& w, const SurfacePoints& points) {
  std::vector<double> g(points.count(), 0.0);
  if (C.ICURL == 0) return g;
  for (int p = 0; p < points.count(); ++p)
    g[p] = mean_over(points.of(p), [&](int n) { return w.GAPN[n - 1]; });
  return g;
}

// The solid acts on the deflections beyond the gaps: the inverse flexibility times
// the gaps moves to the load side, at the deflection equations of those nodes.
void add_gap_forces(const SolidSystem& s, std::span<double> R) {
  const std::vector<double>& gaps = s.gaps;
  if (std::all_of(gaps.begin(), gaps.end(), [](double g) { return g == 0.0; })) return;
  const int NP = s.points.count();
  std::vector<double> f(NP);
  MLTPLY(s.Finv, NP, gaps, f);
  for (int p = 0; p < NP; ++p) {
    const std::span<const int> members = s.points.of(p);
    for (int n : members) R[3 * (n - 1)] += f[p] / static_cast<double>(members.size());
  }
}

// Subgrade stress and force of every node (0 out of contact) into the table, the
// largest stress into the extremes, the sum of the forces into reaction_sum.
void subgrade_table(const Control& C, const Work& w, const SolidSystem& s, SolidTable& t,
                    ExtremeValues& ext) {
  const SurfacePoints& points = s.points;
  const std::vector<double>& gaps = s.gaps;
  const int NP = points.count();
  // Deflections of the points in contact beyond their gaps, and their forces. R keeps
  // the displacements: the contour data file is written from them after the run.
  std::vector<double> defl(NP), force(NP);
  for (int p = 0; p < NP; ++p)
    defl[p] = mean_over(points.of(p), [&](int n) { return w.R[3 * (n - 1)]; }) - gaps[p];
  MLTPLY(s.Finv, NP, defl, force);
  std::vector<int> point_of(C.NNODE + 1, -1);
  for (int p = 0; p < NP; ++p)
    for (int n : points.of(p)) point_of[n] = p;

  t.subgrade_stress.assign(C.NNODE, 0.0);
  t.subgrade_force.assign(C.NNODE, 0.0);
  double sum = 0.0;
  for (int n = 1; n <= C.NNODE; ++n) {
    double q = 0.0, f = 0.0;
    if (const int p = point_of[n]; p >= 0) {
      const std::span<const int> members = points.of(p);
      f = force[p] / static_cast<double>(members.size());
      q = force[p] / point_area(C, members, w.XN, w.YN);
    }
    sum += f;
    t.subgrade_stress[n - 1] = q;
    t.subgrade_force[n - 1] = f;
    results::keep_largest_subgrade_stress(ext, q, n);
  }
  t.reaction_sum = sum;
}

void print_subgrade_table(Report& rep, const SolidTable& t) {
  static const Format kHead(
      "/, /, 15X, 'SUBGRADE STRESSES FOR ELASTIC SOLID', /, /, /, /, 21X, 'NODE', 2X, "
      "'SUBGRADE STRESS', 2X, 'SUBGRADE FORCE', /, /");
  static const Format kLine("20X, I5, 2(5X, F10.3)");
  constexpr int kBlock = 50;
  rep.write(kHead);
  const int N = static_cast<int>(t.subgrade_stress.size());
  for (int first = 1; first <= N; first += kBlock) {
    const int last = std::min(N, first + kBlock - 1);
    for (int n = first; n <= last; ++n)
      rep.write(kLine, {n, t.subgrade_stress[n - 1], t.subgrade_force[n - 1]});
    new_page(rep);
  }
}

}  // namespace

SolidSystem SOLIDS(Report& rep, const Control& C, Work& w, std::span<double> R) {
  const bool contact = C.ICURL != 0;
  SolidSystem s;
  band_to_packed(C, w);
  s.points = surface_points(nodes_in_contact(C, w), w.XN, w.YN);
  s.gaps = contact_gaps(C, w, s.points);
  subgrade_stiffness(rep, C, w, s);
  w.solid_distributed_coupling = s.distributed;
  add_subgrade(s, w.SKP);
  if (contact) {
    add_gap_forces(s, R);
  } else {
    const Subareas sub{w.NES, w.PS, w.XS1, w.YS1, w.XS2, w.YS2};
    LOAD(C, sub, w.XN, w.YN, R);
  }
  solve(rep, C, w, R);
  return s;
}

void solid_results(Report& rep, const Control& C, Work& w, const SolidSystem& s, Results& res) {
  // The deflections print from the flat interface (the results leave the gaps on the
  // elastic solid alone); the subgrade table takes the gaps off itself.
  STRESS(rep, C, 1, w, res);
  subgrade_table(C, w, s, res.solid, res.extremes);
  print_subgrade_table(rep, res.solid);
  const double sumr = res.solid.reaction_sum;
  // The summary shows searched extremes only: when the pass prints no stresses, the
  // deflection and stress entries were never searched, so no summary is printed, as
  // for every other subgrade.
  if (stress_gate_open(C, 1)) {
    res.has_extremes = true;
    MAXIMA(rep, C, res.extremes, sumr, C.TOTLD);
  }
}

void ELSOLD(Report& rep, const Control& C, Work& w, Results& res) {
  solid_results(rep, C, w, SOLIDS(rep, C, w, w.R), res);
}

}  // namespace meridolan
