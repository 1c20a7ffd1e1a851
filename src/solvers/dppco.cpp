// Factorisation with an estimate of the reciprocal condition number in the 1-norm.
//
// After the factorisation, R'w = e is solved with each entry of e chosen +1 or -1 so
// that w grows, then R y = w, R'v = y and R z = v; the growth of z over y estimates
// the norm of the inverse. Every vector is rescaled to unit 1-norm between the
// solves, and before any step that would overflow.
#include <cmath>

#include "solvers/blas.h"
#include "solvers/packed.h"
#include "solvers/packed_index.h"

namespace meridolan {
namespace {

using packed::col;

// Largest column sum of absolute values of the symmetric matrix.
double one_norm(const double* ap, int N, double* z) {
  for (int j = 0; j < N; ++j) {
    const double* cj = ap + col(j);
    z[j] = blas::dasum(j + 1, cj);
    for (int i = 0; i < j; ++i) z[i] += std::abs(cj[i]);
  }
  double anorm = 0.0;
  for (int j = 0; j < N; ++j) anorm = std::max(anorm, z[j]);
  return anorm;
}

void to_unit_norm(int N, double* z, double& ynorm) {
  const double s = 1.0 / blas::dasum(N, z);
  blas::dscal(N, s, z);
  ynorm *= s;
}

// R'w = e, the signs of e chosen for growth.
void solve_growing(const double* ap, int N, double* z) {
  double ek = 1.0;
  for (int j = 0; j < N; ++j) z[j] = 0.0;
  for (int k = 0; k < N; ++k) {
    const double rkk = ap[col(k) + k];
    if (z[k] != 0.0) ek = std::copysign(ek, -z[k]);
    if (std::abs(ek - z[k]) > rkk) {
      const double s = rkk / std::abs(ek - z[k]);
      blas::dscal(N, s, z);
      ek *= s;
    }
    double wk = ek - z[k], wkm = -ek - z[k];
    double s = std::abs(wk), sm = std::abs(wkm);
    wk /= rkk;
    wkm /= rkk;
    for (int j = k + 1; j < N; ++j) {
      const double rkj = ap[col(j) + k];
      sm += std::abs(z[j] + wkm * rkj);
      z[j] += wk * rkj;
      s += std::abs(z[j]);
    }
    if (s < sm) {
      const double t = wkm - wk;
      wk = wkm;
      for (int j = k + 1; j < N; ++j) z[j] += t * ap[col(j) + k];
    }
    z[k] = wk;
  }
}

// R z = v, rescaling against overflow.
void solve_upper(const double* ap, int N, double* z, double& ynorm) {
  for (int k = N - 1; k >= 0; --k) {
    const double* ck = ap + col(k);
    if (std::abs(z[k]) > ck[k]) {
      const double s = ck[k] / std::abs(z[k]);
      blas::dscal(N, s, z);
      ynorm *= s;
    }
    z[k] /= ck[k];
    blas::daxpy(k, -z[k], ck, z);
  }
}

// R'v = y, rescaling against overflow.
void solve_lower(const double* ap, int N, double* z, double& ynorm) {
  for (int k = 0; k < N; ++k) {
    const double* ck = ap + col(k);
    z[k] -= blas::ddot(k, ck, z);
    if (std::abs(z[k]) > ck[k]) {
      const double s = ck[k] / std::abs(z[k]);
      blas::dscal(N, s, z);
      ynorm *= s;
    }
    z[k] /= ck[k];
  }
}

}  // namespace

int DPPCO(std::span<double> AP, int N, double& RCOND, std::span<double> Z) {
  double* const ap = AP.data();
  double* const z = Z.data();
  const double anorm = one_norm(ap, N, z);
  const int info = DPPFA(AP, N);
  if (info != 0) return info;

  solve_growing(ap, N, z);
  double unused = 1.0;
  to_unit_norm(N, z, unused);
  solve_upper(ap, N, z, unused);  // y: its own scale does not count
  double ynorm = 1.0;
  to_unit_norm(N, z, unused);
  solve_lower(ap, N, z, ynorm);
  to_unit_norm(N, z, ynorm);
  solve_upper(ap, N, z, ynorm);
  to_unit_norm(N, z, ynorm);
  RCOND = anorm != 0.0 ? ynorm / anorm : 0.0;
  return 0;
}

}  // namespace meridolan
