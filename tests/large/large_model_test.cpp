// Models far beyond the default work array, run with the words they need: the
// reactions of the springs must balance the applied load to the printed digits.
// Built only in the optimised build, where each takes seconds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "driver/control_records.h"
#include "driver/run.h"
#include "support/deck_builder.h"
#include "support/report_lines.h"

namespace meridolan {
namespace {

using testing::Load;
using testing::SlabDeck;

// The number printed after `caption` on the last line that holds it.
double value_after(const std::string& report, const std::string& caption) {
  const auto at = report.rfind(caption);
  if (at == std::string::npos) {
    ADD_FAILURE() << "no line with " << caption;
    return 0;
  }
  return std::strtod(report.c_str() + at + caption.size(), nullptr);
}

// `slabs` x `slabs` slabs of `per` x `per` node lines 6 in apart on springs (k = 200),
// one 8 in layer, each joint a repeated node line with dowels every 12 in and
// aggregate interlock; four 9000 lb wheels near the middle of the pavement.
SlabDeck pavement(int per, int slabs) {
  SlabDeck d;
  d.title = "LARGE MODEL";
  d.isubgr = 7;
  for (int k = 0; k < slabs; ++k) {
    if (slabs > 1) {
      d.nnx.push_back(per);
      d.nny.push_back(per);
    }
    for (int i = 0; i < per; ++i) d.xc.push_back(6.0 * (k * (per - 1) + i));
  }
  d.yc = d.xc;
  const double c = d.xc.back() / 2;
  for (double dx : {-40.0, 28.0})
    for (double dy : {-30.0, 18.0})
      d.loads.push_back(Load{62.5, c + dx, c + dx + 12, c + dy, c + dy + 12});
  return d;
}

void expect_balanced_run(const SlabDeck& d, std::int64_t words) {
  const std::string deck = d.text();
  ASSERT_EQ(model_memory_words(deck), words);

  std::istringstream in(deck);
  std::ostringstream out, err, cnt;
  RunOptions options;
  options.contour.stream = &cnt;
  // One word short of the model is refused with the words it needs.
  options.memory_words = words - 1;
  EXPECT_EQ(run(in, out, err, options), kExitRefused);
  EXPECT_NE(out.str().find(" NEEDS TOTAL MEMORY  OF AT LEAST" + testing::fmt_i(int(words), 10)),
            std::string::npos);

  in.clear();
  in.str(deck);
  out.str("");
  options.memory_words = words;
  EXPECT_EQ(run(in, out, err, options), kExitStop) << err.str();
  const std::string report = out.str();
  EXPECT_NE(report.find("(SHOULD BE LESS THAN " + testing::fmt_i(int(words), 10) + "  )"),
            std::string::npos);
  EXPECT_EQ(report.find("NOT ENOUGH MEMORY"), std::string::npos);
  EXPECT_EQ(report.find("PIVOT"), std::string::npos);
  const double load = value_after(report, "TOTAL APPLIED LOAD IS");
  EXPECT_DOUBLE_EQ(load, 4 * 62.5 * 144);
  // Springs: each printed sum of the reactions is the load to its printed digits
  // (the deflection table's running sum after the last slab column has three).
  EXPECT_NEAR(value_after(report, "THE SUM OF REACTION FORCES IS"), load, 0.0011);
  EXPECT_NEAR(value_after(report, "SUM OF REACTION FORCES ="), load, 0.011);
  EXPECT_NEAR(value_after(report, "SUM OF EXTERNAL FORCES AND SELF-WEIGHT (IF ANY) ="), load,
              0.011);
  EXPECT_NE(report.find("Stop - Program terminated."), std::string::npos);
}

TEST(LargeModel, SingleSlabOf150By150Nodes) {
  // 22,500 nodes, 67,500 equations of 456 words in each of the two band matrices
  // (61,560,000 words), 27 words a node (607,500), the nodal moduli (22,500) and
  // 1,236 words of small segments.
  expect_balanced_run(pavement(150, 1), 62191236);
}

TEST(LargeModel, ThreeByThreeSlabsOf40By40Nodes) {
  // 14,400 nodes, 43,200 equations of 366 words in each band matrix (31,622,400),
  // 27 words a node (388,800), two joint-transfer tables of two segments each
  // (57,600), the nodal moduli (14,400) and 1,112 words of small segments.
  expect_balanced_run(pavement(40, 3), 32084312);
}

}  // namespace
}  // namespace meridolan
