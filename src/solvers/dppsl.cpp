// Solution of A x = b with the packed Cholesky factor: R'y = b, then R x = y.
#include "solvers/blas.h"
#include "solvers/packed.h"
#include "solvers/packed_index.h"

namespace meridolan {

void DPPSL(std::span<const double> AP, int N, std::span<double> B) {
  const double* const ap = AP.data();
  double* const b = B.data();
  for (int k = 0; k < N; ++k) {
    const double* ck = ap + packed::col(k);
    const double t = blas::ddot(k, ck, b);
    b[k] = (b[k] - t) / ck[k];
  }
  for (int k = N - 1; k >= 0; --k) {
    const double* ck = ap + packed::col(k);
    b[k] /= ck[k];
    blas::daxpy(k, -b[k], ck, b);
  }
}

}  // namespace meridolan
