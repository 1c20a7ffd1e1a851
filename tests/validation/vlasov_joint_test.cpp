// The Vlasov foundation under jointed slabs: a joint's strip has no subgrade, so
// slabs that a joint does not couple carry their loads as if each stood alone.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "support/deck_builder.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

std::vector<double> vlasov_stresses(const SlabDeck& d) {
  const RunResult r = run_deck_with_results(d.text());
  EXPECT_EQ(r.status, 0) << r.errors;
  EXPECT_TRUE(r.contains("SUBGRADE STRESSES FOR VLASOV SUBGRADE"));
  return nlohmann::json::parse(r.results)["nodes"]["subgrade_stress"].get<std::vector<double>>();
}

SlabDeck vlasov(std::vector<double> xc) {
  SlabDeck d;
  d.isubgr = 9;
  d.k = 100.0;
  d.vshear = 500.0;
  d.xc = std::move(xc);
  d.yc = {0, 30, 60, 90};
  d.loads = {Load{100.0, 30.0, 60.0, 30.0, 60.0}};
  return d;
}

TEST(VlasovJoint, UncoupledSlabsPrintTheSubgradeStressesOfOneSlabAlone) {
  SlabDeck jointed = vlasov({0, 30, 60, 90, 90, 120, 150, 180});
  jointed.nnx = {4, 4};
  jointed.jx.lt = 0;  // aggregate interlock of factor 0: nothing crosses the joint
  jointed.jx.agg = 0.0;
  const auto two = vlasov_stresses(jointed);
  const auto one = vlasov_stresses(vlasov({0, 30, 60, 90}));
  ASSERT_EQ(two.size(), 2 * one.size());
  double top = 0;
  for (double q : one) top = std::max(top, std::abs(q));
  for (std::size_t n = 0; n < one.size(); ++n) {
    EXPECT_NEAR(two[n], one[n], 1e-9 * top) << "node " << n + 1;
    EXPECT_EQ(two[one.size() + n], 0.0) << "node " << one.size() + n + 1;
  }
  // The loaded slab's face of the joint still bears on the subgrade.
  EXPECT_GT(one[13], 0.0);
}

}  // namespace
}  // namespace meridolan
