// Properties every deck must keep, however malformed: the run ends with status 0 (a
// stop line), 2 (an unreadable deck, with its message on standard error) or 3 (a
// message in the report ended the analysis: the stop line, and the message on
// standard error), and
// neither the report nor the contour data show a number that is not finite. Checked by the fuzz
// target on every input and by the replay of the decks it found.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "driver/run.h"

namespace meridolan::testing {

struct DeckVerdict {
  int status = -1;
  std::string problem;  // empty when every property holds
};

// The run title is echoed as read, so text such as "NaN" in it is the user's own;
// it is taken out of the report (as the 80 columns printed) before the search.
inline std::string without_title(std::string report, std::string_view deck) {
  const std::size_t first = deck.find('\n');
  if (first == std::string_view::npos) return report;
  std::string_view line = deck.substr(first + 1);
  line = line.substr(0, line.find('\n'));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::string title(line.substr(0, 80));
  title.resize(80, ' ');
  for (std::size_t at = report.find(title); at != std::string::npos; at = report.find(title, at))
    report.erase(at, title.size());
  return report;
}

// With `time_budget` (seconds) a run that takes longer is a finding too: the work of
// a deck must be bounded by what it can mean. `contour` receives the contour data.
inline DeckVerdict check_deck(std::string_view deck, double time_budget = 0,
                              std::string* contour_data = nullptr) {
  std::istringstream in{std::string(deck)};
  std::ostringstream out, err, contour;
  DeckVerdict v;
  // Contour data go to a stream: no file is touched.
  RunOptions options;
  options.contour.stream = &contour;
  options.time_limit = time_budget;
  v.status = run(in, out, err, options);
  if (contour_data != nullptr) *contour_data = contour.str();
  const std::string report = without_title(out.str(), deck);
  if (time_budget > 0 && v.status == kExitRefused &&
      report.find("(--TIME-LIMIT).") != std::string::npos)
    v.problem = "the run took longer than its time budget of " + std::to_string(time_budget) + " s";
  else if (v.status != 0 && v.status != 2 && v.status != 3)
    v.problem = "exit status " + std::to_string(v.status) + " is not 0, 2 or 3";
  else if (v.status != 0 && err.str().empty())
    v.problem = "exit status " + std::to_string(v.status) + " without a message on standard error";
  else if (v.status != 2 && !report.ends_with("Stop - Program terminated.\r\n"))
    v.problem = "exit status " + std::to_string(v.status) + " without the stop line";
  else if (report.find("NaN") != std::string::npos || report.find("Inf") != std::string::npos)
    v.problem = "the report shows a number that is not finite";
  else if (contour.str().find("NaN") != std::string::npos ||
           contour.str().find("Inf") != std::string::npos)
    v.problem = "the contour data hold a number that is not finite";
  return v;
}

// Runs the deck once more with its contour data going to a file that fails after
// `max_bytes` bytes, over an older file of the name: afterwards the file is either
// the complete data (`expected`) or still the older file, and no other file is left.
// Returns the problem, empty when none.
inline std::string check_writer(std::string_view deck, const std::string& expected,
                                std::size_t max_bytes) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("meridolan_writer_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "c.cnt").string(), older = "an older file\n";
  std::ofstream(path, std::ios::binary) << older;
  std::istringstream in{std::string(deck)};
  std::ostringstream out, err;
  RunOptions options;
  options.contour.path = path;
  options.contour.max_bytes = max_bytes;
  const int status = run(in, out, err, options);
  std::ifstream f(path, std::ios::binary);
  std::stringstream left;
  left << f.rdbuf();
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++files;
  fs::remove_all(dir);
  const bool complete = max_bytes >= expected.size();
  if (files != 1) return "a temporary file was left beside the contour data file";
  if (complete ? left.str() != expected : left.str() != older)
    return complete ? "the contour data file is not complete"
                    : "the older contour file was changed";
  if (!complete && status != kExitCannotWrite)
    return "a failed contour file ended with exit status " + std::to_string(status);
  return {};
}

}  // namespace meridolan::testing
