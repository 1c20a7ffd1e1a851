// The one way a run ends normally: after the report, or after a fatal message.
#pragma once

namespace meridolan {

class Report;

// Thrown by STOP and caught by run(), which returns `status`.
struct RunStopped {
  int status = 0;
};

// Completes the pending report line, writes "Stop - Program terminated." with CR LF
// and ends the run with exit status 0.
[[noreturn]] void STOP(Report& report);

}  // namespace meridolan
