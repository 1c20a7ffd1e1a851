// Slab on an elastic solid against the exact solution of an infinite plate on an
// elastic half-space, symmetric models against the full model, and graded meshes
// (uniform, whole and jointed slabs) with the coupling of distributed loads.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// Plate: E = 4,000,000 psi, h = 8 in, nu = 0.15; half-space: E = 10,000 psi, nu = 0.4.
constexpr double kE = 4.0e6, kH = 8.0, kNu = 0.15, kEs = 10000.0, kNus = 0.4;
// The notice of a mesh whose point-load flexibility is not positive definite.
const std::string kNotice = "THE COUPLING BETWEEN NODES WAS FORMED FROM LOADS DISTRIBUTED";

std::vector<double> uniform(double from, double step, int n) {
  std::vector<double> c;
  for (int i = 0; i < n; ++i) c.push_back(from + i * step);
  return c;
}

// Node lines from `from` with spacings h0, h0 g, h0 g^2, ... (n lines).
std::vector<double> graded(double from, double h0, double g, int n) {
  std::vector<double> c{from};
  double h = h0;
  for (int i = 1; i < n; ++i, h *= g) c.push_back(c.back() + h);
  return c;
}

// The same lines mirrored about `from`: a whole slab graded towards its middle.
std::vector<double> graded_both_ways(double h0, double g, int half) {
  const std::vector<double> right = graded(0.0, h0, g, half);
  std::vector<double> c;
  for (int i = half - 1; i >= 1; --i) c.push_back(-right[i]);
  c.insert(c.end(), right.begin(), right.end());
  return c;
}

SlabDeck solid(std::vector<double> xc, std::vector<double> yc, int isym, Load load) {
  SlabDeck d;
  d.xc = std::move(xc);
  d.yc = std::move(yc);
  d.isym = isym;
  d.isubgr = 8;
  d.k = 0.0;
  d.esub = kEs;
  d.prsub = kNus;
  d.layers = {Layer{kH, kE, kNu}};
  d.loads = {load};
  return d;
}

// int_0^T phi(t) / (t^3 + 1) dt by Simpson's rule on N (even) panels.
template <class Phi>
double simpson_to(Phi phi, double T, int N) {
  const double h = T / N;
  double s = 0;
  for (int i = 0; i <= N; ++i) {
    const double t = i * h;
    const double weight = (i == 0 || i == N) ? 1 : (i % 2 ? 4 : 2);
    s += weight * phi(t) / (t * t * t + 1);
  }
  return s * h / 3;
}

// Infinite plate (rigidity D) on a half-space, uniform pressure over a square of
// half-side c, total force P: by the Hankel transform in the plate's radial wave
// number k, the half-space surface answers a pressure of transform q(k) with
// 2(1 - nu_s^2) q(k) / (E_s k), so the plate equation gives
//   w(0) = P / (2 pi D) * int_0^inf Phi(k) / (k^3 + 1/l^3) dk,   l^3 = 2 D (1 - nu_s^2) / E_s,
// Phi(k) being the load transform over P averaged over the direction of the wave
// vector: the mean over theta of sin(k c cos t) sin(k c sin t) / (k^2 c^2 cos t sin t).
// With t = k l:  w(0) = P l^2 / (2 pi D) * int_0^inf Phi(t / l) / (t^3 + 1) dt. For a
// point load Phi = 1 and the integral is 2 pi / (3 sqrt 3), w(0) = P l^2 / (3 sqrt 3 D).
// Phi is averaged by the midpoint rule over (0, pi/2), the t integral by Simpson's
// rule up to t = 200; beyond, 1/(t^3 + 1) is taken as 1/t^3 and Phi as its value there.
double half_space_centre_deflection(double P, double D, double l, double c) {
  auto phi = [&](double t) {
    const double a = t * c / l;
    if (a < 1e-8) return 1.0;
    const int n = 64;
    double s = 0;
    for (int i = 0; i < n; ++i) {
      const double th = (i + 0.5) * (std::numbers::pi / 2) / n;
      const double x = std::cos(th), y = std::sin(th);
      s += std::sin(a * x) * std::sin(a * y) / (a * a * x * y);
    }
    return s / n;
  };
  const double T = 200.0;
  const double tail = phi(T) / (2 * T * T);
  return P * l * l / (2 * std::numbers::pi * D) * (simpson_to(phi, T, 8000) + tail);
}

