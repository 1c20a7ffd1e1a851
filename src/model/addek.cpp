// Block-triangle assembly: block (I, J), I <= J, row i, column j goes to row
// r = 3(NI-1)+i, column c = 3(NJ-1)+j, word (r-1)*MBAND + (c-r+1) of the band store.
#include "model/addek.h"

#include <cstddef>

#include "base/widest.h"

namespace meridolan {

MERIDOLAN_WIDEST void ADDEK(int MBAND, const std::array<int, 4>& NODEL, std::span<const double> EK,
                            std::span<double> SK) {
  int blk = 0;
  for (int I = 0; I < 4; ++I) {
    for (int J = I; J < 4; ++J, ++blk) {
      const int r0 = 3 * (NODEL[I] - 1);  // first row of node I, 0-based
      const int c0 = 3 * (NODEL[J] - 1);
      for (int i = 0; i < 3; ++i) {
        const int r = r0 + i;
        for (int j = (I == J ? i : 0); j < 3; ++j) {
          const int c = c0 + j;
          SK[static_cast<std::size_t>(r) * MBAND + (c - r)] += EK[9 * blk + 3 * i + j];
        }
      }
    }
  }
}

}  // namespace meridolan
