// The printed table of nodal stresses at the top and bottom of each layer.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan::results {

void stress_table(Report& rep, const Control& C, const Work& w);

}  // namespace meridolan::results
