// Flexibility matrix of the elastic solid between the deflections of the nodes in
// contact with it, including the mirror images of a symmetric model.
#pragma once

#include <span>
#include <vector>

#include "base/control.h"
#include "supports/surface_points.h"

namespace meridolan {

// Surface flexibility constant of the half-space: a unit point force deflects the
// surface by c/r at distance r.
double surface_constant(const Control& C);

// How two distinct points are coupled: by the point-load solution c/r, or by the
// deflection at one point under a unit force spread uniformly over the other's
// tributary area (the mean of both directions). Point loads overrate the coupling
// of close points beside large areas, so on graded meshes their matrix can lose
// positive definiteness; the spread form keeps it.
enum class Coupling { point_loads, distributed_loads };

// Fills the packed matrix F (upper triangle column by column) of order nodes.size()
// for the listed nodes (1-based, ascending). A symmetric model reflects every node
// about the first node line in y (ISYM 1), in x (ISYM 2) or both (any other nonzero
// ISYM); the flexibility then includes the deflection under each mirror image.
void flexibility_matrix(const Control& C, std::span<const double> XN, std::span<const double> YN,
                        std::span<const int> nodes, std::span<double> F,
                        Coupling coupling = Coupling::point_loads);

// The same between surface points (each point stands for the nodes on it; the
// spread force of a point covers the quadrants of all of them). The diagonal is
// always the self-flexibility of the spread force.
void flexibility_matrix(const Control& C, std::span<const double> XN, std::span<const double> YN,
                        const SurfacePoints& points, std::span<double> F,
                        Coupling coupling = Coupling::point_loads);

// Tributary area of a surface point: the quadrants of all its nodes.
double point_area(const Control& C, std::span<const int> members, std::span<const double> XN,
                  std::span<const double> YN);

}  // namespace meridolan
