// Slab on an elastic solid against the exact solution of an infinite plate on an
// elastic half-space, and symmetric models against the full model.
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

std::vector<double> uniform(double from, double step, int n) {
  std::vector<double> c;
  for (int i = 0; i < n; ++i) c.push_back(from + i * step);
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
  const int N = 8000;
  const double T = 200.0, h = T / N;
  double s = 0;
  for (int i = 0; i <= N; ++i) {
    const double t = i * h;
    const double wgt = (i == 0 || i == N) ? 1 : (i % 2 ? 4 : 2);
    s += wgt * phi(t) / (t * t * t + 1);
  }
  const double tail = phi(T) / (2 * T * T);
  return P * l * l / (2 * std::numbers::pi * D) * (s * h / 3 + tail);
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

}  // namespace
}  // namespace meridolan
