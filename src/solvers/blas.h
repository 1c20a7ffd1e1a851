// The level-1 BLAS routines the packed Cholesky routines call (Fortran interface:
// every argument by address). Always used with increment 1.
#pragma once

extern "C" {
double ddot_(const int* n, const double* dx, const int* incx, const double* dy, const int* incy);
void daxpy_(const int* n, const double* da, const double* dx, const int* incx, double* dy,
            const int* incy);
void dscal_(const int* n, const double* da, double* dx, const int* incx);
double dasum_(const int* n, const double* dx, const int* incx);
}

namespace meridolan::blas {

inline double ddot(int n, const double* x, const double* y) {
  const int one = 1;
  return ddot_(&n, x, &one, y, &one);
}
inline void daxpy(int n, double a, const double* x, double* y) {
  const int one = 1;
  daxpy_(&n, &a, x, &one, y, &one);
}
inline void dscal(int n, double a, double* x) {
  const int one = 1;
  dscal_(&n, &a, x, &one);
}
inline double dasum(int n, const double* x) {
  const int one = 1;
  return dasum_(&n, x, &one);
}

}  // namespace meridolan::blas
