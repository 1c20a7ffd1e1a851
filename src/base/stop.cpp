#include "base/stop.h"

#include "base/records.h"

namespace meridolan {

void STOP(Report& report, Ending ending) {
  report.complete_line();
  report.raw("Stop - Program terminated.\r\n");
  throw RunStopped{ending, ending == Ending::Refused ? report.message() : std::string()};
}

}  // namespace meridolan
