// The history of an iteration's states: a repetition is found at the first step that
// returns to an earlier state, and the state the cycle holds at the limit is the one
// a plain iteration would have reached there.
#include "supports/repeats.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace meridolan {
namespace {

TEST(StateHistory, StepInCycleIsTheStateAPlainIterationReaches) {
  // A sequence that enters a cycle: a b c d c d c d ... (first = 3, again = 5).
  const std::vector<int> seq = {0, 1, 2, 3, 4, 3, 4, 3, 4, 3, 4, 3, 4};  // seq[k] = state k
  for (int limit = 5; limit <= 12; ++limit)
    EXPECT_EQ(seq[static_cast<std::size_t>(step_in_cycle(3, 5, limit))], seq[limit]) << limit;
  EXPECT_EQ(step_in_cycle(1, 2, 99999), 1);  // period 1
  EXPECT_EQ(step_in_cycle(20, 34, 39), 25);
}

TEST(StateHistory, FindsTheFirstRepetitionAndRecallsItsState) {
  std::ostringstream out;
  Report rep(out);
  StateHistory h;
  const std::vector<std::vector<int>> states = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {1, 1}};
  for (int k = 1; k <= 4; ++k)
    EXPECT_EQ(h.cycle_end(rep, k, std::span<const int>(states[k - 1]), 100, "STATE"), 0);
  EXPECT_EQ(out.str(), "");
  // Step 5 is step 3 again: a period of 2, and at step 100 the cycle holds step 4.
  EXPECT_EQ(h.cycle_end(rep, 5, std::span<const int>(states[4]), 100, "STATE"), 4);
  EXPECT_NE(out.str().find("***THE STATE OF ITERATION     5 REPEATS THAT OF ITERATION     3:"),
            std::string::npos);
  std::vector<int> back(2, -1);
  h.recall(4, std::span<int>(back));
  EXPECT_EQ(back, states[3]);
}

TEST(StateHistory, RealsRepeatOnlyBitForBit) {
  std::ostringstream out;
  Report rep(out);
  StateHistory h;
  const std::vector<double> a = {1.0, 2.0}, b = {1.0, 2.0 + 1e-15}, z = {0.0, 2.0},
                            nz = {-0.0, 2.0};
  EXPECT_EQ(h.cycle_end(rep, 1, std::span<const double>(a), 10, "MODULI"), 0);
  EXPECT_EQ(h.cycle_end(rep, 2, std::span<const double>(b), 10, "MODULI"), 0);
  EXPECT_EQ(h.cycle_end(rep, 3, std::span<const double>(z), 10, "MODULI"), 0);
  EXPECT_EQ(h.cycle_end(rep, 4, std::span<const double>(nz), 10, "MODULI"), 0);
  // Step 5 is step 1 again (period 4): at the limit 10 the cycle holds step 2.
  EXPECT_EQ(h.cycle_end(rep, 5, std::span<const double>(a), 10, "MODULI"), 2);
  EXPECT_NE(out.str().find("REPEATS THAT OF ITERATION     1:"), std::string::npos);
}

TEST(StateHistory, BeyondTheLimitTheLimitDecides) {
  std::ostringstream out;
  Report rep(out);
  StateHistory h;
  const std::vector<int> s = {1};
  EXPECT_EQ(h.cycle_end(rep, 1, std::span<const int>(s), 1, "STATE"), 0);
  EXPECT_EQ(h.cycle_end(rep, 2, std::span<const int>(s), 1, "STATE"), 0);
  EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace meridolan
