// The one way a run ends normally: after the report, or after a fatal message.
#pragma once

namespace meridolan {

class Report;
struct Control;

// Thrown by STOP and caught by run(), which returns `status`.
struct RunStopped {
  int status = 0;
};

// Completes the pending report line, writes "Stop - Program terminated." with CR LF
// and ends the run with exit status `status` (0 unless a limit of the run ended it).
[[noreturn]] void STOP(Report& report, int status = 0);

// Ends the run, with a message and exit status 3, when it has run past its time
// limit. Called once per step of every iteration, whose count the deck sets.
void check_time_limit(Report& report, const Control& C);

}  // namespace meridolan
