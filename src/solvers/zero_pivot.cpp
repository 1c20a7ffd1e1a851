// A pivot that vanished in the reduction: the model is not held against some
// movement (a slab without support, or symmetry lines where there are none).
#include "solvers/zero_pivot.h"

#include "base/records.h"
#include "base/stop.h"

namespace meridolan {

void report_zero_pivot(Report& rep, int equation) {
  static const Format kPivot(
      "/, /, 10X, '***ZERO PIVOT IN EQUATION', I8, ' (', A, ' OF NODE', I7, ').', /, 10X, "
      "' THE SLAB IS NOT SUPPORTED AGAINST THIS MOVEMENT: CHECK THE SUBGRADE MODULI,', /, 10X, "
      "' THE SPRINGS, THE LAYER PROPERTIES AND THE SYMMETRY INDEX.', /, 10X, "
      "' PROGRAM TERMINATED.'");
  static const char* const kDof[3] = {"DEFLECTION", "X-ROTATION", "Y-ROTATION"};
  rep.write(kPivot, {equation, kDof[(equation - 1) % 3], (equation - 1) / 3 + 1});
  STOP(rep);
}

}  // namespace meridolan