double printed_rrs(const std::vector<std::string>& lines) {
  for (const std::string& l : lines)
    if (auto p = l.find("RADIUS OF RELAT. STIFFNESS="); p != std::string::npos)
      return std::stod(l.substr(p + 27));
  return 0.0;
}

TEST(ElasticSolidValidation, InteriorLoadMatchesInfinitePlateOnHalfSpace) {
  const double D = kE * kH * kH * kH / (12 * (1 - kNu * kNu));
  // The closed form for a point load checks the integration itself.
  const double l0 = std::cbrt(2 * D * (1 - kNus * kNus) / kEs);
  EXPECT_NEAR(half_space_centre_deflection(1.0, D, l0, 1e-9), l0 * l0 / (3 * std::sqrt(3.0) * D),
              1e-6 * l0 * l0 / D);

  // Quarter model, 17 x 17 nodes every 10 in (160 in, over five radii of relative
  // stiffness from the load), 100 psi over a 10 x 10 in square at the centre.
  const double c = 5.0, p = 100.0;
  auto r = run_deck(solid(uniform(0, 10, 17), uniform(0, 10, 17), 3, {p, 0, c, 0, c}).text());
  const auto lines = r.lines();
  const double l = printed_rrs(lines);
  EXPECT_NEAR(l, l0, 5e-4);
  ASSERT_GT(160.0 / l, 5.0);
  const double exact = half_space_centre_deflection(p * 4 * c * c, D, l, c);
  const double w = deflections(lines).at(1).w;
  EXPECT_NEAR(w / exact, 1.0, 0.02) << "program " << w << ", half-space " << exact;
}

// Nodes of a full model 17 x 17 (-80..80 in both directions) and of its halves and
// quarter, all under 100 psi over a 10 x 10 in square at the centre.
TEST(ElasticSolidValidation, SymmetricModelsPrintTheFullModelsDeflections) {
  const auto full_lines =
      run_deck(solid(uniform(-80, 10, 17), uniform(-80, 10, 17), 0, {100, -5, 5, -5, 5}).text())
          .lines();
  const auto full = deflections(full_lines);
  ASSERT_EQ(full.size(), 289u);
  struct Case {
    int isym;
    double x0, y0;
    int nx, ny;
  };
  for (const Case k : {Case{1, -80, 0, 17, 9}, Case{2, 0, -80, 9, 17}, Case{3, 0, 0, 9, 9}}) {
    const Load load{100, k.x0 == 0 ? 0.0 : -5.0, 5, k.y0 == 0 ? 0.0 : -5.0, 5};
    const auto part = deflections(
        run_deck(solid(uniform(k.x0, 10, k.nx), uniform(k.y0, 10, k.ny), k.isym, load).text())
            .lines());
    ASSERT_EQ(part.size(), std::size_t(k.nx * k.ny)) << "ISYM " << k.isym;
    int worst = 0;
    for (const auto& [n, d] : part) {
      const int ix = (n - 1) / k.ny, iy = (n - 1) % k.ny;
      const int fx = ix + (k.x0 == 0 ? 8 : 0), fy = iy + (k.y0 == 0 ? 8 : 0);
      const NodeDeflection& f = full.at(fx * 17 + fy + 1);
      // Printed with six decimals: the last digit may differ by one where the two
      // models round a value that lies on a half unit differently.
      EXPECT_NEAR(d.w, f.w, 1.01e-6) << "ISYM " << k.isym << " node " << n;
      if (d.w != f.w) ++worst;
    }
    EXPECT_LE(worst, 0) << "ISYM " << k.isym << ": deflections differing in the last digit";
  }
}

// Graded meshes, whose point-load flexibility is not positive definite: the coupling
// of distributed loads.

// Infinite plate (rigidity D) on a half-space under a uniform pressure over a circle of
// radius a, total force P. The half-space surface answers a pressure of Hankel
// transform q(k) with 2 (1 - nu_s^2) q(k) / (E_s k), so the plate equation gives
//   w(0) = P / (2 pi D) int_0^inf Phi(k) / (k^3 + 1/l^3) dk,  l^3 = 2 D (1 - nu_s^2) / E_s,
// with the load's transform over P, Phi(k) = 2 J1(k a) / (k a). In t = k l:
//   w(0) = P l^2 / (2 pi D) int_0^inf Phi(t / l) / (t^3 + 1) dt.
// Simpson's rule up to t = 400 (40,000 panels); beyond, |Phi| / t^3 is below
// 1 / (2 * 400^2) in all, a relative 3e-6 of the integral, and is left out.
double circle_centre_deflection(double P, double D, double l, double a) {
  const auto phi = [&](double t) {
    const double x = t * a / l;
    return x < 1e-8 ? 1.0 : 2.0 * std::cyl_bessel_j(1.0, x) / x;
  };
  return P * l * l / (2 * std::numbers::pi * D) * simpson_to(phi, 400.0, 40000);
}

