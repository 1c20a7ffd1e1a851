// The command line of the program: which deck to read, where the report and the
// contour data go, help and version.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>

#include "driver/run.h"

namespace meridolan {

struct CommandLine {
  std::string deck = "-";                     // "-": standard input
  std::string report = "-";                   // "-": standard output
  std::string contour = kDefaultContourFile;  // "-": standard output
  std::string results;                        // empty: none; "-": standard output
  bool strict = false;
  bool check = false;
  double time_limit = 0;
  std::int64_t memory_words = RunOptions{}.memory_words;
  bool help = false;
  bool version = false;
  std::string error;  // set when the command line is wrong
};

// Reads the arguments that follow the program name.
CommandLine parse_command_line(std::span<const std::string> args);

// The whole program: reads the command line, opens the files it names and runs the
// deck. `in`, `out` and `err` are standard input, output and error. Returns the
// exit status (see run.h). No output is opened when one would be the deck or another
// output of the run; every output file is written beside its target and renamed into
// place once complete.
int run_command(std::span<const std::string> args, std::istream& in, std::ostream& out,
                std::ostream& err);

}  // namespace meridolan
