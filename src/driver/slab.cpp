#include "driver/slab.h"

#include <algorithm>
#include <string>

#include "base/stop.h"
#include "driver/input.h"
#include "loads/load.h"
#include "model/stiff.h"
#include "model/symtry.h"
#include "results/stress.h"
#include "solvers/band.h"

namespace meridolan {

namespace {

void banner(Report& rep, int isubgr, int itno) {
  static const Format kBanner(
      "'+', 16X, 'SUBGRADE TYPE =', I5, 3X, '*********************************', /, 40X, '*', "
      "31X, '*', /, 40X, '* I T E R A T I O N   N O.', I3, '   *', /, 40X, '*', 31X, '*', /, "
      "40X, '*********************************'");
  rep.write(kBanner, {isubgr, itno});
}

// Analyses that this version does not carry out end the run with a message instead
// of a report that would look like a result.
void require_available(Report& rep, const Control& C) {
  static const Format kMissing(
      "/, /, 10X, '***THE ANALYSIS REQUESTED IS NOT AVAILABLE IN THIS VERSION:', /, 10X, A, /, "
      "10X, ' PROGRAM TERMINATED.'");
  const char* what = nullptr;
  if (C.ICURL != 0)
    what = "TEMPERATURE CURLING AND GAP ANALYSES (ICURL NOT 0)";
  else if (C.ISUBGR == 8)
    what = "ELASTIC SOLID SUBGRADE (SUBGRADE TYPE 8)";
  else if (C.ISUBGR >= 0 && C.ISUBGR <= 3)
    what = "STRESS-DEPENDENT SUBGRADE ITERATION (SUBGRADE TYPES 0 TO 3)";
  if (what == nullptr) return;
  rep.write(kMissing, {what});
  STOP(rep);
}

// In a mesh of one slab every element is a plate element, so the node lines must
// strictly increase: an element of zero (or negative) width has no stiffness.
void require_positive_widths(Report& rep, const Control& C, const Work& w) {
  static const Format kWidth(
      "/, /, 10X, '***', A1, '-COORDINATES OF NODE LINES', I4, ' AND', I4, ' ARE', F10.3, ' AND', "
      "F10.3, ':', /, 10X, ' A SINGLE SLAB NEEDS STRICTLY INCREASING COORDINATES (ELEMENTS OF ', "
      "'NONZERO SIZE).', /, 10X, ' PROGRAM TERMINATED.'");
  if (C.NSLAB != 1) return;
  auto check = [&](const std::vector<double>& c, const char* axis) {
    for (std::size_t i = 1; i < c.size(); ++i) {
      if (!(c[i] > c[i - 1])) {
        rep.write(kWidth, {axis, static_cast<int>(i), static_cast<int>(i + 1), c[i - 1], c[i]});
        STOP(rep);
      }
    }
  };
  check(w.XC, "X");
  check(w.YC, "Y");
}

// True when some joint of the model carries dowel terms.
bool has_dowels(const Control& C) {
  const auto placed = [](int LT, double SP, int ND) { return LT != 0 && (SP > 0.0 || ND > 0); };
  return C.NSLAB != 1 && ((C.NNX[1] != 0 && placed(C.LTX, C.SPX, C.NDX)) ||
                          (C.NNY[1] != 0 && placed(C.LTY, C.SPY, C.NDY)));
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
  STOP(rep);
}

// One linear load analysis: stiffness, symmetry, reduction, load vector, solution.
void solve_pass(Report& rep, Control& C, Work& w) {
  std::fill(w.SK.begin(), w.SK.end(), 0.0);
  std::fill(w.SKR.begin(), w.SKR.end(), 0.0);
  std::fill(w.TDX.begin(), w.TDX.end(), 0.0);
  std::fill(w.TDY.begin(), w.TDY.end(), 0.0);
  std::fill(w.R.begin(), w.R.end(), 0.0);
  StiffWork sw;
  const StiffData data{w.XN, w.YN, w.SKN, w.THN1, w.EN1, w.THN2, w.EN2, w.NDOWX, w.NDOWY, w.ICON};
  STIFF(C, data, w.SK, sw);
  if (C.ISYM != 0) SYMTRY(C, w.SK);
  if (int bad = UPTRI(C.MBAND, C.NEQ, w.SKR, w.SK); bad != 0)
    report_bad_pivot(rep, C, bad, w.SK[static_cast<std::size_t>(bad - 1) * C.MBAND]);
  const Subareas sub{w.NES, w.PS, w.XS1, w.YS1, w.XS2, w.YS2};
  LOAD(C, sub, w.XN, w.YN, w.R);
  DISP(C.MBAND, C.NEQ, w.R, w.SKR, w.SK);
}

}  // namespace

void SLAB(Deck& deck, Report& rep, Control& C, Work& w) {
  read_mesh(deck, rep, C, w);
  require_positive_widths(rep, C, w);  // before loaded areas are cut along the lines
  read_joints_and_loads(deck, rep, C, w);
  require_available(rep, C);

  // Load analysis. Subgrade types of 4 and above take one pass; the stress-dependent
  // types, which repeat the pass with updated moduli, are refused above.
  C.ITNO = 1;
  solve_pass(rep, C, w);
  banner(rep, C.ISUBGR, 1);
  STRESS(rep, C, w);
  ++C.ITNO;
}

}  // namespace meridolan
