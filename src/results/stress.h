// Results of one analysis pass: deflections and subgrade reactions, layer stresses,
// joint load transfer and the extreme values.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan {

// Computes the results of pass C.ITNO (-1: the stresses once more after convergence)
// into `res`, then prints them.
void STRESS(Report& rep, Control& C, Work& w, Results& res);

// True when pass C.ITNO prints stresses and the summary: on the last allowed pass
// (MAXIT), or on every pass when the iteration is printed in full (IPRIT != 0).
bool stress_gate_open(const Control& C);

// Prints the extreme-value summary.
void MAXIMA(Report& rep, const Control& C, const ExtremeValues& e, double sumr, double sumext);

}  // namespace meridolan
