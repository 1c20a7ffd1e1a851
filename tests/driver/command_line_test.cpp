// The command line: arguments, files, help, version and exit statuses.
#include "driver/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/run_deck.h"

namespace meridolan {
namespace {

CommandLine parse(std::vector<std::string> a) {
  return parse_command_line(a);
}

TEST(CommandLine, ArgumentsAndOptions) {
  auto d = parse({});
  EXPECT_EQ(d.deck + d.report + d.contour, "--meridolan.cnt");
  auto f = parse({"pave.dat", "pave.txt", "-c", "pave.cnt"});
  EXPECT_EQ(f.deck + "|" + f.report + "|" + f.contour, "pave.dat|pave.txt|pave.cnt");
  EXPECT_EQ(parse({"--contour=a.cnt"}).contour, "a.cnt");
  EXPECT_EQ(parse({"--", "-odd.dat"}).deck, "-odd.dat");  // after "--" a file name

  EXPECT_NE(parse({"-x"}).error.find("unknown option '-x'"), std::string::npos);
  EXPECT_NE(parse({"a", "b", "c"}).error.find("too many arguments"), std::string::npos);
  EXPECT_NE(parse({"-c"}).error.find("needs a file name"), std::string::npos);
}

struct Outcome {
  int status;
  std::string out, err;
};

Outcome command(std::vector<std::string> args, const std::string& stdin_text = "") {
  std::istringstream in(stdin_text);
  std::ostringstream out, err;
  int st = run_command(args, in, out, err);
  return {st, out.str(), err.str()};
}

TEST(CommandLine, HelpVersionAndUsageErrors) {
  auto h = command({"--help"});
  EXPECT_EQ(h.status, 0);
  EXPECT_NE(h.out.find("Exit status"), std::string::npos);
  auto v = command({"--version"});
  EXPECT_EQ(v.out, "meridolan " MERIDOLAN_TEST_VERSION "\n");

  auto u = command({"--frobnicate"});
  EXPECT_EQ(u.status, kExitUsage);
  EXPECT_EQ(u.out, "");
  EXPECT_NE(u.err.find("Try 'meridolan --help'"), std::string::npos);
}

TEST(CommandLine, FilesNamedOnTheCommandLine) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("meridolan_cli_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string deck = testing::read_file(MERIDOLAN_EXAMPLES "/interior_load.dat");
  const auto expected = testing::run_deck(deck);
  const std::string deck_path = MERIDOLAN_EXAMPLES "/interior_load.dat";

  // Deck and report files, contour file named: the same bytes as an in-process run.
  const auto report = (dir / "r.txt").string(), cnt = (dir / "c.cnt").string();
  auto f = command({deck_path, report, "--contour", cnt});
  EXPECT_EQ(f.status, 0) << f.err;
  EXPECT_EQ(f.out, "");
  EXPECT_EQ(testing::read_file(report), expected.report);
  EXPECT_EQ(testing::read_file(cnt), expected.contour);
  EXPECT_NE(f.err.find("contour data written to " + cnt), std::string::npos) << f.err;

  // The deck on standard input, the report on standard output.
  auto s = command({"-c", cnt}, deck);
  EXPECT_EQ(s.status, 0);
  EXPECT_EQ(s.out, expected.report);

  // A deck that cannot be opened, a report that cannot be created.
  auto n = command({(dir / "missing.dat").string()});
  EXPECT_EQ(n.status, kExitNoInput);
  EXPECT_NE(n.err.find("cannot open the deck"), std::string::npos);
  auto w = command({deck_path, (dir / "no" / "r.txt").string()});
  EXPECT_EQ(w.status, kExitCannotWrite);
  EXPECT_NE(w.err.find("cannot create the report"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace meridolan
