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

// The writer check of the fuzz target: every byte count a failing device may stop at
// leaves the older file or the complete one, never a part.
TEST(FuzzFindings, TheContourFileIsCompleteOrTheOlderOne) {
  const std::string deck = testing::read_file(MERIDOLAN_EXAMPLES "/interior_load.dat");
  std::string contour;
  ASSERT_EQ(testing::check_deck(deck, 60, &contour).problem, "");
  ASSERT_GT(contour.size(), 1000u);
  for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, contour.size() - 1,
                        contour.size(), contour.size() + 1})
    EXPECT_EQ(testing::check_writer(deck, contour, n), "") << n;
  // And the check sees a part-written file: the expected data longer than the file.
  EXPECT_EQ(testing::check_writer(deck, contour + "x", contour.size()),
            "the older contour file was changed");
}

}  // namespace
}  // namespace meridolan
