// The band reduction of a run: a pivot that is not clearly positive ends the run with
// a message a user can act on.
#pragma once

#include "base/control.h"
#include "solvers/band.h"

namespace meridolan {

class Report;

// Reduces the band system (UPTRI). When a pivot is negative, zero or lost, the
// report names the equation, its degree of freedom and its node, says what the
// failure means (no support against that movement, or a matrix that is not positive
// definite; in a model with dowels it points at the dowel data), and stops the run.
void REDUCE(Report& rep, const Control& C, const BandSystem& band);

}  // namespace meridolan
