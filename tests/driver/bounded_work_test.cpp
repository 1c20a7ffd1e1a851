// Work bounded by what the deck can mean: iterations that cycle end at once with the
// results of their limit, tolerances that cannot work are refused, and a run may be
// given a time limit; --check stops after the echo.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "driver/run.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using testing::read_file;
using testing::RunResult;

std::string data(const char* name) {
  return read_file(std::string(MERIDOLAN_TEST_DATA "/") + name);
}

RunResult run_with(const std::string& deck, RunOptions options) {
  std::istringstream in(deck);
  std::ostringstream out, err, cnt;
  options.contour.stream = &cnt;
  RunResult r;
  r.status = run(in, out, err, options);
  r.report = out.str();
  r.errors = err.str();
  r.contour = cnt.str();
  return r;
}

// The deck with its first line that ends in `old_tail` ending in `new_tail` instead.
std::string with_line_end(std::string deck, const std::string& old_tail,
                          const std::string& new_tail) {
  const std::size_t at = deck.find(old_tail + "\n");
  EXPECT_NE(at, std::string::npos) << old_tail;
  return deck.replace(at, old_tail.size(), new_tail);
}

std::string contact_limit(const std::string& deck, int limit) {
  char tail[16];
  std::snprintf(tail, sizeof tail, "%5d", limit);
  return with_line_end(deck, "  200", tail);
}

std::string after(const std::string& report, const std::string& mark) {
  const std::size_t at = report.rfind(mark);
  EXPECT_NE(at, std::string::npos) << mark;
  return at == std::string::npos ? "" : report.substr(at);
}

// Both decks come back to the contact state of iteration 4 at iteration 6. A limit
// below 6 ends the plain way; a limit a whole number of periods further ends at the
// repetition, and everything from the warning of the limit on is the same.
TEST(BoundedWork, ACyclingContactIterationEndsWithTheResultsOfItsLimit) {
  for (const char* name : {"cycling_contact_springs.dat", "cycling_contact_solid.dat"}) {
    const std::string deck = data(name);
    for (int limit : {4, 5}) {
      const RunResult plain = testing::run_deck(contact_limit(deck, limit));
      const RunResult cut = testing::run_deck(contact_limit(deck, limit + 40));
      ASSERT_EQ(plain.status, 0) << name;
      ASSERT_EQ(cut.status, 0) << name;
      EXPECT_EQ(plain.report.find("REPEATS"), std::string::npos);
      char limit_text[16];
      std::snprintf(limit_text, sizeof limit_text, "%6d", limit + 40);
      EXPECT_TRUE(
          cut.contains("***THE CONTACT STATE OF ITERATION     6 REPEATS THAT OF "
                       "ITERATION     4:\r\n          THE ITERATION CYCLES WITH A PERIOD "
                       "OF     2 AND CAN NEVER CONVERGE."))
          << name;
      EXPECT_TRUE(cut.contains(std::string("ITS LIMIT OF") + limit_text)) << name;
      EXPECT_EQ(after(cut.report, "CONVERGENCE IS NOT ACHIEVED"),
                after(plain.report, "CONVERGENCE IS NOT ACHIEVED"))
          << name << " limit " << limit;
    }
  }
}

// The moduli of pass 34 are those of pass 20: a limit of 25 and one of 25 + 14 end on
// the same pass, with the same results and contour data.
TEST(BoundedWork, RepeatingModuliEndWithThePassOfTheLimit) {
  const std::string deck = data("repeating_moduli.dat");
  const RunResult plain = testing::run_deck(
      with_line_end(deck, "    1  300 .000 .000    0", "    1   25 .000 .000    0"));
  const RunResult cut = testing::run_deck(
      with_line_end(deck, "    1  300 .000 .000    0", "    1   39 .000 .000    0"));
  ASSERT_EQ(plain.status, 0);
  ASSERT_EQ(cut.status, 0);
  EXPECT_TRUE(
      cut.contains("***THE SET OF NODAL MODULI OF ITERATION    34 REPEATS THAT OF "
                   "ITERATION    20:"));
  EXPECT_TRUE(cut.contains("ITS LIMIT OF    39 ITERATIONS REACHES (THOSE OF ITERATION    25)."));
  EXPECT_EQ(cut.contour, plain.contour);
  const std::string table = "NODE     DEFLECTION";
  EXPECT_EQ(after(cut.report, "I T E R A T I O N   N O. 39").substr(0, 40).size(), 40u);
  const std::string plain_last = after(plain.report, "RATIO OF NO. OF PTS OFF TOL1");
  const std::string cut_last = after(cut.report, "I T E R A T I O N   N O. 39");
  EXPECT_EQ(cut_last.substr(cut_last.find(table)), plain_last.substr(plain_last.find(table)));
  // The limit of the deck, 300, is never worked through.
  EXPECT_LT(cut.report.size(), plain.report.size() * 2);
}

