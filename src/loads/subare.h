// Subdivision of the loaded rectangles into element subareas.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// Cuts loaded areas 1..C.NLAREA (PA, XA1, YA1, XA2, YA2) along the node lines XC, YC
// into subareas (NES, PS, XS1, YS1, XS2, YS2) and sets C.NSUB. Stops the run when
// there are more than MAXSUB subareas or an area lies outside the mesh.
void SUBARE(Report& rep, Control& C, Work& w);

}  // namespace meridolan
