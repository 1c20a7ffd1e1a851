// The model part of the deck, read and echoed by the analysis driver.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// Coordinates, title page, node table, layers and subgrade.
void read_mesh(Deck& deck, Report& rep, Control& C, Work& w);

// Joints and dowels, loaded areas and their subareas, soil classes, temperature
// and gap records.
void read_joints_and_loads(Deck& deck, Report& rep, Control& C, Work& w);

}  // namespace meridolan
