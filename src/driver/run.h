// One run of the program: deck in, report out, and the contour data file when the
// deck requests it.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace meridolan {

// Exit statuses of the program.
inline constexpr int kExitStop = 0;            // the run reached its stop line
inline constexpr int kExitUnreadableDeck = 2;  // a deck record could not be read
inline constexpr int kExitRefused = 3;         // a message in the report ended the analysis
inline constexpr int kExitUsage = 64;          // the command line is wrong
inline constexpr int kExitNoInput = 66;        // the deck file cannot be opened
inline constexpr int kExitCannotWrite = 73;    // the report or contour file cannot be written

// Name of the contour data file when the command line names none: in the working
// directory, like every other output of a batch run.
inline constexpr const char* kDefaultContourFile = "meridolan.cnt";

// Where the contour data go when the deck requests them.
struct ContourFile {
  // File created (or replaced) only when the deck requests contours and the analysis
  // reaches its end; standard error then says where it went.
  std::string path = kDefaultContourFile;
  // When set, the data are written to this stream instead, and no file is touched.
  std::ostream* stream = nullptr;
};

// Everything about a run that does not come from the deck: where its outputs go and
// the limits it runs under. Each command-line option of a run has its field here.
struct RunOptions {
  ContourFile contour;
  // When set, the run's results as one JSON document (docs/results.md).
  std::ostream* results = nullptr;
  // Words (8 bytes each) of the work array: the memory check refuses a model that
  // needs more, and the memory report prints it as the limit.
  std::int64_t memory_words = 2000000;
};

// The largest work array a run can be given: the memory report prints its size in
// ten columns.
inline constexpr std::int64_t kMaxMemoryWords = 9999999999;

// Why `words` cannot be the size of a run's work array: it is not positive, or its
// bytes exceed the memory of this machine, or it is beyond kMaxMemoryWords. Empty when the size can
// be used.
std::string memory_words_problem(std::int64_t words);

// Reads the deck, analyses the problem, prints the report, writes the contour data
// when requested and returns the exit status: 0 after the stop line; 2 when a deck
// record cannot be read (the message goes to `errors`, the report printed so far
// stays as it is); 3 when a message in the report ended the analysis (the report
// ends with its stop line; the message goes to `errors` in one line); 73 when the
// contour file cannot be written (the report is complete, with its stop line; the
// reason goes to `errors`). The results document, when asked for, is written for
// every ending; 64 when an option cannot be used (the reason goes to `errors`,
// nothing is read or printed).
int run(std::istream& deck, std::ostream& report, std::ostream& errors, const RunOptions& options);
int run(std::istream& deck, std::ostream& report, std::ostream& errors, const ContourFile& contour);
int run(std::istream& deck, std::ostream& report, std::ostream& errors);
int run(std::istream& deck, std::ostream& report);

}  // namespace meridolan
