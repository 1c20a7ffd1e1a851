// Validation of curling with contact iteration for two bonded layers of different
// moduli: the same slab as one layer of equal bending stiffness, thermal moment and
// weight must deflect alike, and the layers' stresses must follow the one layer's in
// proportion to their distance from the neutral axis and their modulus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "support/deck_builder.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;
using Json = nlohmann::json;

constexpr double kNu = 0.15, kGam = 0.087, kAlf = 5.5e-6;
constexpr double kH1 = 6.0, kE1 = 4.0e6, kH2 = 4.0, kE2 = 1.0e6;

// Transformed section: the neutral axis below the top face, and the second moment of
// area about it in units of the top layer's modulus.
constexpr double axis_depth() {
  return (kE1 * kH1 * kH1 / 2 + kE2 * kH2 * (kH1 + kH2 / 2)) / (kE1 * kH1 + kE2 * kH2);
}
double transformed_inertia() {
  const double d = axis_depth(), b = kH1 + kH2 - d;
  const double top = (std::pow(d, 3) - std::pow(d - kH1, 3)) / 3;
  const double bottom = (std::pow(b, 3) - std::pow(b - kH2, 3)) / 3;
  return top + kE2 / kE1 * bottom;
}

// The thickness of the one layer of modulus E1 that bends as stiffly.
double equivalent_thickness() {
  return std::cbrt(12.0 * transformed_inertia());
}

SlabDeck curled(std::vector<Layer> layers, int icomp) {
  SlabDeck d;
  d.icurl = 1;
  d.iwink = 0;
  d.isubgr = 7;
  d.k = 100.0;
  d.xc = {0, 20, 40, 60, 80, 100, 120};
  d.yc = {0, 24, 48, 72, 96, 120};
  d.layers = std::move(layers);
  d.icomp = icomp;
  d.icycle = 20;
  return d;
}

// The one layer's record, its thickness, density and temperature difference written
// with as many digits as their fields hold with a blank before each.
std::string one_layer_deck(double dt, double alf) {
  const double h = equivalent_thickness();
  const SlabDeck d = curled({Layer{1.0, kE1, kNu, 0.0, 0.0, alf}}, 0);
  const std::string plain =
      fmt_f(1.0) + fmt_e(kE1) + fmt_f(kNu) + fmt_f(0.0) + fmt_f(0.0) + fmt_e(alf);
  const std::string exact = fmt_f(h, 10, 7) + fmt_e(kE1) + fmt_f(kNu) +
                            fmt_f(kGam * (kH1 + kH2) / h, 10, 7) + fmt_f(dt, 10, 5) + fmt_e(alf);
  std::string text = d.text();
  const auto at = text.find(plain);
  EXPECT_NE(at, std::string::npos);
  return text.replace(at, plain.size(), exact);
}

struct Solved {
  Json doc;
  std::string report;
};

Solved solve(const std::string& deck) {
  const RunResult r = run_deck_with_results(deck);
  EXPECT_EQ(r.status, 0) << r.errors;
  Solved s{Json::parse(r.results), r.report};
  EXPECT_NE(s.report.find("THE NUMBER OF NODES IN DIFFERENT CONTACT CONDITION   IS    0"),
            std::string::npos);
  EXPECT_EQ(s.report.find("CONVERGENCE IS NOT ACHIEVED"), std::string::npos);
  return s;
}

std::vector<double> column(const Json& j) {
  return j.get<std::vector<double>>();
}

double largest(const std::vector<double>& v) {
  double m = 0;
  for (double x : v) m = std::max(m, std::abs(x));
  return m;
}

// Same contact state and deflections; the lifted corners show the curling acted.
void expect_same_deflections(const Solved& two, const Solved& one) {
  EXPECT_EQ(two.doc["nodes"]["in_contact"], one.doc["nodes"]["in_contact"]);
  const auto lifted = one.doc["nodes"]["in_contact"].get<std::vector<bool>>();
  EXPECT_GT(std::count(lifted.begin(), lifted.end(), false), 0);
  const auto w2 = column(two.doc["nodes"]["deflection"]),
             w1 = column(one.doc["nodes"]["deflection"]);
  ASSERT_EQ(w2.size(), w1.size());
  const double tol = 2e-6 * largest(w1);
  for (std::size_t n = 0; n < w1.size(); ++n) EXPECT_NEAR(w2[n], w1[n], tol) << "node " << n + 1;
}

TEST(BondedCurlingValidation, LayersUnderOneGradientActAsOneLayerOfEqualStiffness) {
  // A temperature linear through the whole depth, the top 2 F per inch cooler: the
  // one layer has the same gradient, so the same thermal moment per stiffness.
  const double G = -2.0;
  const Solved two = solve(
      curled({Layer{kH1, kE1, kNu, kGam, G * kH1, kAlf}, Layer{kH2, kE2, kNu, kGam, G * kH2, kAlf}},
             1)
          .text());
  const Solved one = solve(one_layer_deck(G * equivalent_thickness(), kAlf));
  expect_same_deflections(two, one);

  // Bottom of each layer: the one layer's bottom stress scaled by the depth below the
  // axis over the half thickness and by the modulus.
  const double half = equivalent_thickness() / 2, d = axis_depth();
  const double scale[2] = {(kH1 - d) / half, kE2 / kE1 * (kH1 + kH2 - d) / half};
  const Json& s1 = one.doc["stresses"][0]["bottom"];
  for (int layer = 0; layer < 2; ++layer)
    for (const char* k : {"x", "y", "xy"}) {
      const auto expected = column(s1[k]);
      const auto got = column(two.doc["stresses"][layer]["bottom"][k]);
      ASSERT_EQ(got.size(), expected.size());
      const double tol = 1e-5 * largest(expected) * scale[layer];
      for (std::size_t n = 0; n < got.size(); ++n)
        EXPECT_NEAR(got[n], expected[n] * scale[layer], tol)
            << "layer " << layer + 1 << " " << k << " node " << n + 1;
    }
}

TEST(BondedCurlingValidation, LayersWithTheirOwnGradientsActAsOneLayerOfEqualMoment) {
  // Each layer's gradient DT / h runs through the common axis: the moment about it is
  // the integral of E alpha DT / h z^2 / (1 - nu) over each layer, z from the axis.
  const double dt1 = -15.0, dt2 = -5.0, alf2 = 7.0e-6;
  const double d = axis_depth();
  const auto layer = [](double E, double alf, double dt, double h, double zt, double zb) {
    return E * alf * dt / h * (std::pow(zt, 3) - std::pow(zb, 3)) / 3 / (1 - kNu);
  };
  const double M =
      layer(kE1, kAlf, dt1, kH1, d, d - kH1) + layer(kE2, alf2, dt2, kH2, d - kH1, d - kH1 - kH2);
  // The one layer: M = h^2 dT alpha E / (12 (1 - nu)).
  const double h = equivalent_thickness();
  const double dt = 12 * (1 - kNu) * M / (h * h * kAlf * kE1);
  const Solved two = solve(
      curled({Layer{kH1, kE1, kNu, kGam, dt1, kAlf}, Layer{kH2, kE2, kNu, kGam, dt2, alf2}}, 1)
          .text());
  const Solved one = solve(one_layer_deck(dt, kAlf));
  expect_same_deflections(two, one);
}

}  // namespace
}  // namespace meridolan
