// The band solver's kernels for each instruction set, for the dispatcher and for the
// tests that check every path gives the same bits.
#pragma once

#include <span>

namespace meridolan {

enum class BandIsa { Baseline, Avx2, Avx512 };

bool isa_supported(BandIsa isa);

// The widest instruction set of this processor; UPTRI and DISP use it.
BandIsa best_isa();

int UPTRI_ISA(BandIsa isa, int MBAND, int NEQ, std::span<double> SKR, std::span<double> SK);
void DISP_ISA(BandIsa isa, int MBAND, int NEQ, std::span<double> R, std::span<const double> SKR,
              std::span<const double> SK);

}  // namespace meridolan
