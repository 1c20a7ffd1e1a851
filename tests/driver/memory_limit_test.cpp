// The size of the work array: the words a deck's model needs, the limit a run is
// given, and the memory report and check under it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <limits>
#include <sstream>
#include <stdexcept>

#include "base/records.h"
#include "driver/command_line.h"
#include "driver/control_records.h"
#include "support/deck_builder.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using testing::read_file;
using testing::RunResult;

RunResult run_with_memory(const std::string& deck, std::int64_t words) {
  std::istringstream in(deck);
  std::ostringstream out, err, cnt;
  RunOptions options;
  options.contour.stream = &cnt;
  options.memory_words = words;
  RunResult r;
  r.status = run(in, out, err, options);
  r.report = out.str();
  r.errors = err.str();
  return r;
}

TEST(ModelMemoryWords, IsTheTotalTheMemoryReportPrints) {
  EXPECT_EQ(model_memory_words(read_file(MERIDOLAN_TEST_DATA "/two_slabs_memreq_3951.dat")), 3951);
  EXPECT_EQ(model_memory_words(read_file(MERIDOLAN_TEST_DATA "/elastic_solid_memreq_60307.dat")),
            60307);
  // Only the control records are read: a deck cut after them gives the same words.
  EXPECT_EQ(model_memory_words("1\nT\n    1    0    0    0\n    3    3\n    4\n    1    0   "
                               "200.000\n    4    1\n000000   0\n    2    0    0    0\n"),
            3951);
  // Beyond the 64-bit range the total saturates, as the memory check sees it.
  EXPECT_EQ(model_memory_words("1\nT\n    0    0    0    0\n99999\n99999\n    1    0   200.000\n"
                               "    8    1\n000000   0\n"),
            std::numeric_limits<std::int64_t>::max());
}

TEST(ModelMemoryWords, RefusesWhatARunRefuses) {
  EXPECT_THROW(model_memory_words("1\nT\n    x\n"), ReadError);
  EXPECT_THROW(model_memory_words("1\nT\n    1    0    0    0\n"), ReadError);  // ends early
  try {
    model_memory_words(
        "1\nT\n    1    0    0    0\n   -3\n    4\n    1    0   200.000\n    4    1\n"
        "000000   0\n");
    FAIL() << "negative node count accepted";
  } catch (const std::invalid_argument& e) {
    // The report's message as one line, as a refused run repeats it.
    EXPECT_EQ(std::string(e.what()),
              "THE NODE COUNTS OF THE MESH MUST NOT BE NEGATIVE: NODES ALONG X = -3 0 0 0 0 0 0 "
              "0 0 0 NODES ALONG Y = 4 0 0 0 0 0 0 0 0 0");
  }
}

std::int64_t machine_words() {
  return std::int64_t(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGE_SIZE) / 8;
}

TEST(MemoryOption, ReadsAWholeNumberOfWordsInEveryForm) {
  using Args = std::vector<std::string>;
  EXPECT_EQ(parse_command_line(Args{}).memory_words, 2000000);
  for (const Args& a :
       {Args{"-m", "4324667"}, Args{"--memory", "4324667"}, Args{"--memory=4324667"},
        Args{"-m4324667"}, Args{"d.dat", "-m", "4324667"}}) {
    const CommandLine cl = parse_command_line(a);
    EXPECT_EQ(cl.error, "") << a[0];
    EXPECT_EQ(cl.memory_words, 4324667) << a[0];
  }
  EXPECT_EQ(parse_command_line(Args{"d.dat", "-m", "7"}).deck, "d.dat");

  const auto error = [](Args a) { return parse_command_line(a).error; };
  EXPECT_EQ(error({"-m"}), "option '-m' needs a number of words");
  EXPECT_EQ(error({"--memory"}), "option '--memory' needs a number of words");
  EXPECT_EQ(error({"-m", "0"}), "the work array needs a positive number of words, not 0");
  EXPECT_EQ(error({"--memory=-5"}), "the work array needs a positive number of words, not -5");
  for (const char* bad : {"", "12x", "4e6", " 5", "2,000,000", "+5"})
    EXPECT_EQ(error({"-m", bad}),
              std::string("the work array size '") + bad + "' is not a whole number of words");
  EXPECT_EQ(error({"-m", "10000000000"}),
            "a work array of 10000000000 words is larger than the 9999999999 words the memory "
            "report can print");
  EXPECT_NE(error({"-m", "99999999999999999999999"}).find("larger than the 9999999999 words"),
            std::string::npos);
  const std::int64_t too_big = machine_words() + 1;
  if (too_big <= kMaxMemoryWords) {
    EXPECT_NE(
        error({"-m", std::to_string(too_big)}).find("does not fit the memory of this machine"),
        std::string::npos);
  }
  EXPECT_EQ(error({"-m", std::to_string(machine_words())}), "");
}

