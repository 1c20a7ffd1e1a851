// Results of one analysis pass: deflections and subgrade reactions, layer stresses,
// joint load transfer and the extreme values.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan {

// Pass number of the results: 1, 2, ... for the passes of the analysis, and this
// value for the stresses printed once more after a converged iteration.
inline constexpr int kConvergedRepeat = -1;

// Computes the results of pass ITNO into `res`, then prints them.
void STRESS(Report& rep, const Control& C, int ITNO, Work& w, Results& res);

// True when pass ITNO prints stresses and the summary: on the last allowed pass
// (MAXIT), or on every pass when the iteration is printed in full (IPRIT != 0).
bool stress_gate_open(const Control& C, int ITNO);

// Prints the extreme-value summary.
void MAXIMA(Report& rep, const Control& C, const ExtremeValues& e, double sumr, double sumext);

}  // namespace meridolan
