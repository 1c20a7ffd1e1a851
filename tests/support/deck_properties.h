// Properties every deck must keep, however malformed: the run ends with status 0 (a
// stop line), 2 (an unreadable deck, with its message on standard error) or 3 (a
// message in the report ended the analysis: the stop line, and the message on
// standard error), and
// neither the report nor the contour data show a number that is not finite. Checked by the fuzz
// target on every input and by the replay of the decks it found.
#pragma once

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

inline DeckVerdict check_deck(std::string_view deck) {
  std::istringstream in{std::string(deck)};
  std::ostringstream out, err, contour;
  DeckVerdict v;
  // Contour data go to a stream: no file is touched.
  ContourFile to_stream;
  to_stream.stream = &contour;
  v.status = run(in, out, err, to_stream);
  const std::string report = without_title(out.str(), deck);
  if (v.status != 0 && v.status != 2 && v.status != 3)
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

}  // namespace meridolan::testing
