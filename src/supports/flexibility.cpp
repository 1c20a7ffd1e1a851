#include "supports/flexibility.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "supports/sum.h"

namespace meridolan {
namespace {

struct Point {
  double x, y;
};

// Which reflections a symmetry index uses: about the first y-line, the first x-line,
// and both at once. Indexes other than 0, 1 and 2 use all three, as the symmetry
// conditions treat them.
struct Mirrors {
  bool about_y1 = false, about_x1 = false, both = false;
};

Mirrors mirrors_of(int isym) {
  if (isym == 0) return {};
  if (isym == 1) return {true, false, false};
  if (isym == 2) return {false, true, false};
  return {true, true, true};
}

int symmetry_factor(const Mirrors& m) {
  return (m.about_y1 ? 2 : 1) * (m.about_x1 ? 2 : 1);
}

double dist(Point p, Point q) {
  return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y));
}

class Mesh {
 public:
  Mesh(const Control& C, std::span<const double> XN, std::span<const double> YN)
      : C_(C), XN_(XN), YN_(YN), x1_(XN[0]), y1_(YN[0]) {}

  Point at(int n) const { return {XN_[n - 1], YN_[n - 1]}; }
  Point mirror_y(Point p) const { return {p.x, 2.0 * y1_ - p.y}; }
  Point mirror_x(Point p) const { return {2.0 * x1_ - p.x, p.y}; }
  bool on_first_y_line(int n) const { return (n - 1) % C_.NYT == 0; }
  bool on_first_x_line(int n) const { return n <= C_.NYT; }

 private:
  const Control& C_;
  std::span<const double> XN_, YN_;
  double x1_, y1_;
};

// Deflection at node j under unit forces at node i and at each of its images.
double mutual(const Mesh& mesh, const Mirrors& m, int i, int j, double c) {
  const Point pi = mesh.at(i), pj = mesh.at(j);
  double f = c / dist(pi, pj);
  if (m.about_y1) f += c / dist(mesh.mirror_y(pi), pj);
  if (m.about_x1) f += c / dist(mesh.mirror_x(pi), pj);
  if (m.both) f += c / dist(mesh.mirror_x(mesh.mirror_y(pi)), pj);
  return f;
}

// Deflection at a surface point under a unit force spread over the quadrants of all
// its nodes; a point of one node is SUM(n, 1).
double spread(const Control& C, std::span<const int> members, std::span<const double> XN,
              std::span<const double> YN, double c) {
  if (members.size() == 1) return SUM(C, members[0], 1, XN, YN, c);
  Quadrants all;
  for (int n : members) {
    const Quadrants q = QUADS(C, n, XN, YN, c);
    all.area += q.area;
    all.deflection += q.deflection;
  }
  return all.deflection / all.area;
}

// Deflection at point i (its first node) under its own spread force and under its
// images; an image that falls on the point itself (point on a mirror line) counts as
// the point again.
double self(const Mesh& mesh, const Mirrors& m, int i, double own, double c) {
  const bool on_y1 = mesh.on_first_y_line(i), on_x1 = mesh.on_first_x_line(i);
  if ((!m.about_y1 || on_y1) && (!m.about_x1 || on_x1)) return symmetry_factor(m) * own;
  const Point p = mesh.at(i);
  double f = own;
  if (m.about_y1) f += on_y1 ? own : c / dist(p, mesh.mirror_y(p));
  if (m.about_x1) f += on_x1 ? own : c / dist(p, mesh.mirror_x(p));
  if (m.both) f += c / dist(p, mesh.mirror_x(mesh.mirror_y(p)));
  return f;
}

// Signed integral of 1/r over the rectangle between the origin and (u, v): the corner
// formula of an |u| x |v| rectangle, with the sign of u v.
double corner_integral(double u, double v) {
  if (u == 0.0 || v == 0.0) return 0.0;
  const double au = std::abs(u), av = std::abs(v);
  const double g = au * std::asinh(av / au) + av * std::asinh(au / av);
  return (u > 0.0) == (v > 0.0) ? g : -g;
}

struct Rect {
  double x0, x1, y0, y1;  // x0 < x1, y0 < y1
};

