// Points of the elastic solid's surface that the slab rests on. Inside a slab every
// node is a point of its own; the nodes on the faces of a joint (two at a joint,
// four where joints cross) stand on one point, whose tributary area is made of
// their quadrants together.
#pragma once

#include <span>
#include <vector>

namespace meridolan {

struct SurfacePoints {
  std::vector<int> first;    // members of point p: members[first[p] .. first[p+1])
  std::vector<int> members;  // node numbers, ascending within a point

  int count() const { return static_cast<int>(first.size()) - 1; }
  std::span<const int> of(int p) const {
    return std::span<const int>(members).subspan(first[p], first[p + 1] - first[p]);
  }
};

// Groups the listed nodes (ascending) by their coordinates; points come in the order
// of their first node.
SurfacePoints surface_points(std::span<const int> nodes, std::span<const double> XN,
                             std::span<const double> YN);

}  // namespace meridolan
