#include "solvers/reduce.h"

#include <algorithm>
#include <cstddef>

#include "base/records.h"
#include "base/stop.h"
#include "solvers/band.h"

namespace meridolan {

namespace {

// True when some joint of the model carries dowel terms.
bool has_dowels(const Control& C) {
  if (C.NSLAB == 1) return false;
  return std::any_of(kAxes.begin(), kAxes.end(),
                     [&](Axis a) { return C.has_joints(a) && C.joint(a).dowels_placed(); });
}

// A pivot that vanished or turned negative in the reduction: the model is not held
// against some movement (a slab without support, or symmetry lines where there are
// none), or its matrix is not positive definite, which the dowel element can make it.
[[noreturn]] void report_bad_pivot(Report& rep, const Control& C, int equation, double pivot) {
  static const Format kZero(
      "/, /, 10X, '***ZERO PIVOT IN EQUATION', I8, ' (', A, ' OF NODE', I7, ').', /, 10X, "
      "' THE SLAB IS NOT SUPPORTED AGAINST THIS MOVEMENT: CHECK THE SUBGRADE MODULI,', /, 10X, "
      "' THE SPRINGS, THE LAYER PROPERTIES AND THE SYMMETRY INDEX.'");
  static const Format kNegative(
      "/, /, 10X, '***NEGATIVE PIVOT IN EQUATION', I8, ' (', A, ' OF NODE', I7, ').', /, 10X, "
      "' THE STIFFNESS MATRIX IS NOT POSITIVE DEFINITE: THE RESULTS WOULD HAVE NO MEANING.'");
  static const Format kDowels(
      "10X, ' THE MODEL HAS DOWELS: THEIR BENDING TERMS ARE NOT HELD BY THE DOWEL-CONCRETE', /, "
      "10X, ' SPRING, SO STIFF OR CLOSELY SPACED DOWELS OR A SOFT DOWEL-CONCRETE INTERACTION', /, "
      "10X, ' MAKE THE JOINTS INDEFINITE. CHECK THE DOWEL MODULUS AND DIAMETERS, THE SPACING', /, "
      "10X, ' (OR THE NODE LIST) AND THE DOWEL-CONCRETE INTERACTION.'");
  static const Format kEnd("10X, ' PROGRAM TERMINATED.'");
  static const char* const kDof[3] = {"DEFLECTION", "X-ROTATION", "Y-ROTATION"};
  const std::initializer_list<Item> where = {equation, kDof[(equation - 1) % 3],
                                             (equation - 1) / 3 + 1};
  rep.write(pivot < 0.0 ? kNegative : kZero, where);
  if (has_dowels(C)) rep.write(kDowels);
  rep.write(kEnd);
  STOP(rep, Ending::Refused);
}

}  // namespace

void REDUCE(Report& rep, const Control& C, const BandSystem& band) {
  const int bad = UPTRI(band);
  if (bad != 0)
    report_bad_pivot(rep, C, bad, band.SK[static_cast<std::size_t>(bad - 1) * band.MBAND]);
}

}  // namespace meridolan
