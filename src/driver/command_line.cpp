#include "driver/command_line.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <string_view>

#ifndef MERIDOLAN_VERSION
#define MERIDOLAN_VERSION "unknown"
#endif

namespace meridolan {

namespace {

constexpr std::string_view kHelp =
    "Usage: meridolan [OPTION]... [DECK [REPORT]]\n"
    "Analyses the jointed concrete pavement of the input deck DECK and prints the\n"
    "report to REPORT. Without DECK, or with -, the deck is read from standard input;\n"
    "without REPORT, or with -, the report goes to standard output.\n"
    "\n"
    "  -c, --contour=FILE  write the contour data, when the deck requests them, to\n"
    "                      FILE (default: meridolan.cnt in the working directory)\n"
    "  -m, --memory=WORDS  size of the work array in 8-byte words (default 2000000,\n"
    "                      16 MB); a model needs about 6 x NODES x (3 x NY + 6)\n"
    "                      words for its band matrices, NY the node lines across y\n"
    "  -h, --help          print this help and exit\n"
    "  -V, --version       print the version and exit\n"
    "\n"
    "Exit status: 0 the run ended with its stop line (also after a message in the\n"
    "report); 2 a deck record cannot be read; 64 wrong command line; 66 the deck file\n"
    "cannot be opened; 73 the report or the contour file cannot be written.\n"
    "Maps of a contour data file: meridolan-map meridolan.cnt --deck DECK\n";

// The value of --memory: a whole number of words that a run can use; the reason
// when it is not.
std::string read_memory_words(const std::string& text, std::int64_t& words) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, words);
  if (ec == std::errc::result_out_of_range) words = std::numeric_limits<std::int64_t>::max();
  if (text.empty() || ptr != end || (ec != std::errc() && ec != std::errc::result_out_of_range))
    return "the work array size '" + text + "' is not a whole number of words";
  return memory_words_problem(words);
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string> args) {
  CommandLine cl;
  int positional = 0;
  bool options = true;
  auto fail = [&](std::string msg) {
    if (cl.error.empty()) cl.error = std::move(msg);
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (options && a == "--") {
      options = false;
    } else if (options && (a == "-h" || a == "--help")) {
      cl.help = true;
    } else if (options && (a == "-V" || a == "--version")) {
      cl.version = true;
    } else if (options && (a == "-c" || a == "--contour")) {
      if (i + 1 == args.size()) {
        fail("option '" + a + "' needs a file name");
      } else {
        cl.contour = args[++i];
      }
    } else if (options && a.starts_with("--contour=")) {
      cl.contour = a.substr(10);
    } else if (options && a.starts_with("-c")) {
      cl.contour = a.substr(2);
    } else if (options && (a == "-m" || a == "--memory")) {
      if (i + 1 == args.size()) {
        fail("option '" + a + "' needs a number of words");
      } else {
        if (auto error = read_memory_words(args[++i], cl.memory_words); !error.empty()) fail(error);
      }
    } else if (options && (a.starts_with("--memory=") || a.starts_with("-m"))) {
      if (auto error = read_memory_words(a.substr(a[1] == '-' ? 9 : 2), cl.memory_words);
          !error.empty())
        fail(error);
    } else if (options && a.size() > 1 && a[0] == '-') {
      fail("unknown option '" + a + "'");
    } else if (positional == 0) {
      cl.deck = a;
      ++positional;
    } else if (positional == 1) {
      cl.report = a;
      ++positional;
    } else {
      fail("too many arguments: '" + a + "' (a deck and a report file at most)");
    }
  }
  if (cl.contour.empty()) fail("the contour file name is empty");
  return cl;
}

int run_command(std::span<const std::string> args, std::istream& in, std::ostream& out,
                std::ostream& err) {
  const CommandLine cl = parse_command_line(args);
  if (!cl.error.empty()) {
    err << "meridolan: " << cl.error << "\nTry 'meridolan --help'.\n";
    return kExitUsage;
  }
  if (cl.help) {
    out << kHelp;
    return kExitStop;
  }
  if (cl.version) {
    out << "meridolan " MERIDOLAN_VERSION "\n";
    return kExitStop;
  }

  std::ifstream deck_file;
  if (cl.deck != "-") {
    deck_file.open(cl.deck, std::ios::binary);
    if (!deck_file) {
      err << "meridolan: cannot open the deck '" << cl.deck << "': " << std::strerror(errno)
          << '\n';
      return kExitNoInput;
    }
  }
  std::ofstream report_file;
  if (cl.report != "-") {
    report_file.open(cl.report, std::ios::binary | std::ios::trunc);
    if (!report_file) {
      err << "meridolan: cannot create the report '" << cl.report << "': " << std::strerror(errno)
          << '\n';
      return kExitCannotWrite;
    }
  }
  std::istream& deck = cl.deck != "-" ? deck_file : in;
  std::ostream& report = cl.report != "-" ? report_file : out;

  RunOptions options;
  options.contour.path = cl.contour;
  options.memory_words = cl.memory_words;
  int status = run(deck, report, err, options);
  report.flush();
  if (report_file.is_open()) report_file.close();
  if (!report) {
    err << "meridolan: error while writing the report"
        << (cl.report != "-" ? " '" + cl.report + "'" : std::string(" to standard output")) << '\n';
    if (status == kExitStop) status = kExitCannotWrite;
  }
  return status;
}

}  // namespace meridolan
