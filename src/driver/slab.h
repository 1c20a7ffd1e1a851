// The analysis driver: reads the model part of the deck and runs the passes.
#pragma once

#include "driver/control.h"
#include "driver/records.h"
#include "driver/work.h"

namespace meridolan {

void SLAB(Deck& deck, Report& rep, Control& C, Work& w);

}  // namespace meridolan
