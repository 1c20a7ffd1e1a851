// Solution of A x = b with the packed Cholesky factor: R'y = b, then R x = y.
#include "base/widest.h"
#include "solvers/level1.h"
#include "solvers/packed.h"
#include "solvers/packed_index.h"

namespace meridolan {

MERIDOLAN_WIDEST void DPPSL(std::span<const double> AP, int N, std::span<double> B) {
  const double* const ap = AP.data();
  double* const b = B.data();
  for (int k = 0; k < N; ++k) {
    const double* ck = ap + packed::col(k);
    const double t = level1::dot_in_order(k, ck, b);
    b[k] = (b[k] - t) / ck[k];
  }
  for (int k = N - 1; k >= 0; --k) {
    const double* ck = ap + packed::col(k);
    b[k] /= ck[k];
    level1::axpy(k, -b[k], ck, b);
  }
}

}  // namespace meridolan
