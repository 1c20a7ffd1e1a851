#include "base/stop.h"

#include "base/records.h"

namespace meridolan {

void STOP(Report& report) {
  report.complete_line();
  report.raw("Stop - Program terminated.\r\n");
  throw RunStopped{0};
}

}  // namespace meridolan
