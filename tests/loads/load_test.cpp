// Consistent nodal loads, and a whole load analysis (assembly, symmetry conditions,
// reduction, loads, solution) checked by cutting a symmetric slab into its half and
// quarter models.
#include "loads/load.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/shape_poly.h"
#include "model/symtry.h"
#include "solvers/band.h"
#include "solvers/slab_model.h"

namespace meridolan {
namespace {

using testing::makeSlab;
using testing::SlabModel;

struct Sub {
  int e;
  double p, x1, y1, x2, y2;
};

// Runs LOAD on a list of subareas, adding into R.
void load(Control C, const std::vector<double>& XN, const std::vector<double>& YN,
          const std::vector<Sub>& subs, std::vector<double>& R) {
  std::vector<int> nes;
  std::vector<double> ps, x1, y1, x2, y2;
  for (const Sub& s : subs) {
    nes.push_back(s.e);
    ps.push_back(s.p);
    x1.push_back(s.x1);
    y1.push_back(s.y1);
    x2.push_back(s.x2);
    y2.push_back(s.y2);
  }
  C.NSUB = static_cast<int>(subs.size());
  LOAD(C, Subareas{nes, ps, x1, y1, x2, y2}, XN, YN, R);
}

// One element 2a by 2b (nodes 1..4) inside a 2 x 2 node mesh.
SlabModel element(double a, double b) {
  return makeSlab({0, 2 * a}, {0, 2 * b}, 10, 4e6, 0.15, 100);
}

TEST(Load, WholeElement) {
  const double a = 2, b = 1.5, P = 10;
  auto m = element(a, b);
  load(m.C, m.XN, m.YN, {{1, P, 0, 0, 2 * a, 2 * b}}, m.R);
  const double f = P * a * b, mx = P * a * b * b / 3, my = P * a * a * b / 3;
  const std::vector<double> want = {f, -mx, my, f, mx, my, f, -mx, -my, f, mx, -my};
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(m.R[i], want[i], 1e-13 * f) << "entry " << i + 1;
}

TEST(Load, PartialSubareaIsTheExactIntegralOfTheShapeFunctions) {
  const double a = 3, b = 1.25, P = 7.5;
  const double x1 = 0.4, x2 = 4.7, y1 = 1.1, y2 = 2.5;
  auto m = element(a, b);
  load(m.C, m.XN, m.YN, {{1, P, x1, y1, x2, y2}}, m.R);
  const auto N = testing::shapes(a, b);
  double force = 0;
  for (int i = 0; i < 12; ++i) {
    const double want =
        P * a * b * testing::integral(N[i], x1 / a - 1, x2 / a - 1, y1 / b - 1, y2 / b - 1);
    EXPECT_NEAR(m.R[i], want, 1e-12 * P * a * b) << "entry " << i + 1;
    if (i % 3 == 0) force += m.R[i];
  }
  EXPECT_NEAR(force, P * (x2 - x1) * (y2 - y1), 1e-12 * P * a * b);
}

TEST(Load, SubareasAddUp) {
  const double a = 2.5, b = 4, P = 3;
  auto whole = element(a, b), split = element(a, b);
  load(whole.C, whole.XN, whole.YN, {{1, P, 0, 0, 2 * a, 2 * b}}, whole.R);
  // Halves at x = a, quarters at y = 3, and a zero-width strip that adds nothing.
  load(split.C, split.XN, split.YN,
       {{1, P, 0, 0, a, 2 * b},
        {1, P, a, 0, 2 * a, 3},
        {1, P, a, 3, 2 * a, 2 * b},
        {1, 50, 1, 0, 1, 2 * b}},
       split.R);
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(split.R[i], whole.R[i], 1e-13 * P * a * b) << i;

  // LOAD adds to what R holds and finds the element's nodes in a larger mesh.
  auto m = makeSlab({0, 4, 8, 12}, {0, 3, 6, 9}, 10, 4e6, 0.15, 100);
  std::fill(m.R.begin(), m.R.end(), 1.0);
  load(m.C, m.XN, m.YN, {{5, 2, 0, 0, 4, 3}}, m.R);  // element 5: nodes 6, 7, 10, 11
  for (int n = 1; n <= m.C.NNODE; ++n) {
    const bool corner = n == 6 || n == 7 || n == 10 || n == 11;
    EXPECT_EQ(m.R[3 * n - 3], corner ? 1.0 + 2 * 2 * 1.5 : 1.0) << n;
  }
}

// --- Whole analysis on symmetric models -------------------------------------------

struct Rect {
  double p, x1, y1, x2, y2;
};

// Splits rectangles given in model coordinates into element subareas.
std::vector<Sub> subareas(const std::vector<double>& xc, const std::vector<double>& yc,
                          const std::vector<Rect>& rects) {
  std::vector<Sub> subs;
  const int nyt = static_cast<int>(yc.size());
  for (const Rect& r : rects)
    for (std::size_t jx = 0; jx + 1 < xc.size(); ++jx)
      for (std::size_t jy = 0; jy + 1 < yc.size(); ++jy) {
        const double x1 = std::max(r.x1, xc[jx]), x2 = std::min(r.x2, xc[jx + 1]);
        const double y1 = std::max(r.y1, yc[jy]), y2 = std::min(r.y2, yc[jy + 1]);
        if (x2 <= x1 || y2 <= y1) continue;
        const int e = static_cast<int>(jx) * (nyt - 1) + static_cast<int>(jy) + 1;
        subs.push_back({e, r.p, x1 - xc[jx], y1 - yc[jy], x2 - xc[jx], y2 - yc[jy]});
      }
  return subs;
}

// Assembles, imposes symmetry, reduces, loads and solves; returns the displacements.
std::vector<double> analyse(const std::vector<double>& xc, const std::vector<double>& yc,
                            int isubgr, int isym, const std::vector<Rect>& rects) {
  auto m = makeSlab(xc, yc, 10, 4e6, 0.15, 100, isubgr);
  m.C.VSHEAR = 2500;
  m.C.ISYM = isym;
  m.assemble();
  if (isym != 0) SYMTRY(m.C, m.SK);
  EXPECT_EQ(UPTRI(m.band()), 0);
  load(m.C, m.XN, m.YN, subareas(xc, yc, rects), m.R);
  DISP(m.band(), m.R);
  return m.R;
}

std::vector<double> from(const std::vector<double>& v, double lo) {
  std::vector<double> r;
  std::copy_if(v.begin(), v.end(), std::back_inserter(r), [&](double x) { return x >= lo; });
  return r;
}

// The cut model's displacements agree with the full model's at the same points.
void expectSame(const std::vector<double>& xcF, const std::vector<double>& ycF,
                const std::vector<double>& full, const std::vector<double>& xcC,
                const std::vector<double>& ycC, const std::vector<double>& cut) {
  double wmax = 0, tmax = 0;
  for (std::size_t i = 0; i < full.size(); ++i)
    (i % 3 == 0 ? wmax : tmax) = std::max(i % 3 == 0 ? wmax : tmax, std::abs(full[i]));
  ASSERT_GT(wmax, 0.0);
  const int nyF = static_cast<int>(ycF.size()), nyC = static_cast<int>(ycC.size());
  const int ox = static_cast<int>(xcF.size() - xcC.size());
  const int oy = static_cast<int>(ycF.size() - ycC.size());
  for (int ix = 0; ix < static_cast<int>(xcC.size()); ++ix)
    for (int iy = 0; iy < nyC; ++iy) {
      ASSERT_EQ(xcC[ix], xcF[ix + ox]);
      ASSERT_EQ(ycC[iy], ycF[iy + oy]);
      const int c = 3 * (ix * nyC + iy), f = 3 * ((ix + ox) * nyF + iy + oy);
      EXPECT_NEAR(cut[c], full[f], 1e-9 * wmax) << "w at " << xcC[ix] << "," << ycC[iy];
      EXPECT_NEAR(cut[c + 1], full[f + 1], 1e-9 * tmax) << "theta-x " << ix << "," << iy;
      EXPECT_NEAR(cut[c + 2], full[f + 2], 1e-9 * tmax) << "theta-y " << ix << "," << iy;
    }
}

// A slab symmetric about x = 75 and y = 60, with uneven node lines.
const std::vector<double> kXC = {0, 30, 50, 65, 75, 85, 100, 120, 150};
const std::vector<double> kYC = {0, 20, 35, 50, 60, 70, 85, 100, 120};

TEST(Analysis, QuarterModelOnDenseLiquid) {
  const std::vector<Rect> full = {{100, 68, 52, 82, 68},  // centre wheel
                                  {80, 40, 0, 110, 12},   // edge loads, mirrored in y
                                  {80, 40, 108, 110, 120}};
  const std::vector<Rect> quarter = {{100, 75, 60, 82, 68}, {80, 75, 108, 110, 120}};
  const auto wf = analyse(kXC, kYC, 5, 0, full);
  const auto xq = from(kXC, 75), yq = from(kYC, 60);
  expectSame(kXC, kYC, wf, xq, yq, analyse(xq, yq, 5, 3, quarter));
}

TEST(Analysis, HalfModelAcrossXOnVlasovFoundation) {
  // Symmetric in x only: cut at x = 75 (first x-line of the half, ISYM = 2).
  const std::vector<Rect> full = {
      {100, 68, 90, 82, 118}, {60, 10, 3, 40, 30}, {60, 110, 3, 140, 30}};
  const std::vector<Rect> half = {{100, 75, 90, 82, 118}, {60, 110, 3, 140, 30}};
  const auto wf = analyse(kXC, kYC, 9, 0, full);
  const auto xh = from(kXC, 75);
  expectSame(kXC, kYC, wf, xh, kYC, analyse(xh, kYC, 9, 2, half));
}

TEST(Analysis, HalfModelAcrossYOnSprings) {
  // Symmetric in y only: cut at y = 60 (first y-line of the half, ISYM = 1).
  const std::vector<Rect> full = {
      {100, 3, 52, 33, 68}, {70, 120, 10, 145, 25}, {70, 120, 95, 145, 110}};
  const std::vector<Rect> half = {{100, 3, 60, 33, 68}, {70, 120, 95, 145, 110}};
  const auto wf = analyse(kXC, kYC, 7, 0, full);
  const auto yh = from(kYC, 60);
  expectSame(kXC, kYC, wf, kXC, yh, analyse(kXC, yh, 7, 1, half));
}

}  // namespace
}  // namespace meridolan
