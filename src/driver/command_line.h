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
  std::string deck = "-";    // "-": standard input
  std::string report = "-";  // "-": standard output
  std::string contour = kDefaultContourFile;
  std::int64_t memory_words = RunOptions{}.memory_words;
  bool help = false;
  bool version = false;
  std::string error;  // set when the command line is wrong
};

// Reads the arguments that follow the program name.
CommandLine parse_command_line(std::span<const std::string> args);

// The whole program: reads the command line, opens the files it names and runs the
// deck. `in`, `out` and `err` are standard input, output and error. Returns the
// exit status (see run.h).
int run_command(std::span<const std::string> args, std::istream& in, std::ostream& out,
                std::ostream& err);

}  // namespace meridolan
