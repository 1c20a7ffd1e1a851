// The analysis driver: reads the model part of the deck and runs the passes.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan {

// With `check_only` the whole deck is read and echoed, and the run stops before the
// analysis.
void SLAB(Deck& deck, Report& rep, Control& C, Work& w, Results& res, bool check_only = false);

}  // namespace meridolan
