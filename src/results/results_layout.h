// Shared helpers of the results routine: 1-based access to the displacement vector
// and to the column-major node tables, paged node tables, and the place of a node in
// the slab layout.
#pragma once

#include <vector>

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan::results {

// Deflection (positive downwards), X-ROTATION (-dw/dy) and Y-ROTATION (+dw/dx).
inline double& defl(std::vector<double>& R, int n) {
  return R[3 * (n - 1)];
}
inline double defl(const std::vector<double>& R, int n) {
  return R[3 * (n - 1)];
}
inline double rotx(const std::vector<double>& R, int n) {
  return R[3 * (n - 1) + 1];
}
inline double roty(const std::vector<double>& R, int n) {
  return R[3 * (n - 1) + 2];
}

// Deflection of node n as the report prints it: below the elastic solid measured
// from the initially flat surface (less the gap, zero outside curling runs).
inline double printed_deflection(const Control& C, const Work& w, int n) {
  return C.ISUBGR < 8 ? defl(w.R, n) - w.GAPN[n - 1] : defl(w.R, n);
}

// Entry (n, k) of a table with `rows` rows stored column by column.
inline double& at(std::vector<double>& t, int rows, int n, int k) {
  return t[(k - 1) * rows + (n - 1)];
}
inline double at(const std::vector<double>& t, int rows, int n, int k) {
  return t[(k - 1) * rows + (n - 1)];
}

// The bottom-layer tables have a row per node only in two-layer models.
inline bool two_layers(const Control& C) {
  return C.NLAYER == 2;
}

// Subgrade modulus of node n; elastic-solid runs keep a single entry for all nodes.
inline double subgrade_k(const Work& w, int n) {
  return w.SKN.size() == 1 ? w.SKN[0] : w.SKN[n - 1];
}

// Prints a node table in blocks of `block` nodes, `line(n)` for each node, with a new
// page after every block (the last one included).
template <class Line>
void paged_nodes(Report& rep, int nnode, int block, Line&& line) {
  for (int first = 1; first <= nnode; first += block) {
    const int last = first + block - 1 < nnode ? first + block - 1 : nnode;
    for (int n = first; n <= last; ++n) line(n);
    new_page(rep);
  }
}

// Where a node sits in the slab layout. Every slab has its own nodes, so the
// rows and columns of one slab are found from the node counts alone.
struct NodePlace {
  int r = 0;     // row of the node within its node column, 1..NYT
  int IC = 0;    // slab column
  int OFF = 0;   // nodes in the slab columns before IC
  int JR = 0;    // slab row
  int YOFF = 0;  // node rows in the slab rows before JR
  bool BE = false, TE = false, LE = false, RE = false;  // free-edge classes
};

NodePlace node_place(const Control& C, int n);

}  // namespace meridolan::results
