#include "supports/surface_points.h"

#include <map>
#include <utility>

namespace meridolan {

SurfacePoints surface_points(std::span<const int> nodes, std::span<const double> XN,
                             std::span<const double> YN) {
  std::map<std::pair<double, double>, int> at;  // coordinates -> point
  std::vector<std::vector<int>> groups;
  for (int n : nodes) {
    const auto [it, added] =
        at.try_emplace({XN[n - 1], YN[n - 1]}, static_cast<int>(groups.size()));
    if (added) groups.emplace_back();
    groups[it->second].push_back(n);
  }
  SurfacePoints s;
  s.first.push_back(0);
  for (const std::vector<int>& g : groups) {
    s.members.insert(s.members.end(), g.begin(), g.end());
    s.first.push_back(static_cast<int>(s.members.size()));
  }
  return s;
}

}  // namespace meridolan
