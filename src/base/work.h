// The work array of a run: the 44 model segments, each its own vector with one
// meaning for the whole run, in the order and with the lengths of the segment table.
// The memory report prints the sum of the lengths (MEMREQ); the vectors are allocated
// only after the check has passed. The table is the reported size: the band store SK
// is allocated at its own length (NBAND), while the table gives the elastic solid's SK
// room for the subgrade flexibility too, which that analysis keeps apart.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/band_allocator.h"
#include "base/control.h"

namespace meridolan {

// The band store and its companion: by far the largest segments.
using BandVector = std::vector<double, BandAllocator<double>>;

struct Work {
  std::vector<double> XN, YN, TDX, TDY;                   // 1-4
  BandVector SK, SKR;                                     // 5-6
  std::vector<double> PA, XA1, YA1, XA2, YA2;             // 7-11
  std::vector<int> NES;                                   // 12
  std::vector<double> PS, XS1, YS1, XS2, YS2;             // 13-17
  std::vector<double> R, STS1, STS2, STN1, STN2;          // 18-22
  std::vector<double> XC, YC, THN1, THN2, EN1, EN2, SKN;  // 23-29
  std::vector<int> ISOIL;                                 // 30
  std::vector<double> SKP, GAPN;                          // 31-32
  std::vector<int> IGAPN, IZRP;                           // 33-34
  std::vector<double> WSUB, RSAV;                         // 35-36
  std::vector<int> ICON, ICONP;                           // 37-38
  std::vector<double> QSUB, TAX, TAY;                     // 39-41
  std::vector<int> NDOWX, NDOWY, ICHG;                    // 42-44

  // STN1/STN2 hold the stresses of the displacements now in R: set by the stress
  // computation, cleared when a pass starts printing its results (a pass whose
  // stress section is gated off leaves it clear).
  bool stresses_current = false;
  // SK holds only zeros: set when the work array is made, cleared by the first
  // assembly, which then need not clear it.
  bool SK_zero = false;
  // The elastic solid's flexibility couples its nodes by spread loads (its point-load
  // matrix is not positive definite); the results say so.
  bool solid_distributed_coupling = false;
};

// Segment lengths in table order (1-based names in the comments of work.h).
std::array<std::int64_t, 44> segment_lengths(const Control& c);

// Allocates every segment at its length, all zero. Call only after the memory check.
void allocate(Work& w, const Control& c);

}  // namespace meridolan
