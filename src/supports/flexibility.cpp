#include "supports/flexibility.h"

#include <cmath>
#include <cstddef>

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
                        const SurfacePoints& points, std::span<double> F) {
  const double c = surface_constant(C);
  const Mirrors m = mirrors_of(C.ISYM);
  const Mesh mesh(C, XN, YN);
  const int NP = points.count();
  for (int ii = 0; ii < NP; ++ii) {
    double* column = F.data() + static_cast<std::size_t>(ii) * (ii + 1) / 2;
    const int i = points.of(ii)[0];
    for (int jj = 0; jj < ii; ++jj) column[jj] = mutual(mesh, m, i, points.of(jj)[0], c);
    column[ii] = self(mesh, m, i, spread(C, points.of(ii), XN, YN, c), c);
  }
}

void flexibility_matrix(const Control& C, std::span<const double> XN, std::span<const double> YN,
                        std::span<const int> nodes, std::span<double> F) {
  SurfacePoints single;
  single.members.assign(nodes.begin(), nodes.end());
  for (int k = 0; k <= static_cast<int>(nodes.size()); ++k) single.first.push_back(k);
  flexibility_matrix(C, XN, YN, single, F);
}

}  // namespace meridolan
