// Curling and gap analysis with contact iteration on the deck's own subgrade. The
// slab is flat at the start; the temperature difference through each layer acts as
// moments along the element edges, the self-weight as nodal forces, and the support
// may stand below the slab by given gaps. A node whose deflection does not close its
// gap is out of contact: its modulus is set to zero (types 6 and 7) or it is left out
// of the flexibility of the elastic solid (type 8).
#include "supports/curlc.h"

#include <algorithm>
#include <numeric>
#include <span>
#include <utility>

#include "base/stop.h"
#include "model/stiff.h"
#include "results/deflections.h"
#include "solvers/band.h"
#include "solvers/reduce.h"
#include "supports/contact_steps.h"
#include "supports/curl_data.h"
#include "supports/elsold.h"
#include "supports/node_tables.h"
#include "supports/repeats.h"
#include "supports/surface_points.h"
#include "supports/thermal_moments.h"

namespace meridolan {

namespace {

bool elastic_solid(const Control& C) {
  return C.ISUBGR == 8;
}

// The equivalent thicknesses of bonded layers divide by each layer's thickness.
void require_bonded_thickness(Report& rep, const Control& C, const Work& w) {
  static const Format kThin(
      "/, /, 10X, '***THE LAYERS OF ELEMENT', I6, ' ARE', F10.3, ' AND', F10.3, ' THICK: THE', "
      "/, 10X, ' THERMAL MOMENT OF BONDED LAYERS NEEDS A POSITIVE THICKNESS OF EACH LAYER.', /, "
      "10X, ' PROGRAM TERMINATED.'");
  if (!bonded_thermal(C)) return;
  for (int e = 1; e <= C.NELEM; ++e) {
    const ElementLayers L = element_layers(C, w, e);
    if (L.th1 > 0.0 && L.th2 > 0.0) continue;
    rep.write(kThin, {e, L.th1, L.th2});
    STOP(rep, Ending::Refused);
  }
}

void print_heading(Report& rep, const Control& C) {
  static const Format kTitle(
      "/, /, /, 20X, 'ANALYSIS WITH TEMPERATURE AND OR GAPS - SUBGRADE TYPE', I3");
  static const Format kDt1(
      "/, /, 5X, 'DIFFERENCE IN TEMPERATURE BETWEEN TOP AND BOTTOM SURFACE IS', F9.3");
  static const Format kDt2(
      "/, /, 5X, 'DIFFERENCE IN TEMPERATURE BETWEEN TOP AND BOTTOM SURFACE OF SECOND LAYER IS', "
      "F9.3");
  static const Format kAlf1("/, /, 5X, 'COEFFICIENT OF THERMAL EXPANSION=', E10.3");
  static const Format kAlf2(
      "/, /, 5X, 'COEFFICIENT OF THERMAL EXPANSION OF BOTTOM LAYER IS', E10.3");
  static const Format kGam1("/, /, 5X, 'CONCRETE DENSITY                =', F10.3");
  static const Format kGam2("/, /, 5X, 'CONCRETE DENSITY - SECOND LAYER =', F10.3");
  const bool two = C.NLAYER == 2;
  rep.write(kTitle, {C.ISUBGR});
  rep.write(kDt1, {C.DT1});
  if (two) rep.write(kDt2, {C.DT2});
  rep.write(kAlf1, {C.ALF1});
  if (two) rep.write(kAlf2, {C.ALF2});
  rep.write(kGam1, {C.GAM1});
  if (two) rep.write(kGam2, {C.GAM2});
}

void print_sign_convention(Report& rep) {
  static const Format kSign(
      "/, /, 15X, 'SIGN CONVENTION', /, 5X, 'INITIAL GAP : POSITIVE OR ZERO ONLY, MEASURED FROM "
      "INITIALLY FLAT SLAB-SUBGRADE INTERFACE', /, 5X, 'SLAB DEFLECTIONS : POSITIVE DOWNWARDS "
      "FROM INITIALLY FLAT SLAB-SUBGRADE INTERFACE'");
  rep.write(kSign);
}

int count_out(const Control& C, const Work& w) {
  return static_cast<int>(std::count(w.ICON.begin(), w.ICON.begin() + C.NNODE, 1));
}

// The support of a node in contact acts on its deflection beyond the gap: the spring
// reacts with SKN * QSUB * (w - GAPN), so SKN * QSUB * GAPN moves to the load side.
// (The elastic solid adds its own term, the inverse flexibility times the gaps.)
void add_gap_forces(const Control& C, Work& w) {
  for (int n = 1; n <= C.NNODE; ++n)
    if (w.ICON[n - 1] == 0 && w.GAPN[n - 1] != 0.0)
      w.RSAV[3 * (n - 1)] += w.SKN[n - 1] * w.QSUB[n - 1] * w.GAPN[n - 1];
}

// One solution with the current contact state, into RSAV. Returns true when the
// elastic solid has printed the results of a settled contact state (NCHG = 0).
bool solve_contact_state(Report& rep, Control& C, Work& w, Results& res, int IC, int& NCHG,
                         int& NOUT, bool print = true) {
  static const Format kHead("/, 5X, 'DEFLECTIONS OF THE SLAB ', /");
  static const Format kLine("6(5X, I5, F10.5)");
  require_contact(rep, C, w, IC);
  ASSEMBLE(C, w);
  if (elastic_solid(C)) {
    // The elastic solid solves the vector R in place and prints from it: hand it the
    // iteration vector.
    std::swap(w.R, w.RSAV);
    const bool finished = ELSOLD(rep, C, w, res, NCHG, NOUT);
    std::swap(w.R, w.RSAV);
    if (finished) return true;
  } else {
    add_gap_forces(C, w);
    REDUCE(rep, C, band_system(C, w));
    DISP(band_system(C, w), w.RSAV);
  }
  if (!print) return false;
  rep.write(kHead);
  node_value_table(rep, kLine, 6, C.NNODE, w.RSAV, 3);
  return false;
}

// On the elastic solid the faces of a joint stand on one surface point, which is in
// contact or not as a whole: the point decides by the mean of its nodes' deflections
// beyond their gaps (RSAV), and every node of it takes the point's state. Inside a
// slab every node is a point of its own and keeps its own state.
void contact_by_points(const Control& C, Work& w) {
  std::vector<int> all(C.NNODE);
  std::iota(all.begin(), all.end(), 1);
  const SurfacePoints points = surface_points(all, w.XN, w.YN);
  for (int p = 0; p < points.count(); ++p) {
    const std::span<const int> members = points.of(p);
    if (members.size() == 1) continue;
    double s = 0.0;
    for (int n : members) s += w.RSAV[3 * (n - 1)];
    const int state = s / static_cast<double>(members.size()) < 0.0 ? 1 : 0;
    for (int n : members) w.ICON[n - 1] = state;
  }
}

// Re-classifies every node from the last solution: out of contact where the
// deflection does not close the gap. RSAV keeps the deflections minus the gaps.
// Prints the node lists; returns the number of changed nodes and sets NOUT.
int update_contact(Report& rep, const Control& C, Work& w, int& NOUT) {
  static const Format kCount(
      "/, 5X, 'THE NUMBER OF NODES IN DIFFERENT CONTACT CONDITION   IS', I5, /");
  static const Format kChanged("/, 5X, 'NODES IN DIFFERENT CONTACT CONDITION', /");
  static const Format kOut("/, 5X, 'NODES OUT OF CONTACT', /");
  const bool moduli = !elastic_solid(C);
  if (moduli) std::copy(w.WSUB.begin(), w.WSUB.begin() + C.NNODE, w.SKN.begin());
  std::copy(w.ICON.begin(), w.ICON.end(), w.ICONP.begin());
  for (int n = 1; n <= C.NNODE; ++n) {
    double& s = w.RSAV[3 * (n - 1)];
    s -= w.GAPN[n - 1];
    w.ICON[n - 1] = s < 0.0 ? 1 : 0;
    if (moduli && s < 0.0) w.SKN[n - 1] = 0.0;
  }
  if (!moduli) contact_by_points(C, w);
  const ContactCounts n = print_contact_lists(rep, C, w, {kCount, kChanged, kOut});
  NOUT = n.NOUT;
  return n.NCHG;
}

void print_not_converged(Report& rep) {
  static const Format kWarn(
      "/, /, /, 10X, 'IC=ICYCLE', /, 1X, 'CONVERGENCE IS NOT ACHIEVED         --INCREASE "
      "ICYCLE'");
  rep.write(kWarn);
}

// The flags were recomputed from the last solution; the results must show the
// contact state that solution was made with.
void back_to_last_state(const Control& C, Work& w) {
  std::copy(w.ICONP.begin(), w.ICONP.end(), w.ICON.begin());
  if (elastic_solid(C)) return;
  for (int n = 1; n <= C.NNODE; ++n) w.SKN[n - 1] = w.ICON[n - 1] == 1 ? 0.0 : w.WSUB[n - 1];
}

const char* const kState = "CONTACT STATE";

// A contact state met before: the iteration ends on the state the cycle holds at the
// limit, `at`, with the warning of the limit. Away from the elastic solid the solution
// of that state is made here, without a listing, as the limit would have left it.
void end_on_cycle(Report& rep, Control& C, Work& w, Results& res, const StateHistory& seen,
                  int at) {
  seen.recall(at, std::span<int>(w.ICON));
  std::copy(w.ICON.begin(), w.ICON.end(), w.ICONP.begin());
  back_to_last_state(C, w);
  if (!elastic_solid(C)) {
    int NCHG = 1, NOUT = 0;
    std::copy(w.R.begin(), w.R.end(), w.RSAV.begin());
    solve_contact_state(rep, C, w, res, at, NCHG, NOUT, false);
    for (int n = 1; n <= C.NNODE; ++n) w.RSAV[3 * (n - 1)] -= w.GAPN[n - 1];
  }
  print_not_converged(rep);
}

// Solutions until one update changes no node or ICYCLE solutions have been made
// (ICYCLE = 0 counts as 1). Returns true when the elastic solid finished the run's
// analysis; otherwise RSAV holds the last solution less the gaps and ICON the
// contact state it was made with.
bool contact_iteration(Report& rep, Control& C, Work& w, Results& res) {
  const bool solid = elastic_solid(C);
  int IC = 1, NCHG = 1, NOUT = count_out(C, w);
  StateHistory seen;
  print_iteration(rep, IC);
  seen.cycle_end(rep, IC, std::span<const int>(w.ICON), C.ICYCLE, kState);
  if (solve_contact_state(rep, C, w, res, IC, NCHG, NOUT)) return true;
  while (true) {
    ++IC;
    check_time_limit(rep, C);
    NCHG = update_contact(rep, C, w, NOUT);
    res.passes.push_back({IterationStep::Kind::Contact, IC - 1, 0.0, NCHG, NOUT});
    if (NCHG == 0 && !solid) return false;
    print_iteration(rep, IC);
    // On the elastic solid an update that changes nothing is followed by the
    // solution that prints the results, whatever the limit.
    if (NCHG != 0 && IC > C.ICYCLE) {
      print_not_converged(rep);
      back_to_last_state(C, w);
      if (!solid) return false;
      // The elastic solid prints its results from a solution: the same contact state
      // solved once more gives the last solution again.
      NCHG = 0;
      NOUT = count_out(C, w);
    } else if (const int at = NCHG == 0 ? 0
                                        : seen.cycle_end(rep, IC, std::span<const int>(w.ICON),
                                                         C.ICYCLE, kState)) {
      end_on_cycle(rep, C, w, res, seen, at);
      if (!solid) return false;
      NCHG = 0;
      NOUT = count_out(C, w);
    }
    std::copy(w.R.begin(), w.R.end(), w.RSAV.begin());
    if (solve_contact_state(rep, C, w, res, IC, NCHG, NOUT)) return true;
  }
}

}  // namespace

void require_contact_subgrade(Report& rep, const Control& C) {
  static const Format kType(
      "/, /, 10X, '***THE CURLING AND GAP ANALYSIS WITH CONTACT ITERATION (IWINK NOT 1) RUNS', "
      "/, 10X, ' ON SUBGRADE TYPES 6, 7 AND 8 ONLY: SUBGRADE TYPE', I3, ' GIVES THE SLAB NO', /, "
      "10X, ' SUPPORT IN THIS ANALYSIS. GIVE TYPE 6 (DENSE LIQUID), 7 (SPRINGS AT THE NODES)', "
      "/, 10X, ' OR 8 (ELASTIC SOLID), OR IWINK = 1 FOR THE CURLING ANALYSIS ON A WINKLER', /, "
      "10X, ' SUPPORT.', /, 10X, ' PROGRAM TERMINATED.'");
  if (C.ICURL == 0 || C.IWINK == 1) return;
  if (C.ISUBGR == 6 || C.ISUBGR == 7 || C.ISUBGR == 8) return;
  rep.write(kType, {C.ISUBGR});
  STOP(rep, Ending::Refused);
}

bool CURLC(Report& rep, Control& C, Work& w, Results& res) {
  require_bonded_thickness(rep, C, w);
  const bool solid = elastic_solid(C);

  results::tributary_areas(C, w);
  print_heading(rep, C);
  print_self_weight(rep, C, w);
  if (C.NGAPN > 0) print_gap_list(rep, C, w);
  if (C.NZRP > 0) print_zero_pressure_list(rep, C, w);
  print_sign_convention(rep);

  C.GSH = {(1.0 - C.PR1) / 2.0, (1.0 - C.PR2) / 2.0};
  std::fill(w.ICON.begin(), w.ICON.end(), 0);
  // The moduli the analysis starts with; a node back in contact gets its own again.
  if (!solid) std::copy(w.SKN.begin(), w.SKN.begin() + C.NNODE, w.WSUB.begin());
  add_thermal_moments(C, w, w.R);
  for (int i = 0; i < C.NZRP; ++i) {
    const int n = w.IZRP[i];
    w.ICON[n - 1] = 1;
    if (!solid) w.SKN[n - 1] = 0.0;
  }
  add_base_loads(C, w);

  if (contact_iteration(rep, C, w, res)) return true;
  // Deflections from the initially flat interface again.
  if (C.NGAPN != 0)
    for (int n = 1; n <= C.NNODE; ++n) w.RSAV[3 * (n - 1)] += w.GAPN[n - 1];
  std::copy(w.RSAV.begin(), w.RSAV.end(), w.R.begin());
  return false;
}

}  // namespace meridolan