// Deflection at p per unit pressure over r (surface flexibility c/r): the signed sum
// of the corner formula over the rectangle's corners relative to p.
double rect_deflection(Point p, const Rect& r, double c) {
  const double u0 = r.x0 - p.x, u1 = r.x1 - p.x, v0 = r.y0 - p.y, v1 = r.y1 - p.y;
  return c * (corner_integral(u1, v1) - corner_integral(u0, v1) - corner_integral(u1, v0) +
              corner_integral(u0, v0));
}

// The loaded rectangles of a surface point (the quadrants of all its nodes that have
// an area) and their total area, as SUM forms it.
struct Patch {
  std::vector<Rect> rects;
  double area = 0.0;
};

Patch patch_of(const Control& C, std::span<const int> members, std::span<const double> XN,
               std::span<const double> YN) {
  Patch p;
  float area = 0.0f;
  for (int n : members) {
    const double x = XN[n - 1], y = YN[n - 1];
    for_each_quadrant(C, n, XN, YN, [&](int sx, int sy, float a, float b) {
      area += a * b;
      if (a == 0.0f || b == 0.0f) return;
      const double xa = x + sx * static_cast<double>(a), yb = y + sy * static_cast<double>(b);
      p.rects.push_back({std::min(x, xa), std::max(x, xa), std::min(y, yb), std::max(y, yb)});
    });
  }
  p.area = area;
  return p;
}

// Deflection at point i and at its images under a unit force
// spread uniformly over the patch of point j.
double spread_mutual(const Mesh& mesh, const Mirrors& m, int i, const Patch& pj, double c) {
  const Point pi = mesh.at(i);
  const auto under = [&](Point q) {
    double d = 0.0;
    for (const Rect& r : pj.rects) d += rect_deflection(q, r, c);
    return d;
  };
  double f = under(pi);
  if (m.about_y1) f += under(mesh.mirror_y(pi));
  if (m.about_x1) f += under(mesh.mirror_x(pi));
  if (m.both) f += under(mesh.mirror_x(mesh.mirror_y(pi)));
  return f / pj.area;
}

}  // namespace

double surface_constant(const Control& C) {
  const double pi = 4.0 * std::atan(1.0);
  return (1.0 - C.PRSUB * C.PRSUB) / (pi * C.ESUB);
}

double point_area(const Control& C, std::span<const int> members, std::span<const double> XN,
                  std::span<const double> YN) {
  if (members.size() == 1) return SUM(C, members[0], 2, XN, YN, 0.0);
  float area = 0.0f;
  for (int n : members) area += QUADS(C, n, XN, YN, 0.0).area;
  return area;
}

void flexibility_matrix(const Control& C, std::span<const double> XN, std::span<const double> YN,
                        const SurfacePoints& points, std::span<double> F, Coupling coupling) {
  const double c = surface_constant(C);
  const Mirrors m = mirrors_of(C.ISYM);
  const Mesh mesh(C, XN, YN);
  const int NP = points.count();
  std::vector<Patch> patches;
  if (coupling == Coupling::distributed_loads)
    for (int p = 0; p < NP; ++p) patches.push_back(patch_of(C, points.of(p), XN, YN));
  for (int ii = 0; ii < NP; ++ii) {
    double* column = F.data() + static_cast<std::size_t>(ii) * (ii + 1) / 2;
    const int i = points.of(ii)[0];
    for (int jj = 0; jj < ii; ++jj) {
      const int j = points.of(jj)[0];
      if (coupling == Coupling::point_loads) {
        column[jj] = mutual(mesh, m, i, j, c);
      } else {
        // The mean of the two directions keeps the matrix symmetric.
        column[jj] = 0.5 * (spread_mutual(mesh, m, i, patches[jj], c) +
                            spread_mutual(mesh, m, j, patches[ii], c));
      }
    }
    column[ii] = self(mesh, m, i, spread(C, points.of(ii), XN, YN, c), c);
  }
}

void flexibility_matrix(const Control& C, std::span<const double> XN, std::span<const double> YN,
                        std::span<const int> nodes, std::span<double> F, Coupling coupling) {
  SurfacePoints single;
  single.members.assign(nodes.begin(), nodes.end());
  for (int k = 0; k <= static_cast<int>(nodes.size()); ++k) single.first.push_back(k);
  flexibility_matrix(C, XN, YN, single, F, coupling);
}

}  // namespace meridolan
