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

// Deflection at node i under its own spread force and under its images; an image
// that falls on the node itself (node on a mirror line) counts as the node again.
double self(const Control& C, const Mesh& mesh, const Mirrors& m, int i, std::span<const double> XN,
            std::span<const double> YN, double c) {
  const double own = SUM(C, i, 1, XN, YN, c);
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

void flexibility_matrix(const Control& C, std::span<const double> XN, std::span<const double> YN,
                        std::span<const int> nodes, std::span<double> F) {
  const double c = surface_constant(C);
  const Mirrors m = mirrors_of(C.ISYM);
  const Mesh mesh(C, XN, YN);
  const int NN = static_cast<int>(nodes.size());
  for (int ii = 0; ii < NN; ++ii) {
    double* column = F.data() + static_cast<std::size_t>(ii) * (ii + 1) / 2;
    const int i = nodes[ii];
    for (int jj = 0; jj < ii; ++jj) column[jj] = mutual(mesh, m, i, nodes[jj], c);
    column[ii] = self(C, mesh, m, i, XN, YN, c);
  }
}

}  // namespace meridolan
