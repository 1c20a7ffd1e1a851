// Band solver of the global system: reduction once, then any number of solutions.
#pragma once

#include <span>

#include "base/control.h"

namespace meridolan {

// The global system in band storage: NEQ equations of MBAND words in each of two
// stores of one layout (drawn at the head of band.cpp). SK holds the assembled
// matrix, which the reduction turns into the pivots and multipliers; SKR receives
// the pivots and the unscaled reduced rows. Fill it by name, or with band_system.
struct BandSystem {
  int MBAND = 0, NEQ = 0;
  std::span<double> SK, SKR;
};

// The band system of the work arrays (or of any holder of SK and SKR under those
// names) with the dimensions of the run.
template <class Arrays>
BandSystem band_system(const Control& C, Arrays& w) {
  return {.MBAND = C.MBAND, .NEQ = C.NEQ, .SK = w.SK, .SKR = w.SKR};
}

// Reduces SK in place to multipliers and fills SKR with the pivots and unscaled
// reduced rows. Returns 0, or the number (1-based) of the first equation whose pivot
// is not clearly positive (negative, zero, not finite, or lost to rounding against
// the equation's own diagonal); the reduction stops there, leaving that pivot in the
// equation's first word of SK.
int UPTRI(const BandSystem& band);

// Replaces the load vector R by the displacements, using the reduction of UPTRI
// (reads both stores, writes neither).
void DISP(const BandSystem& band, std::span<double> R);

}  // namespace meridolan
