#include "driver/slab.h"

#include <algorithm>
#include <string>

#include "base/stop.h"
#include "driver/check_properties.h"
#include "driver/contour.h"
#include "driver/input.h"
#include "loads/load.h"
#include "model/stiff.h"
#include "model/symtry.h"
#include "results/stress.h"
#include "solvers/band.h"
#include "solvers/reduce.h"
#include "supports/curlc.h"
#include "supports/curlw.h"
#include "supports/elsold.h"
#include "supports/iterat.h"
#include "supports/repeats.h"

namespace meridolan {

namespace {

void banner(Report& rep, int isubgr, int itno) {
  static const Format kBanner(
      "'+', 16X, 'SUBGRADE TYPE =', I5, 3X, '*********************************', /, 40X, '*', "
      "31X, '*', /, 40X, '* I T E R A T I O N   N O.', I3, '   *', /, 40X, '*', 31X, '*', /, "
      "40X, '*********************************'");
  rep.write(kBanner, {isubgr, itno});
}

// Inside a slab every element is a plate element, so the node lines must strictly
// increase: an element of zero (or negative) width has no stiffness and no stresses.
// Only the last node line of a slab and the first of the next may share a coordinate
// (a joint) or follow with a gap (a plate strip between the slabs).
void require_positive_widths(Report& rep, const Control& C, const Work& w) {
  static const Format kWidth(
      "/, /, 10X, '***', A1, '-COORDINATES OF NODE LINES', I4, ' AND', I4, ' ARE', F10.3, ' AND', "
      "F10.3, ':', /, 10X, ' A SINGLE SLAB NEEDS STRICTLY INCREASING COORDINATES (ELEMENTS OF ', "
      "'NONZERO SIZE).', /, 10X, ' PROGRAM TERMINATED.'");
  static const Format kInSlab(
      "/, /, 10X, '***', A1, '-COORDINATES OF NODE LINES', I4, ' AND', I4, ' ARE', F10.3, ' AND', "
      "F10.3, ':', /, 10X, ' WITHIN A SLAB THE COORDINATES MUST STRICTLY INCREASE; ONLY THE LAST "
      "', "
      "'NODE LINE', /, 10X, ' OF A SLAB AND THE FIRST OF THE NEXT MAY SHARE ONE (A JOINT).', /, "
      "10X, ' PROGRAM TERMINATED.'");
  auto check = [&](const std::vector<double>& c, const std::array<int, 10>& nn, const char* axis) {
    std::vector<bool> first_of_slab(c.size(), false);
    std::size_t first = 0;
    for (int n : nn) {
      first += static_cast<std::size_t>(n);
      if (first < c.size()) first_of_slab[first] = true;
    }
    for (std::size_t i = 1; i < c.size(); ++i) {
      if (first_of_slab[i] ? c[i] >= c[i - 1] : c[i] > c[i - 1]) continue;
      rep.write(C.NSLAB == 1 ? kWidth : kInSlab,
                {axis, static_cast<int>(i), static_cast<int>(i + 1), c[i - 1], c[i]});
      STOP(rep, Ending::Refused);
    }
  };
  check(w.XC, C.NNX, "X");
  check(w.YC, C.NNY, "Y");
}

// Start of a pass: the joint transfer and the load vector are cleared (the band
// store is cleared where the stiffness is assembled; the reduction writes every word
// of its companion that it reads).
void clear_pass(Work& w) {
  std::fill(w.TDX.begin(), w.TDX.end(), 0.0);
  std::fill(w.TDY.begin(), w.TDY.end(), 0.0);
  std::fill(w.R.begin(), w.R.end(), 0.0);
}

// One linear load analysis: stiffness, symmetry, reduction, load vector, solution.
void solve_pass(Report& rep, const Control& C, Work& w) {
  ASSEMBLE(C, w);
  REDUCE(rep, C, band_system(C, w));
  const Subareas sub{w.NES, w.PS, w.XS1, w.YS1, w.XS2, w.YS2};
  LOAD(C, sub, w.XN, w.YN, w.R);
  DISP(band_system(C, w), w.R);
  check_displacements(rep, C, w.R);
}

// A deck checked without its analysis: the records the analysis would still read (the
// parameter cards of the stress-dependent update, the contour record) are read too, so
// that every record of the deck is read where the analysis would read it.
[[noreturn]] void end_of_check(Deck& deck, Report& rep, const Control& C, const Work& w) {
  static const Format kChecked(
      "/, /, 10X, '***THE WHOLE DECK HAS BEEN READ AND ECHOED (--CHECK): THE ANALYSIS IS ', "
      "'NOT RUN.'");
  if (C.INMODE != 0 && C.ICURL == 0 && (C.MAXIT > 1 || C.NCONT != 0))
    skip_unread_cards(deck, C, w.ISOIL, SoilCurves{});
  if (C.NCONT != 0 && C.INMODE != 0) {
    Control last = C;
    read_contour_record(deck, last);
  }
  rep.write(kChecked);
  STOP(rep, Ending::Finished);
}

const char* const kModuli = "SET OF NODAL MODULI";

// The analysis of the model read: returns the model its results were computed for
// (the deck's, or the one a curling analysis made for itself).
Control ANALYSE(Deck& deck, Report& rep, const Control& C, Work& w, Results& res) {
  // Subgrade types of 4 and above take one pass. The stress-dependent types 0 to 3
  // update the nodal moduli after each pass and repeat it until few enough nodes
  // move off the tolerance band, or until MAXIT passes have been made. The curling
  // analyses make their own contact iterations, on subgrade types 6 to 8 (the
  // Winkler analysis analyses type 7), so they take one pass, without a banner. The
  // elastic solid solves the plate with its own subgrade stiffness and prints every
  // result itself, also at the end of a contact analysis; the run then ends as usual.
  check_time_limit(rep, C);
  clear_pass(w);
  if (C.ICURL != 0) {
    const ContactAnalysis a =
        C.IWINK == 1 ? ContactAnalysis{CURLW(rep, C, w, res)} : CURLC(rep, C, w, res);
    if (!a.results_printed) STRESS(rep, a.model, 1, w, res);
    return a.model;
  }
  if (C.ISUBGR == 8) {
    ASSEMBLE(C, w);
    ELSOLD(rep, C, w, res);
    return C;
  }
  SoilCurves curves;
  StateHistory moduli;
  int ITNO = 1;
  moduli.cycle_end(rep, ITNO, std::span<const double>(w.SKN), C.MAXIT, kModuli);
  for (;;) {
    solve_pass(rep, C, w);
    if (ITNO == 1) banner(rep, C.ISUBGR, 1);
    STRESS(rep, C, ITNO, w, res);
    ++ITNO;
    if (C.ISUBGR >= 4 || ITNO > C.MAXIT) break;  // the last print stands
    new_page(rep);
    banner(rep, C.ISUBGR, ITNO);
    const double RATOFF = ITERAT(deck, rep, C, w.R, w.SKN, w.ISOIL, curves);
    res.passes.push_back({IterationStep::Kind::StressDependent, ITNO - 1, RATOFF, 0, 0});
    if (!(C.TOL2 < RATOFF)) {  // converged: the stresses of the last pass once more
      STRESS(rep, C, kConvergedRepeat, w, res);
      break;
    }
    // Moduli met before: the last pass is the one the limit would have reached.
    if (const int at =
            moduli.cycle_end(rep, ITNO, std::span<const double>(w.SKN), C.MAXIT, kModuli)) {
      moduli.recall(at, std::span<double>(w.SKN));
      ITNO = C.MAXIT;
      new_page(rep);
      banner(rep, C.ISUBGR, ITNO);
    }
    check_time_limit(rep, C);
    clear_pass(w);
  }
  // The final contour record follows the parameter cards in the deck; a run that
  // never updated has not read them yet.
  if (C.NCONT != 0 && C.INMODE != 0) skip_unread_cards(deck, C, w.ISOIL, curves);
  return C;
}

}  // namespace

Control SLAB(Deck& deck, Report& rep, Control& C, Work& w, Results& res, bool check_only) {
  read_mesh(deck, rep, C, w);
  require_positive_widths(rep, C, w);  // before loaded areas are cut along the lines
  read_joints_and_loads(deck, rep, C, w);
  require_contact_subgrade(rep, C);
  if (check_only) end_of_check(deck, rep, C, w);
  return ANALYSE(deck, rep, C, w, res);
}

}  // namespace meridolan
