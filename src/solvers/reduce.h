// The band reduction of a run: a pivot that is not clearly positive ends the run with
// a message a user can act on.
#pragma once

#include <span>

#include "base/control.h"

namespace meridolan {

class Report;

// Reduces the band store SK (UPTRI). When a pivot is negative, zero or lost, the
// report names the equation, its degree of freedom and its node, says what the
// failure means (no support against that movement, or a matrix that is not positive
// definite; in a model with dowels it points at the dowel data), and stops the run.
void REDUCE(Report& rep, const Control& C, std::span<double> SKR, std::span<double> SK);

}  // namespace meridolan
