#include "driver/command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "driver/output_file.h"

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
    "                      FILE (default: meridolan.cnt in the working directory;\n"
    "                      - for standard output when the report goes to a file)\n"
    "      --results=FILE  write the results as JSON to FILE (- as for -c)\n"
    "      --check         read and echo the whole deck, then stop before the analysis\n"
    "      --strict        treat every warning about the deck's columns as an error\n"
    "      --time-limit=SECONDS  end a run that takes longer (exit status 3)\n"
    "  -m, --memory=WORDS  size of the work array in 8-byte words (default 2000000,\n"
    "                      16 MB); a model needs about 6 x NODES x (3 x NY + 6)\n"
    "                      words for its band matrices, NY the node lines across y\n"
    "  -h, --help          print this help and exit\n"
    "  -V, --version       print the version and exit\n"
    "\n"
    "Outputs never replace the deck or each other, and a file is replaced only once\n"
    "it is complete. Warnings about the deck go to standard error.\n"
    "\n"
    "Exit status: 0 the run ended with its stop line (warnings let the run go on);\n"
    "2 a deck record cannot be read; 3 a message in the report ended the\n"
    "analysis (the time limit too); 64 wrong command line or outputs that clash;\n"
    "66 the deck cannot be opened or is not a file; 73 an output cannot be written.\n"
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
  std::size_t i = 0;
  // The value of a long option: after '=' or the next argument.
  auto value = [&](std::string_view name) -> std::optional<std::string> {
    const std::string& a = args[i];
    if (a.size() > name.size()) return a.substr(name.size() + 1);
    if (i + 1 == args.size()) {
      fail("option '" + a + "' needs a value");
      return std::nullopt;
    }
    return args[++i];
  };
  for (; i < args.size(); ++i) {
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
    } else if (options && (a == "--results" || a.starts_with("--results="))) {
      if (auto v = value("--results")) cl.results = *v;
      if (cl.results.empty()) fail("the results file name is empty");
    } else if (options && (a == "--time-limit" || a.starts_with("--time-limit="))) {
      if (auto v = value("--time-limit")) {
        const char* end = v->data() + v->size();
        auto r = std::from_chars(v->data(), end, cl.time_limit);
        if (r.ec != std::errc() || r.ptr != end || !(cl.time_limit > 0))
          fail("option '--time-limit' needs a positive number of seconds, not '" + *v + "'");
      }
    } else if (options && a == "--strict") {
      cl.strict = true;
    } else if (options && a == "--check") {
      cl.check = true;
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

namespace {

// Why the outputs of the command line cannot be written as named: one of them is the
// deck, or two are one file (or one stream). Empty when they can.
std::string output_clash(const CommandLine& cl, bool real_stdin, bool real_stdout) {
  struct Named {
    const char* what;
    const std::string* name;
  };
  std::vector<Named> outputs{{"the report", &cl.report}, {"the contour data file", &cl.contour}};
  if (!cl.results.empty()) outputs.push_back({"the results file", &cl.results});
  // The report streams to standard output only when no other output takes it.
  std::vector<Named> on_stdout;
  for (const Named& o : outputs) {
    if (*o.name == "-") on_stdout.push_back(o);
  }
  if (on_stdout.size() > 1) {
    return std::string(on_stdout[0].what) + " and " + on_stdout[1].what +
           " would both go to standard output; name a file for one of them";
  }
  auto identity = [&](const std::string& name, bool is_input) -> std::optional<FileIdentity> {
    if (name != "-") return file_identity(name);
    if (is_input ? !real_stdin : !real_stdout) return std::nullopt;
    return descriptor_identity(is_input ? STDIN_FILENO : STDOUT_FILENO);
  };
  const auto deck = identity(cl.deck, true);
  std::vector<std::optional<FileIdentity>> ids;
  for (std::size_t k = 0; k < outputs.size(); ++k) {
    const Named& o = outputs[k];
    ids.push_back(identity(*o.name, false));
    const std::string shown = *o.name == "-" ? "standard output" : "'" + *o.name + "'";
    if (ids[k] && deck && *ids[k] == *deck) {
      return std::string(o.what) + " " + shown + " is the deck " +
             (cl.deck == "-" ? "(standard input)" : "'" + cl.deck + "'") +
             " itself; name another file";
    }
    for (std::size_t j = 0; j < k; ++j) {
      if (ids[k] && ids[j] && *ids[k] == *ids[j]) {
        return std::string(outputs[j].what) + " and " + o.what + " are one file (" + shown +
               "); name two different files";
      }
    }
  }
  return {};
}

}  // namespace

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

  const bool real_stdin = &in == &std::cin, real_stdout = &out == &std::cout;
  if (cl.deck != "-") {
    struct stat st {};
    if (::stat(cl.deck.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode) &&
        !S_ISCHR(st.st_mode)) {
      err << "meridolan: the deck '" << cl.deck << "' is "
          << (S_ISDIR(st.st_mode) ? "a directory" : "not a file") << "; name the deck file\n";
      return kExitNoInput;
    }
  }
  if (const std::string clash = output_clash(cl, real_stdin, real_stdout); !clash.empty()) {
    err << "meridolan: " << clash << "; nothing was written\n";
    return kExitUsage;
  }

  std::ifstream deck_file;
  if (cl.deck != "-") {
    deck_file.open(cl.deck, std::ios::binary);
    if (!deck_file) {
      err << "meridolan: cannot open the deck '" << cl.deck << "': " << std::strerror(errno)
          << '\n';
      return kExitNoInput;
    }
  } else if (real_stdin && ::isatty(STDIN_FILENO)) {
    // Someone at a terminal would otherwise see nothing happen.
    err << "meridolan: reading the deck from standard input (end it with Ctrl-D; "
           "'meridolan --help' for usage)\n";
  }
  std::unique_ptr<OutputFile> report_file;
  if (cl.report != "-") {
    report_file = std::make_unique<OutputFile>(cl.report);
    if (!report_file->is_open()) {
      err << "meridolan: cannot create the report '" << cl.report << "': " << report_file->error()
          << '\n';
      return kExitCannotWrite;
    }
  }
  std::unique_ptr<OutputFile> results_file;
  if (!cl.results.empty() && cl.results != "-") {
    results_file = std::make_unique<OutputFile>(cl.results);
    if (!results_file->is_open()) {
      err << "meridolan: cannot create the results file '" << cl.results
          << "': " << results_file->error() << '\n';
      return kExitCannotWrite;
    }
  }
  std::istream& deck = cl.deck != "-" ? deck_file : in;
  std::ostream& report = report_file ? report_file->stream() : out;

  RunOptions options;
  options.contour.path = cl.contour;
  if (cl.contour == "-") options.contour.stream = &out;
  // A checked deck has no results: --check stops before the analysis.
  if (results_file && !cl.check) {
    options.results = &results_file->stream();
  } else if (cl.results == "-" && !cl.check) {
    options.results = &out;
  }
  options.strict = cl.strict;
  options.check_only = cl.check;
  options.time_limit = cl.time_limit;
  options.memory_words = cl.memory_words;
  int status = run(deck, report, err, options);
  auto failed = [&](const std::string& what) {
    err << "meridolan: error while writing " << what << '\n';
    if (status == kExitStop) status = kExitCannotWrite;
  };
  if (report_file && !report_file->commit()) {
    failed("the report '" + cl.report + "': " + report_file->error() +
           "; an older file of that name is left as it was");
  }
  if (!report_file) {
    report.flush();
    if (!report) failed("the report to standard output");
  }
  // A run that wrote no results leaves no results file.
  if (results_file && results_file->written() == 0) {
    results_file->discard();
  } else if (results_file && !results_file->commit()) {
    failed("the results file '" + cl.results + "': " + results_file->error());
  }
  return status;
}

}  // namespace meridolan
