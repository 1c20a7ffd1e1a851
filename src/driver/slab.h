// The analysis driver: reads the model part of the deck and runs the passes.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan {

// Reads the model into C and w and analyses it; C is not changed after the model is
// read. Returns the model the results were computed for: C, or the model a curling
// analysis made for itself (the Winkler analysis analyses springs, and both add the
// self-weight to the total load). With `check_only` the whole deck is read and
// echoed, and the run stops before the analysis.
Control SLAB(Deck& deck, Report& rep, Control& C, Work& w, Results& res, bool check_only = false);

}  // namespace meridolan
