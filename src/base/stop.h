// The one way a run ends: after the report, or after a message that ends the analysis.
#pragma once

#include <string>

namespace meridolan {

class Report;

// How a run ends.
enum class Ending {
  Finished,  // the analysis (or what the deck asked for) is done
  Refused,   // a message in the report ended the analysis
};

// Thrown by STOP and caught by run(), which turns it into the exit status.
struct RunStopped {
  Ending ending = Ending::Finished;
  std::string message;  // the report's message of a refused run, as one line
};

// Completes the pending report line, writes "Stop - Program terminated." with CR LF
// and ends the run.
[[noreturn]] void STOP(Report& report, Ending ending);

}  // namespace meridolan
