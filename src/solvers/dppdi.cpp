// Determinant and inverse from the packed Cholesky factor.
//
// The inverse is formed in place: R is replaced by its inverse column by column, then
// inverse(A) = inverse(R) * inverse(R)' is accumulated into the same words.
#include <cmath>

#include "base/widest.h"
#include "solvers/level1.h"
#include "solvers/packed.h"
#include "solvers/packed_index.h"

namespace meridolan {
namespace {

using packed::col;

// det(A) = product of the squared diagonal of R, as a mantissa in [1, 10) and a
// power of ten, so that no intermediate product overflows.
void determinant(const double* ap, int N, std::array<double, 2>& det) {
  constexpr double ten = 10.0;
  det = {1.0, 0.0};
  for (int i = 0; i < N; ++i) {
    const double r = ap[col(i) + i];
    det[0] = r * r * det[0];
    if (det[0] == 0.0) return;
    while (std::abs(det[0]) < 1.0) {
      det[0] *= ten;
      det[1] -= 1.0;
    }
    while (std::abs(det[0]) >= ten) {
      det[0] /= ten;
      det[1] += 1.0;
    }
  }
}

MERIDOLAN_WIDEST void invert_factor(double* ap, int N) {
  for (int k = 0; k < N; ++k) {
    double* ck = ap + col(k);
    ck[k] = 1.0 / ck[k];
    level1::scal(k, -ck[k], ck);
    for (int j = k + 1; j < N; ++j) {
      double* cj = ap + col(j);
      const double t = cj[k];
      cj[k] = 0.0;
      level1::axpy(k + 1, t, ck, cj);
    }
  }
}

MERIDOLAN_WIDEST void multiply_by_transpose(double* ap, int N) {
  for (int j = 0; j < N; ++j) {
    double* cj = ap + col(j);
    for (int k = 0; k < j; ++k) level1::axpy(k + 1, cj[k], cj, ap + col(k));
    level1::scal(j + 1, cj[j], cj);
  }
}

}  // namespace

void DPPDI(std::span<double> AP, int N, std::array<double, 2>& DET, int JOB) {
  double* const ap = AP.data();
  if (JOB / 10 != 0) determinant(ap, N, DET);
  if (JOB % 10 != 0) {
    invert_factor(ap, N);
    multiply_by_transpose(ap, N);
  }
}

}  // namespace meridolan
