// Element geometry of the structured grid: corner nodes and element kind.
#pragma once

#include <array>

namespace meridolan {

// Corner nodes N1..N4 (1-based) of element e: lower x lower y, lower x upper y, upper x
// lower y, upper x upper y. Elements and nodes run along y first.
inline std::array<int, 4> ELNODE(int e, int NYT) {
  const int n1 = e + (e - 1) / (NYT - 1);
  return {n1, n1 + 1, n1 + NYT, n1 + NYT + 1};
}

enum class ElKind { Plate, XJoint, YJoint, Empty };

// Kind of an element of half-sizes a, b. With one slab every element is a plate; with
// several, a zero-width strip is a joint and the crossing of two joints is empty.
inline ElKind ELKIND(int NSLAB, double a, double b) {
  if (NSLAB == 1) return ElKind::Plate;
  if (a != 0.0 && b != 0.0) return ElKind::Plate;
  if (b != 0.0) return ElKind::XJoint;  // a = 0: joint at constant x
  if (a != 0.0) return ElKind::YJoint;
  return ElKind::Empty;
}

}  // namespace meridolan
