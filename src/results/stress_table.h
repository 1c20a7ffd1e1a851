// The printed table of nodal stresses at the top and bottom of each layer.
#pragma once

#include "driver/control.h"
#include "driver/records.h"
#include "driver/work.h"

namespace meridolan::results {

void stress_table(Report& rep, const Control& C, const Work& w);

}  // namespace meridolan::results
