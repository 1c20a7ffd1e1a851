// Marks a hot routine to be compiled once per instruction set (AVX-512, AVX2 and the
// baseline); the widest the processor has is bound when the program loads. The
// arithmetic is the same in every copy: no contraction, no reassociation, so every
// copy gives the same bits and only the speed differs.
#pragma once

// Only with GCC: the fuzzing build (clang 14 with its sanitizers) died of a signal
// inside a routine built this way, so clang builds keep the one baseline copy.
#if defined(MERIDOLAN_BASELINE_ONLY) || defined(__clang__)
#define MERIDOLAN_WIDEST
#else
#define MERIDOLAN_WIDEST [[gnu::target_clones("avx512f", "avx2", "default")]]
#endif
