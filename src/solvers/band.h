// Band solver of the global system: reduction once, then any number of solutions.
#pragma once

#include <span>

namespace meridolan {

// Reduces the band matrix SK (NEQ rows of MBAND words) in place to multipliers and
// fills SKR with the pivots and unscaled reduced rows. Returns 0, or the number
// (1-based) of the first equation whose pivot is not clearly positive (negative,
// zero, not finite, or lost to rounding against the equation's own diagonal); the
// reduction stops there, leaving that pivot in the equation's first word of SK.
int UPTRI(int MBAND, int NEQ, std::span<double> SKR, std::span<double> SK);

// Replaces the load vector R by the displacements, using the reduction of UPTRI.
void DISP(int MBAND, int NEQ, std::span<double> R, std::span<const double> SKR,
          std::span<const double> SK);

}  // namespace meridolan