// The printed sum of the subgrade forces (two decimals).
double printed_force_sum(const std::vector<std::string>& lines) {
  return value_after(lines, "SUM OF REACTION FORCES =");
}

TEST(ElasticSolidGradedMesh, QuarterModelMatchesInfinitePlateOnHalfSpace) {
  const double D = kE * kH * kH * kH / (12 * (1 - kNu * kNu));
  const double l = std::cbrt(2 * D * (1 - kNus * kNus) / kEs);
  // The integration against the closed form of a point load: 2 pi / (3 sqrt 3).
  EXPECT_NEAR(circle_centre_deflection(1.0, D, l, 1e-9) / (l * l / (3 * std::sqrt(3.0) * D)), 1.0,
              1e-5);

  // 25 x 25 node lines, spacings from 1.5 in under the load to 60 in at the far edge
  // (396 in, 13 radii of relative stiffness); 100 psi over the 3 x 3 in square of the
  // centre, against a circle of the same area.
  const double g = std::pow(40.0, 1.0 / 23.0);
  const std::vector<double> c = graded(0.0, 1.5, g, 25);
  ASSERT_NEAR(c.back(), 396.0, 1.0);
  const double p = 10000.0, half = 1.5;  // a large pressure prints more digits
  const RunResult r = run_deck(solid(c, c, 3, {p, 0, half, 0, half}).text());
  ASSERT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.contains(kNotice));
  EXPECT_FALSE(r.contains("NOT POSITIVE DEFINITE:"));
  const auto lines = r.lines();
  const double P = p * 4 * half * half;
  const double exact =
      circle_centre_deflection(P, D, l, std::sqrt(4 * half * half / std::numbers::pi));
  const double w = deflections(lines).at(1).w;
  EXPECT_NEAR(w / exact, 1.0, 0.01) << "program " << w << ", half-space " << exact;
  // The quarter carries a quarter of the load.
  EXPECT_NEAR(printed_force_sum(lines), P / 4, 0.005);
}

// A whole slab (no symmetry), graded towards its middle, and two slabs jointed at
// x = 0 on the same lines: the printed sum of the subgrade forces is the load.
TEST(ElasticSolidGradedMesh, WholeAndJointedSlabsCarryTheLoad) {
  const std::vector<double> c = graded_both_ways(2.0, 1.5, 7);  // 13 lines, 2 in to 10 in
  SlabDeck whole = solid(c, c, 0, {100.0, -2.0, 2.0, -2.0, 2.0});
  const RunResult w = run_deck(whole.text());
  ASSERT_EQ(w.status, 0) << w.errors;
  EXPECT_TRUE(w.contains(kNotice));
  EXPECT_NEAR(printed_force_sum(w.lines()), 1600.0, 0.005);

  // The first slab to x = 0, the second from x = 0: the joint's faces share lines.
  std::vector<double> xj(c.begin(), c.begin() + 7);
  xj.insert(xj.end(), c.begin() + 6, c.end());
  SlabDeck jointed = solid(xj, c, 0, {100.0, -2.0, 0.0, -2.0, 2.0});
  jointed.nnx = {7, 7};
  jointed.jx.lt = 0;
  jointed.jx.agg = 1.0e5;
  const RunResult j = run_deck(jointed.text());
  ASSERT_EQ(j.status, 0) << j.errors;
  EXPECT_TRUE(j.contains(kNotice));
  EXPECT_NEAR(printed_force_sum(j.lines()), 800.0, 0.005);

  // A uniform mesh keeps the point-load coupling, and prints no notice.
  std::vector<double> u;
  for (int i = 0; i < 13; ++i) u.push_back(-12.0 + 2.0 * i);
  const RunResult r = run_deck(solid(u, u, 0, {100.0, -2.0, 2.0, -2.0, 2.0}).text());
  ASSERT_EQ(r.status, 0);
  EXPECT_FALSE(r.contains(kNotice));
  EXPECT_NEAR(printed_force_sum(r.lines()), 1600.0, 0.005);
}

}  // namespace
}  // namespace meridolan
