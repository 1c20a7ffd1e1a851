// Symmetry about the first node lines: a penalty diagonal on the rotation equations
// whose slope across the line must vanish.
#include "model/symtry.h"

#include <cstddef>

namespace meridolan {

void SYMTRY(const Control& C, std::span<double> SK) {
  // 1E25 held in single precision, then widened.
  constexpr double kPenalty = static_cast<double>(1e25f);
  const auto diag = [&](int r) { return static_cast<std::size_t>(r - 1) * C.MBAND; };
  if (C.ISYM != 2) {  // theta-x = 0 on the first y-line
    for (int ix = 1; ix <= C.NXT; ++ix) {
      const int n = (ix - 1) * C.NYT + 1;
      SK[diag(3 * (n - 1) + 2)] = kPenalty;
    }
  }
  if (C.ISYM != 1) {  // theta-y = 0 on the first x-line
    for (int n = 1; n <= C.NYT; ++n) SK[diag(3 * n)] = kPenalty;
  }
}

}  // namespace meridolan
