// Ties in the extreme-value summary: of equal values the report names the later node.
// The nodes of both faces of a joint stand on one point of the elastic solid and
// print its stress, so a joint point carrying the largest stress is an exact tie.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "support/deck_builder.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

TEST(ExtremeTies, LargestSubgradeStressOfTheElasticSolidNamesTheLaterNodeOfATie) {
  // Two 60 in slabs side by side, dowelled and interlocked, the load across the joint.
  SlabDeck d;
  d.xc = {0, 15, 30, 45, 60, 60, 75, 90, 105, 120};
  d.yc = {0, 15, 30, 45, 60};
  d.nnx = {5, 5};
  d.isubgr = 8;
  d.k = 0.0;
  d.esub = 15000.0;
  d.prsub = 0.4;
  d.loads = {Load{100.0, 52.5, 67.5, 22.5, 37.5}};
  const RunResult r = run_deck_with_results(d.text());
  ASSERT_EQ(r.status, 0) << r.errors;
  const auto doc = nlohmann::json::parse(r.results);
  const auto q = doc["nodes"]["subgrade_stress"].get<std::vector<double>>();
  const double top = *std::max_element(q.begin(), q.end());
  std::vector<int> at;
  for (std::size_t n = 0; n < q.size(); ++n)
    if (q[n] == top) at.push_back(static_cast<int>(n) + 1);
  // The largest stress is on the joint line, at both of its nodes.
  ASSERT_EQ(at.size(), 2u);
  EXPECT_EQ(at[1] - at[0], 5) << "the two faces of one joint point";
  EXPECT_EQ(doc["extremes"]["max_subgrade_stress"]["node"], at[1]);
  const auto lines = r.lines();
  bool printed = false;
  for (const auto& l : lines)
    if (l.find("SUBGRADE STRESS              =") != std::string::npos) {
      EXPECT_NE(l.find("AT NODE" + fmt_i(at[1])), std::string::npos) << l;
      printed = true;
    }
  EXPECT_TRUE(printed);
}

}  // namespace
}  // namespace meridolan
