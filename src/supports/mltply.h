// Product of a packed symmetric matrix and a vector.
#pragma once

#include <span>

namespace meridolan {

// y = A x for the symmetric matrix A of order N in packed storage (upper triangle
// column by column).
void MLTPLY(std::span<const double> A, int N, std::span<const double> x, std::span<double> y);

}  // namespace meridolan
