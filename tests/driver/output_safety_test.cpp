// Outputs never destroy the deck or each other, and a file is either complete or the
// older file of its name is left as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "driver/command_line.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome command(std::vector<std::string> args) {
  std::istringstream in;
  std::ostringstream out, err;
  const int st = run_command(args, in, out, err);
  return {st, out.str(), err.str()};
}

class Outputs : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("meridolan_outputs_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    text = testing::read_file(MERIDOLAN_EXAMPLES "/interior_load.dat");
    deck = path("d.dat");
    std::ofstream(deck, std::ios::binary) << text;
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string path(const char* name) const { return (dir / name).string(); }
  // Nothing but the named files is left in the directory (no temporary file).
  void expect_only(std::vector<std::string> names) const {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(dir)) found.push_back(e.path().filename());
    std::sort(found.begin(), found.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(found, names);
  }
  fs::path dir;
  std::string text, deck;
};

TEST_F(Outputs, TheDeckIsNeverAnOutput) {
  fs::create_symlink("d.dat", dir / "link.dat");
  fs::create_hard_link(deck, dir / "hard.dat");
  const std::string other_path = (dir / "." / "d.dat").string();
  for (const std::string& report : {deck, path("link.dat"), path("hard.dat"), other_path}) {
    auto r = command({deck, report});
    EXPECT_EQ(r.status, kExitUsage) << report;
    EXPECT_NE(r.err.find("is the deck '" + deck + "' itself"), std::string::npos) << r.err;
  }
  for (const char* opt : {"-c", "--results"}) {
    auto r = command({deck, path("r.txt"), opt, path("hard.dat")});
    EXPECT_EQ(r.status, kExitUsage) << opt;
  }
  // The deck reached through the link is the same file: the deck as a link too.
  EXPECT_EQ(command({path("link.dat"), path("hard.dat")}).status, kExitUsage);
  EXPECT_EQ(testing::read_file(deck), text);
  expect_only({"d.dat", "hard.dat", "link.dat"});  // nothing was opened for writing
}

TEST_F(Outputs, TwoOutputsOnOneFileOrStream) {
  auto same = command({deck, path("r.txt"), "-c", path("r.txt")});
  EXPECT_EQ(same.status, kExitUsage);
  EXPECT_NE(same.err.find("are one file"), std::string::npos) << same.err;
  EXPECT_EQ(command({deck, path("r.txt"), "--results", path("./r.txt")}).status, kExitUsage);
  EXPECT_EQ(command({deck, "-c", path("x.cnt"), "--results", path("x.cnt")}).status, kExitUsage);
  auto both = command({deck, "-c", "-"});
  EXPECT_EQ(both.status, kExitUsage);
  EXPECT_NE(both.err.find("would both go to standard output"), std::string::npos);
  EXPECT_EQ(command({deck, path("r.txt"), "-c", "-", "--results", "-"}).status, kExitUsage);
  expect_only({"d.dat"});

  // The contour data on standard output beside a report file: the bytes of a run.
  const auto expected = testing::run_deck(text);
  auto ok = command({deck, path("r.txt"), "-c", "-"});
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(ok.out, expected.contour);
  EXPECT_EQ(testing::read_file(path("r.txt")), expected.report);
  expect_only({"d.dat", "r.txt"});  // no file named "-"
}

TEST_F(Outputs, ADirectoryIsNoDeck) {
  auto r = command({dir.string()});
  EXPECT_EQ(r.status, kExitNoInput);
  EXPECT_NE(r.err.find("is a directory"), std::string::npos) << r.err;
}

// A child process whose files may not grow beyond `limit` bytes runs the command: the
// writes fail as on a full disk. Returns the child's exit status.
int run_with_file_size_limit(rlim_t limit, std::vector<std::string> args) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
    rlimit lim{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &lim);
    std::istringstream in;
    std::ostringstream out, err;
    ::_exit(run_command(args, in, out, err));
  }
  int st = 0;
  ::waitpid(pid, &st, 0);
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

TEST_F(Outputs, AFailingWriteLeavesTheOlderFile) {
  const std::string report = path("r.txt"), cnt = path("c.cnt");
  std::ofstream(report) << "older report\n";
  std::ofstream(cnt) << "older contour data\n";
  // The report (about 55 kB) fails; the contour data (16 kB) would fit.
  EXPECT_EQ(run_with_file_size_limit(20000, {deck, report, "-c", cnt}), kExitCannotWrite);
  EXPECT_EQ(testing::read_file(report), "older report\n");
  EXPECT_EQ(testing::read_file(cnt).size(), testing::run_deck(text).contour.size());
  // Both fail: neither older file is touched, and no temporary file stays.
  EXPECT_EQ(run_with_file_size_limit(8192, {deck, report, "-c", cnt}), kExitCannotWrite);
  EXPECT_EQ(testing::read_file(report), "older report\n");
  EXPECT_EQ(testing::read_file(cnt).size(), testing::run_deck(text).contour.size());
  expect_only({"c.cnt", "d.dat", "r.txt"});
  // Without an older file there is no file at all.
  fs::remove(report);
  fs::remove(cnt);
  EXPECT_EQ(run_with_file_size_limit(8192, {deck, report, "-c", cnt}), kExitCannotWrite);
  expect_only({"d.dat"});
  // Without the limit both are written whole and an existing file keeps its mode.
  std::ofstream(report) << "older\n";
  fs::permissions(report, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(run_with_file_size_limit(RLIM_INFINITY, {deck, report, "-c", cnt}), 0);
  EXPECT_EQ(testing::read_file(report), testing::run_deck(text).report);
  EXPECT_EQ(fs::status(report).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  expect_only({"c.cnt", "d.dat", "r.txt"});
}

TEST_F(Outputs, ThroughALinkTheFileItNamesIsReplaced) {
  std::ofstream(path("real.txt")) << "older\n";
  fs::create_symlink("real.txt", dir / "report_link.txt");
  EXPECT_EQ(command({deck, path("report_link.txt")}).status, 0);
  EXPECT_TRUE(fs::is_symlink(dir / "report_link.txt"));
  EXPECT_EQ(testing::read_file(path("real.txt")), testing::run_deck(text).report);
}

}  // namespace
}  // namespace meridolan
