// The level-1 operations of the packed routines, with the arithmetic of the reference
// BLAS: the dot product summed in order from the first term, y + a x and a x entry by
// entry (no fused multiply-add: contraction is off). Inlined into the routines, the
// entry-by-entry loops vectorise; the bits are those of the reference routines.
#pragma once

namespace meridolan::level1 {

inline double dot_in_order(int n, const double* x, const double* y) {
  double s = 0.0;
  for (int i = 0; i < n; ++i) s += x[i] * y[i];
  return s;
}

inline void axpy(int n, double a, const double* __restrict x, double* __restrict y) {
  for (int i = 0; i < n; ++i) y[i] = y[i] + a * x[i];
}

inline void scal(int n, double a, double* x) {
  for (int i = 0; i < n; ++i) x[i] = a * x[i];
}

}  // namespace meridolan::level1
