// Slab column, slab row and edge classes of a node.
#include "results/results_layout.h"

namespace meridolan::results {

NodePlace node_place(const Control& C, int n) {
  NodePlace p;
  const int NYT = C.NYT;
  p.r = n - NYT * ((n - 1) / NYT);

  // Slab column: the first whose last node column reaches n. Empty entries never
  // match, because their running sum equals the previous one.
  int cols = 0;
  for (int ic = 1; ic <= Control::NSMAX; ++ic) {
    if (n <= NYT * (cols + C.NNX[ic - 1])) {
      p.IC = ic;
      break;
    }
    cols += C.NNX[ic - 1];
  }
  p.OFF = NYT * cols;

  // Slab row: FY(JR) <= r < FY(JR+1) with FY(1) = 1.
  int fy = 1;
  for (int jr = 1; jr <= Control::NSMAX; ++jr) {
    if (p.r < fy + C.NNY[jr - 1]) {
      p.JR = jr;
      break;
    }
    fy += C.NNY[jr - 1];
  }
  p.YOFF = fy - 1;

  const int nny = p.JR ? C.NNY[p.JR - 1] : 0;
  const int nnx = p.IC ? C.NNX[p.IC - 1] : 0;
  p.BE = p.r == 1 || p.r == p.YOFF + 1;
  p.TE = p.r == NYT || p.r == p.YOFF + nny;
  p.LE = n <= p.OFF + NYT;
  p.RE = n >= p.OFF + (nnx - 1) * NYT + 1;
  return p;
}

}  // namespace meridolan::results