TEST(MemoryOption, ABadValueEndsWithStatus64AndNoReport) {
  std::istringstream in("1\n");
  std::ostringstream out, err;
  const std::vector<std::string> args{"-m", "0"};
  EXPECT_EQ(run_command(args, in, out, err), kExitUsage);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(),
            "meridolan: the work array needs a positive number of words, not 0\n"
            "Try 'meridolan --help'.\n");
  // run() itself refuses what the command line refuses: the options may come from
  // elsewhere.
  const auto r = run_with_memory(read_file(MERIDOLAN_TEST_DATA "/two_slabs_memreq_3951.dat"), -1);
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.report, "");
  EXPECT_EQ(r.errors, "meridolan: the work array needs a positive number of words, not -1\n");

  std::ostringstream help, none;
  EXPECT_EQ(run_command(std::vector<std::string>{"--help"}, in, help, none), kExitStop);
  EXPECT_NE(help.str().find("-m, --memory=WORDS"), std::string::npos);
}

TEST(MemoryOption, TheReportAndTheCheckUseTheLimitInForce) {
  const std::string deck = read_file(MERIDOLAN_TEST_DATA "/two_slabs_memreq_3951.dat");
  const auto exact = run_with_memory(deck, 3951);  // the limit is inclusive
  EXPECT_EQ(exact.status, kExitRefused);           // the deck ends at a negative pivot
  EXPECT_TRUE(exact.has_line("                   (SHOULD BE LESS THAN       3951  )"));
  EXPECT_FALSE(exact.contains("NOT ENOUGH MEMORY"));
  EXPECT_TRUE(exact.contains("TOTAL APPLIED LOAD IS  3600.000"));
  // Beside the changed limit the report is the one of the default run.
  const RunResult plain = testing::run_deck(deck);
  std::string expected = plain.report;
  const std::string limit = "(SHOULD BE LESS THAN    2000000  )";
  expected.replace(expected.find(limit), limit.size(), "(SHOULD BE LESS THAN       3951  )");
  EXPECT_EQ(exact.report, expected);

  const auto short_by_one = run_with_memory(deck, 3950);
  EXPECT_EQ(short_by_one.status, kExitRefused);
  EXPECT_TRUE(short_by_one.has_line("                   (SHOULD BE LESS THAN       3950  )"));
  EXPECT_TRUE(
      short_by_one.has_line("                    NEEDS TOTAL MEMORY  OF AT LEAST      3951"));
  EXPECT_FALSE(short_by_one.contains("COORDINATES OF EACH NODE"));
}

// A mesh beyond the default work array, as a user first meets it: refused with the
// words it needs, then run with those words, its reactions balancing the load.
TEST(MemoryOption, ASlabOf61By61NodesRunsWithTheWordsItNeeds) {
  testing::SlabDeck d;
  for (int i = 0; i < 61; ++i) {
    d.xc.push_back(4.0 * i);
    d.yc.push_back(4.0 * i);
  }
  d.isubgr = 7;
  d.loads = {testing::Load{100.0, 110.0, 130.0, 100.0, 120.0}};
  const std::string deck = d.text();
  EXPECT_EQ(model_memory_words(deck), 4324667);

  const RunResult refused = testing::run_deck(deck);
  EXPECT_TRUE(refused.has_line("                    NEEDS TOTAL MEMORY  OF AT LEAST   4324667"));

  const RunResult r = run_with_memory(deck, 4324667);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(
      r.has_line("                   TOTAL MEMORY SPACES FOR THE FINITE ELEMENT MESH=******"));
  EXPECT_TRUE(r.has_line("                   (SHOULD BE LESS THAN    4324667  )"));
  EXPECT_TRUE(r.has_line("                      SUM OF REACTION FORCES =  40000.00"));
  EXPECT_TRUE(r.has_line("           SUM OF EXTERNAL FORCES AND SELF-WEIGHT (IF ANY) =  40000.00"));
}

// Node numbers fill five columns in the tables: a mesh of more nodes than that is
// refused before anything is read past the control records.
TEST(ReportLimits, AMeshOfMoreThan99999NodesIsRefused) {
  const auto control = [](int nx, int ny) {
    return "1\nMANY NODES\n    1    0    0    0\n" + testing::fmt_i(nx) + "\n" +
           testing::fmt_i(ny) + "\n    1    0   200.000\n    7    1\n000000   0\n";
  };
  const RunResult over = run_with_memory(control(50000, 2), 20000000);
  EXPECT_EQ(over.status, kExitRefused);
  EXPECT_EQ(over.report,
            "\r\n\r\n\r\n                   ***THE MESH HAS     100000 NODES; THE TABLES OF THE "
            "REPORT NUMBER THE\r\n                    NODES IN FIVE COLUMNS, SO A MESH MAY HAVE AT "
            "MOST 99999 NODES.\r\n                    PROGRAM TERMINATED.\r\nStop - Program "
            "terminated.\r\n");
  // 99999 nodes pass: the run goes on to the coordinate records, which this deck
  // lacks.
  const RunResult at = run_with_memory(control(33333, 3), 20000000);
  EXPECT_EQ(at.status, kExitUnreadableDeck);
  EXPECT_FALSE(at.contains("NODES IN FIVE COLUMNS"));
  // Under the default work array the memory check refuses such a mesh first.
  const RunResult plain = testing::run_deck(control(50000, 2));
  EXPECT_TRUE(plain.contains("(FINITE ELEMENT MESH)"));
  EXPECT_FALSE(plain.contains("NODES IN FIVE COLUMNS"));
}

}  // namespace
}  // namespace meridolan
