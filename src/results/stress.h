// Results of one analysis pass: deflections and subgrade reactions, layer stresses,
// joint load transfer and the extreme values.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// Prints the results of pass C.ITNO (-1: the final print after convergence).
void STRESS(Report& rep, Control& C, Work& w);

// True when pass C.ITNO prints stresses and the summary: on the last allowed pass
// (MAXIT), or on every pass when the iteration is printed in full (IPRIT != 0).
bool stress_gate_open(const Control& C);

// Prints the extreme-value summary.
void MAXIMA(Report& rep, const Control& C, const Extremes& e, double sumr, double sumext);

}  // namespace meridolan
