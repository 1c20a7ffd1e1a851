// Results of one analysis pass: deflections and subgrade reactions, layer stresses,
// joint load transfer and the extreme values.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// Prints the results of pass C.ITNO (-1: the final print after convergence).
void STRESS(Report& rep, Control& C, Work& w);

// Prints the extreme-value summary.
void MAXIMA(Report& rep, const Control& C, const Extremes& e, double sumr, double sumext);

}  // namespace meridolan
