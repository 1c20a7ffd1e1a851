// The analysis driver: reads the model part of the deck and runs the passes.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan {

void SLAB(Deck& deck, Report& rep, Control& C, Work& w, Results& res);

}  // namespace meridolan
