// The results of a run as one JSON document (docs/results.md).
#pragma once

#include <iosfwd>
#include <string>

#include "base/control.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan {

// How the run ended: its exit status and the message that stopped it, if any.
struct RunStatus {
  int exit = 0;
  std::string message;  // empty: none
};

// Writes the document: the run's status, its model and every table it computed
// (sections the run never reached are null). Numbers keep full double precision.
void write_results(std::ostream& out, const Control& C, const Work& w, const Results& res,
                   const RunStatus& status);

}  // namespace meridolan
