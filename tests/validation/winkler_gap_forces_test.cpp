// Which gaps give a force in the Winkler curling analysis without a temperature
// difference. A 120 x 120 in slab on springs of k = 200 pci, every node given the same
// gap g = -0.005 in (the support stands 0.005 in above the slab's underside), every
// node in contact:
// - under self-weight alone the negative gap acts: every spring is pre-compressed by
//   |g| and the slab settles uniformly by gamma h / k beyond the gap;
// - under a loaded area the same gap adds no force: the slab deflects as on plain
//   springs, and the report measures that deflection from the gap.
#include <gtest/gtest.h>

#include <string>

#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

constexpr double kGap = -0.005, kK = 200.0;

struct Case {
  bool curling = true;
  bool loaded_area = false;
  double density = 0.0;
  int subgrade = 5;
};

// 3 x 3 nodes at 60 in, 8 in thick; the loaded area covers the whole slab at 10 psi.
std::string deck(const Case& c) {
  std::string d = "1\nWINKLER CURLING WITHOUT TEMPERATURE, NEGATIVE GAPS\n";
  d += std::string("    ") + (c.loaded_area ? "1" : "0") + "    0    " + (c.curling ? "1" : "0") +
       "    " + (c.curling ? "1" : "0") + "\n";
  d += "    3\n    3\n    1    0   200.000\n";
  d += "    " + std::to_string(c.subgrade) + "    1\n000000   0\n";
  d += "     0.000    60.000   120.000\n     0.000    60.000   120.000\n";
  char layer[96];
  std::snprintf(layer, sizeof layer, "     8.000   4.000E6     0.150 %9.3f     0.000   5.5E-06\n",
                c.density);
  d += layer;
  if (c.loaded_area) d += "    10.000     0.000   120.000     0.000   120.000\n";
  if (c.curling) {
    d += "    0    9   10\n";
    d += "    1    -0.005    2    -0.005    3    -0.005    4    -0.005    5    -0.005\n";
    d += "    6    -0.005    7    -0.005    8    -0.005    9    -0.005\n";
  }
  return d;
}

std::map<int, NodeDeflection> run_case(const Case& c) {
  const RunResult r = run_deck(deck(c));
  EXPECT_EQ(r.status, 0) << r.errors;
  return deflections(r.lines());
}

TEST(WinklerGapForces, SelfWeightAloneIsHeldOffByANegativeGap) {
  const double gamma = 0.087, h = 8.0;
  const auto d = run_case({.curling = true, .loaded_area = false, .density = gamma});
  ASSERT_EQ(d.size(), 9u);
  // k (w - g) = gamma h at every node; the report prints w - g.
  for (const auto& [n, v] : d) EXPECT_NEAR(v.w, gamma * h / kK, 1e-6) << "node " << n;
}

TEST(WinklerGapForces, LoadedAreaWithoutTemperatureIgnoresANegativeGap) {
  const auto winkler = run_case({.curling = true, .loaded_area = true});
  // The same slab and load on springs at the nodes, without any gap.
  const auto springs = run_case({.curling = false, .loaded_area = true, .subgrade = 7});
  ASSERT_EQ(winkler.size(), 9u);
  ASSERT_EQ(springs.size(), 9u);
  for (const auto& [n, v] : winkler) {
    EXPECT_NEAR(v.w, springs.at(n).w - kGap, 1.5e-6) << "node " << n;
    EXPECT_NEAR(v.rx, springs.at(n).rx, 1e-6) << "node " << n;
  }
  // The load bends the slab: the check is not one of uniform values.
  EXPECT_GT(springs.at(5).w - springs.at(1).w, 0.01);
}

}  // namespace
}  // namespace meridolan
