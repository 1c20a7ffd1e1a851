// Cholesky routines for symmetric positive definite matrices in packed storage: the
// upper triangle column by column, entry (i, j), i <= j, at word i + j(j-1)/2
// (1-based), N(N+1)/2 words in all. The factor R (A = R'R, R upper triangular)
// overwrites A in the same positions.
#pragma once

#include <array>
#include <span>

namespace meridolan {

// Factors AP in place. Returns INFO: 0, or the order k of the first leading minor
// that is not positive (or not finite); the factorisation stops there.
int DPPFA(std::span<double> AP, int N);

// The same factorisation, one column at a time with a BLAS dot product per entry:
// the textbook order of operations, kept as the yardstick for DPPFA.
int dppfa_by_columns(std::span<double> AP, int N);

// Computes the 1-norm of AP, factors it (DPPFA) and estimates the reciprocal
// condition number into RCOND. Z is a work vector of N words. Returns INFO as DPPFA;
// RCOND is left unchanged when INFO is not 0.
int DPPCO(std::span<double> AP, int N, double& RCOND, std::span<double> Z);

// Solves A x = B with the factor left by DPPFA or DPPCO; B is overwritten by x.
void DPPSL(std::span<const double> AP, int N, std::span<double> B);

// From the factor: JOB = 11 determinant and inverse, 1 inverse only, 10 determinant
// only. The determinant is DET(1) * 10**DET(2), 1 <= |DET(1)| < 10 or DET(1) = 0;
// the inverse of A overwrites AP in packed form.
void DPPDI(std::span<double> AP, int N, std::array<double, 2>& DET, int JOB);

}  // namespace meridolan
