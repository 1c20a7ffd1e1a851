// Test helper: the twelve shape functions of the rectangular plate element as exact
// polynomials in the local coordinates xi, eta (each -1..1), so that stiffness, mass
// and load integrals can be formed independently of the closed-form tables.
#pragma once

#include <array>
#include <cmath>

namespace meridolan::testing {

constexpr int kDeg = 8;  // powers 0..kDeg-1 in each variable: enough for products

// c[i][j] multiplies xi^i eta^j.
struct Poly {
  std::array<std::array<double, kDeg>, kDeg> c{};
};

inline Poly lin(double c0, double cx, double cy) {
  Poly p;
  p.c[0][0] = c0;
  p.c[1][0] = cx;
  p.c[0][1] = cy;
  return p;
}

inline Poly operator*(const Poly& p, const Poly& q) {
  Poly r;
  for (int i = 0; i < kDeg; ++i)
    for (int j = 0; j < kDeg; ++j)
      if (p.c[i][j] != 0.0)
        for (int k = 0; i + k < kDeg; ++k)
          for (int l = 0; j + l < kDeg; ++l) r.c[i + k][j + l] += p.c[i][j] * q.c[k][l];
  return r;
}

inline Poly operator*(double s, Poly p) {
  for (auto& row : p.c)
    for (double& v : row) v *= s;
  return p;
}

inline Poly operator+(Poly p, const Poly& q) {
  for (int i = 0; i < kDeg; ++i)
    for (int j = 0; j < kDeg; ++j) p.c[i][j] += q.c[i][j];
  return p;
}

inline Poly dxi(const Poly& p) {
  Poly r;
  for (int i = 1; i < kDeg; ++i)
    for (int j = 0; j < kDeg; ++j) r.c[i - 1][j] = i * p.c[i][j];
  return r;
}

inline Poly deta(const Poly& p) {
  Poly r;
  for (int i = 0; i < kDeg; ++i)
    for (int j = 1; j < kDeg; ++j) r.c[i][j - 1] = j * p.c[i][j];
  return r;
}

inline double value(const Poly& p, double x, double y) {
  double s = 0.0;
  for (int i = 0; i < kDeg; ++i)
    for (int j = 0; j < kDeg; ++j) s += p.c[i][j] * std::pow(x, i) * std::pow(y, j);
  return s;
}

// Integral over xi in [x1, x2], eta in [y1, y2].
inline double integral(const Poly& p, double x1 = -1, double x2 = 1, double y1 = -1,
                       double y2 = 1) {
  double s = 0.0;
  for (int i = 0; i < kDeg; ++i)
    for (int j = 0; j < kDeg; ++j)
      s += p.c[i][j] * (std::pow(x2, i + 1) - std::pow(x1, i + 1)) / (i + 1) *
           (std::pow(y2, j + 1) - std::pow(y1, j + 1)) / (j + 1);
  return s;
}

// Shape functions on the corner order (-1,-1), (-1,+1), (+1,-1), (+1,+1), three per
// corner: deflection, theta-x = -dw/dy, theta-y = +dw/dx; a, b are the half-sizes.
inline std::array<Poly, 12> shapes(double a, double b) {
  constexpr double xs[4] = {-1, -1, 1, 1};
  constexpr double ys[4] = {-1, 1, -1, 1};
  std::array<Poly, 12> N;
  for (int m = 0; m < 4; ++m) {
    const double xi = xs[m], yi = ys[m];
    const Poly px = lin(1, xi, 0), py = lin(1, 0, yi);
    Poly quad = lin(2, xi, yi);
    quad.c[2][0] = -1;
    quad.c[0][2] = -1;
    N[3 * m] = 0.125 * (px * py * quad);
    N[3 * m + 1] = (-b / 8 * yi) * (px * py * py * lin(-1, 0, yi));
    N[3 * m + 2] = (a / 8 * xi) * (px * px * lin(-1, xi, 0) * py);
  }
  return N;
}

// Word k (0-based) of a block triangle as (row, column) of the full 12 x 12 matrix;
// {-1, -1} for the words below the block diagonals.
inline std::array<int, 2> wordRC(int k) {
  constexpr int I[10] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 3};
  constexpr int J[10] = {0, 1, 2, 3, 1, 2, 3, 2, 3, 3};
  const int blk = k / 9, i = (k % 9) / 3, j = k % 3;
  if (I[blk] == J[blk] && i > j) return {-1, -1};
  return {3 * I[blk] + i, 3 * J[blk] + j};
}

}  // namespace meridolan::testing
