#include "supports/mltply.h"

#include <cstddef>

namespace meridolan {

void MLTPLY(std::span<const double> A, int N, std::span<const double> x, std::span<double> y) {
  for (int i = 0; i < N; ++i) y[i] = 0.0;
  // Column j holds A(0..j, j): it adds to y(0..j) and, by symmetry, row j to y(j).
  for (int j = 0; j < N; ++j) {
    const double* cj = A.data() + static_cast<std::size_t>(j) * (j + 1) / 2;
    for (int i = 0; i < j; ++i) {
      y[i] += cj[i] * x[j];
      y[j] += cj[i] * x[i];
    }
    y[j] += cj[j] * x[j];
  }
}

}  // namespace meridolan