TEST(BoundedWork, TolerancesOfTheIteration) {
  const std::string deck = read_file(MERIDOLAN_EXAMPLES "/stress_dependent_two_soils.dat");
  const std::string record = "    0   10 .020 .010    0";
  const RunResult neg = testing::run_deck(with_line_end(deck, record, "    0   10-.020 .010    0"));
  EXPECT_EQ(neg.status, kExitRefused);  // the refusal ends the analysis
  EXPECT_TRUE(neg.contains("***CONTROL RECORD 7, COLUMNS 11-15: TOL1 ="));
  EXPECT_TRUE(neg.contains("A TOLERANCE OF THE ITERATION MUST NOT BE NEGATIVE."));
  EXPECT_EQ(neg.report.find("I T E R A T I O N"), std::string::npos);  // no analysis
  const RunResult neg2 =
      testing::run_deck(with_line_end(deck, record, "    0   10 .020-.010    0"));
  EXPECT_TRUE(neg2.contains("***CONTROL RECORD 7, COLUMNS 16-20: TOL2 ="));
  // A pass limit of 1 makes no update: its tolerances mean nothing and are not judged.
  EXPECT_EQ(testing::run_deck(with_line_end(deck, record, "    0    1-.020 .010    0"))
                .report.find("TOLERANCE"),
            std::string::npos);
  const RunResult zero =
      testing::run_deck(with_line_end(deck, record, "    0   10 .000 .000    0"));
  EXPECT_TRUE(
      zero.contains("NOTE: TOL1 AND TOL2 ARE BOTH 0: THE ITERATION ENDS BEFORE ITS PASS "
                    "LIMIT    10"));
  EXPECT_EQ(testing::run_deck(deck).report.find("NOTE: TOL1"), std::string::npos);
}

TEST(BoundedWork, TimeLimit) {
  const std::string deck = read_file(MERIDOLAN_EXAMPLES "/interior_load.dat");
  RunOptions late;
  late.time_limit = 1e-9;  // over before the first pass
  const RunResult r = run_with(deck, late);
  EXPECT_EQ(r.status, kExitRefused);
  EXPECT_TRUE(
      r.contains("***THE RUN HAS TAKEN LONGER THAN ITS TIME LIMIT OF          .0 "
                 "SECONDS (--TIME-LIMIT)."));
  EXPECT_TRUE(r.report.ends_with(" PROGRAM TERMINATED.\r\nStop - Program terminated.\r\n"));
  EXPECT_EQ(r.contour, "");
  RunOptions ample;
  ample.time_limit = 3600;
  EXPECT_EQ(run_with(deck, ample).report, testing::run_deck(deck).report);
}

TEST(BoundedWork, CheckReadsTheWholeDeckAndStopsBeforeTheAnalysis) {
  RunOptions check;
  check.check_only = true;
  for (const char* name : {"interior_load.dat", "stress_dependent_two_soils.dat",
                           "curling_contact.dat", "jointed_pavement.dat"}) {
    const std::string deck = read_file(std::string(MERIDOLAN_EXAMPLES "/") + name);
    const RunResult full = testing::run_deck(deck);
    const RunResult r = run_with(deck, check);
    EXPECT_EQ(r.status, 0) << name << r.errors;
    const std::string end =
        "\r\n\r\n\r\n         ***THE WHOLE DECK HAS BEEN READ AND ECHOED (--CHECK): THE ANALYSIS "
        "IS NOT RUN.\r\nStop - Program terminated.\r\n";
    ASSERT_TRUE(r.report.ends_with(end)) << name;
    // The echo is the full run's, up to where the analysis begins.
    const std::string echo = r.report.substr(0, r.report.size() - end.size());
    EXPECT_EQ(full.report.compare(0, echo.size(), echo), 0) << name;
    EXPECT_EQ(r.contour, "") << name;
    // A deck that lacks its last record fails the check.
    const std::string cut = deck.substr(0, deck.rfind("\n000000 ") + 1);
    EXPECT_EQ(run_with(cut, check).status, kExitUnreadableDeck) << name;
  }
}

TEST(BoundedWork, StrictTurnsWarningsIntoReadErrors) {
  const std::string deck = data("input_curling_gaps.dat");
  const RunResult lax = testing::run_deck(deck);
  EXPECT_EQ(lax.status, 0);
  EXPECT_NE(lax.errors.find("meridolan: warning: deck line 13, columns 18-52"), std::string::npos);
  RunOptions strict;
  strict.strict = true;
  const RunResult r = run_with(deck, strict);
  EXPECT_EQ(r.status, kExitUnreadableDeck);
  EXPECT_EQ(r.errors.rfind("meridolan: run-time error on unit 5 (READ): deck line 13, columns "
                           "18-52",
                           0),
            0u)
      << r.errors;
  EXPECT_NE(r.errors.find("(refused by --strict)"), std::string::npos);
  EXPECT_EQ(run_with(read_file(MERIDOLAN_EXAMPLES "/interior_load.dat"), strict).status, 0);
}

TEST(BoundedWork, ALoadedAreaOfNoSizeIsWarnedOf) {
  const std::string deck = read_file(MERIDOLAN_EXAMPLES "/interior_load.dat");
  const RunResult r =
      testing::run_deck(with_line_end(deck, "    62.500    84.000    96.000    66.000    78.000",
                                      "    62.500    84.000    84.000    66.000    78.000"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.errors,
            "meridolan: warning: deck line 14, columns 11-30: \"84 84\" gives the loaded area no "
            "width (X1 = X2): it carries no load\n");
}

}  // namespace
}  // namespace meridolan
