// One run of the program: deck in, report out.
#pragma once

#include <iosfwd>

namespace meridolan {

// Reads the deck, analyses the problem, prints the report and returns the exit
// status: 0 after the stop line; 2 when a deck record cannot be read (the message
// goes to `errors`, the report printed so far stays as it is).
int run(std::istream& deck, std::ostream& report, std::ostream& errors);
int run(std::istream& deck, std::ostream& report);

}  // namespace meridolan
