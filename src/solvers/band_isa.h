// The band solver's kernels for each instruction set, for the dispatcher and for the
// tests that check every path gives the same bits.
#pragma once

#include <span>

#include "solvers/band.h"

namespace meridolan {

enum class BandIsa { Baseline, Avx2, Avx512 };

bool isa_supported(BandIsa isa);

// The widest instruction set of this processor; UPTRI and DISP use it.
BandIsa best_isa();

int UPTRI_ISA(BandIsa isa, const BandSystem& band);
void DISP_ISA(BandIsa isa, const BandSystem& band, std::span<double> R);

}  // namespace meridolan
