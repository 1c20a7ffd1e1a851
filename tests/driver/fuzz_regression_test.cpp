// Decks the fuzz target found (tests/data/fuzz/), replayed with the properties it
// checks: exit status 0, 2 or 3, a message on standard error when not 0, the stop line
// after status 0 and 3, and no NaN or Inf in the report.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/deck_properties.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

TEST(FuzzFindings, EveryKeptDeckKeepsTheProperties) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(MERIDOLAN_TEST_DATA "/fuzz")) {
    const testing::DeckVerdict v = testing::check_deck(testing::read_file(entry.path()));
    EXPECT_EQ(v.problem, "") << entry.path();
    ++count;
  }
  EXPECT_GE(count, 2);
}

TEST(FuzzFindings, PropertiesAreCheckedAsStated) {
  // The title is the user's own text: "NaN" there is no computed value.
  EXPECT_EQ(testing::check_deck("1\nNaN AND Inf IN THE TITLE\n").status, 2);
  EXPECT_EQ(testing::check_deck("1\nNaN AND Inf IN THE TITLE\n").problem, "");
  EXPECT_EQ(testing::without_title("ab" + std::string("T") + std::string(79, ' ') + "cd", "1\nT\n"),
            "abcd");
  // An empty deck: status 2 with its message.
  EXPECT_EQ(testing::check_deck("").problem, "");
}

}  // namespace
}  // namespace meridolan
