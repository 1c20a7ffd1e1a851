#include "base/stop.h"

#include "base/control.h"
#include "base/records.h"

namespace meridolan {

void STOP(Report& report, Ending ending) {
  report.complete_line();
  report.raw("Stop - Program terminated.\r\n");
  throw RunStopped{ending, ending == Ending::Refused ? report.message() : std::string()};
}

void check_time_limit(Report& report, const Control& C) {
  static const Format kLate(
      "/, /, 10X, '***THE RUN HAS TAKEN LONGER THAN ITS TIME LIMIT OF', F12.1, ' SECONDS ', "
      "'(--TIME-LIMIT).', /, 10X, ' PROGRAM TERMINATED.'");
  if (std::chrono::steady_clock::now() < C.deadline) return;
  report.write(kLate, {C.time_limit});
  STOP(report, Ending::Refused);
}

}  // namespace meridolan
