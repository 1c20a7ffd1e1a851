// Winkler curling analysis: the slab is curled by a temperature difference through
// its depth (the curled weightless slab touches the support at the centre of
// curling only), carries its self-weight and any loads, and rests on springs that
// act only where the slab has come down to the support. The set of nodes in contact
// is found by repeated linear solutions.
#include "supports/curlw.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "base/stop.h"
#include "model/stiff.h"
#include "results/deflections.h"
#include "solvers/band.h"
#include "solvers/reduce.h"
#include "supports/contact_iteration.h"
#include "supports/contact_steps.h"
#include "supports/curl_data.h"
#include "supports/node_tables.h"

namespace meridolan {

namespace {

// The Winkler analysis needs a modulus at every node and a second band store; an
// elastic-solid deck is sized with one word for each.
void require_nodal_moduli(Report& rep, const Control& C) {
  static const Format kSolid(
      "/, /, 10X, '***THE CURLING ANALYSIS ON A WINKLER SUPPORT (IWINK = 1) CANNOT RUN ON AN', "
      "/, 10X, ' ELASTIC SOLID SUBGRADE (SUBGRADE TYPE 8): IT NEEDS A MODULUS OF SUBGRADE', /, "
      "10X, ' REACTION AT EVERY NODE. GIVE A DENSE-LIQUID OR SPRING SUBGRADE TYPE.', /, 10X, "
      "' PROGRAM TERMINATED.'");
  if (C.ISUBGR != 8) return;
  rep.write(kSolid);
  STOP(rep, Ending::Refused);
}

// Thickness of the whole slab for the curling distances: TH1 + TH2, or, when the
// thickness is given per node, the nodal total where it is the same at every node.
// A slab without one positive thickness has no curled shape to start from.
double curling_thickness(Report& rep, const Control& C, const Work& w) {
  static const Format kVaries(
      "/, /, 10X, '***THE SLAB THICKNESS IS GIVEN PER NODE AND DIFFERS FROM NODE TO NODE:', /, "
      "10X, ' THE INITIAL CURLING DISTANCES NEED ONE THICKNESS FOR THE WHOLE SLAB.', /, 10X, "
      "' GIVE A UNIFORM THICKNESS FOR A TEMPERATURE DIFFERENCE.', /, 10X, "
      "' PROGRAM TERMINATED.'");
  static const Format kNotPositive(
      "/, /, 10X, '***THE SLAB THICKNESS IS', E12.4, ': THE INITIAL CURLING DISTANCES NEED A', "
      "/, 10X, ' POSITIVE THICKNESS.', /, 10X, ' PROGRAM TERMINATED.'");
  auto total = [&](int n) { return w.THN1[n - 1] + (C.NLAYER == 2 ? w.THN2[n - 1] : 0.0); };
  double h = C.TH1 + C.TH2;
  if (per_node_thickness(C)) {
    h = total(1);
    for (int n = 2; n <= C.NNODE; ++n) {
      if (total(n) != h) {
        rep.write(kVaries);
        STOP(rep, Ending::Refused);
      }
    }
  }
  if (!(h > 0.0) || !std::isfinite(h)) {
    rep.write(kNotPositive, {h});
    STOP(rep, Ending::Refused);
  }
  return h;
}

void print_heading(Report& rep, const Control& C, double DTW) {
  static const Format kTitle(
      "/, /, /, 20X, 'ANALYSIS WITH TEMPERATURE AND OR GAPS - SUBGRADE TYPE  7'");
  static const Format kDtw(
      "/, /, 5X, 'DIFFERENCE IN TEMPERATURE BETWEEN BOTTOM AND TOP SURFACE IS', F9.3");
  static const Format kAlf("/, /, 5X, 'COEFFICIENT OF THERMAL EXPANSION=', E10.3");
  static const Format kGam1("/, /, 5X, 'CONCRETE DENSITY                =', F10.3");
  static const Format kGam2("/, /, 5X, 'CONCRETE DENSITY-BOTTOM LAYER=', F10.3");
  rep.write(kTitle);
  rep.write(kDtw, {DTW});
  rep.write(kAlf, {C.ALF1});
  rep.write(kGam1, {C.GAM1});
  if (C.NLAYER == 2) rep.write(kGam2, {C.GAM2});
}

void print_sign_convention(Report& rep) {
  static const Format kSign(
      "/, /, 15X, 'SIGN CONVENTION', /, 5X, 'INITIAL CURLING DISTANCES : POSITIVE UPWARDS FROM "
      "THE CENTER OF THE INITIALLY CURLED WEIGHTLESS SLAB', /, 5X, 'INITIAL GAP : POSITIVE "
      "DOWNWARD FROM THE CENTER OF INITIALLY CURLED WEIGHTLESS SLAB', /, 5X, 'SLAB DEFLECTIONS : "
      "POSITIVE DOWNWARDS FROM INITIALLY CURLED SLAB SURFACE', /, 5X, 'SUBGRADE DEFLECTIONS : "
      "POSITIVE UPWARDS FROM THE CENTER OF THE INITIALLY CURLED WEIGHTLESS SLAB'");
  rep.write(kSign);
}

// The curled weightless slab stands above the support by r^2 * ALF1 * DTW / (2 h) at
// the distance r from the centre of curling; that distance adds to the gap.
void add_curling_distances(Report& rep, const Control& C, Work& w, double DTW, double h) {
  static const Format kCentre(
      "/, 5X, 'X-COORDINATE OF THE CENTER OF THE SLAB IS=', F8.3, /, 5X, 'Y-COORDINATE OF THE "
      "CENTER OF THE SLAB IS=', F8.3");
  static const Format kHead("/, 5X, 'INITIAL CURLING DISTANCES (PLUS GAPS IF THEY EXIST)', /");
  static const Format kLine("5X, 8(I5, F10.5)");
  const PlanPoint c = curling_centre(C, w);
  rep.write(kCentre, {c.x, c.y});
  new_page(rep);
  for (int n = 1; n <= C.NNODE; ++n) {
    const double dx = w.XN[n - 1] - c.x, dy = w.YN[n - 1] - c.y;
    w.GAPN[n - 1] += (dx * dx + dy * dy) * C.ALF1 * DTW / (2.0 * h);
  }
  rep.write(kHead);
  node_value_table(rep, kLine, 8, C.NNODE, w.GAPN);
}

// The springs of the Winkler analysis, at the nodes in contact: a spring reacts with
// SKN * QSUB * (w - GAPN), pre-compressed by the curling distance and gap. Its
// measure is the subgrade deflection GAPN - w, positive upwards: a node is in
// contact where the slab has come down to the support (GAPN - w not above 0).
class WinklerSprings final : public ContactSupport {
 public:
  WinklerSprings(const Control& M, Work& w, double DTW) : M_(M), w_(w), DTW_(DTW) {}

  bool solve(Report& rep, int, const ContactCounts&, bool print) override {
    static const Format kHead("/, 5X, 'SLAB DEFLECTIONS ', /");
    static const Format kLine("6(5X, I5, F10.5)");
    add_gap_forces(winkler_gap_forces(DTW_ != 0.0, M_.NLAREA != 0), M_, w_);
    ASSEMBLE(M_, w_);
    REDUCE(rep, M_, band_system(M_, w_));
    DISP(band_system(M_, w_), w_.RSAV);
    if (print) {
      rep.write(kHead);
      node_value_table(rep, kLine, 6, M_.NNODE, w_.RSAV, 3);
    }
    return false;
  }

  void measure() override {
    for (int n = 1; n <= M_.NNODE; ++n) w_.WSUB[n - 1] = w_.GAPN[n - 1] - w_.RSAV[3 * (n - 1)];
  }

  void classify(Report& rep) override {
    static const Format kHead("/, 5X, 'SUBGRADE DEFLECTIONS', /");
    static const Format kLine("5X, 8(I5, F10.5)");
    for (int n = 1; n <= M_.NNODE; ++n) w_.ICON[n - 1] = w_.WSUB[n - 1] <= 0.0 ? 0 : 1;
    rep.write(kHead);
    node_value_table(rep, kLine, 8, M_.NNODE, w_.WSUB);
  }

  void back_to_last_state() override {
    std::copy(w_.ICONP.begin(), w_.ICONP.end(), w_.ICON.begin());
  }

  const ContactTexts& texts() const override {
    static const Format kCount(
        "/, 5X, 'THE NUMBER OF NODES CHANGING CONTACT CONDITION BEFORE AND AFTER CURRENT "
        "ITERATION IS', I5, /");
    static const Format kChanged("/, 5X, 'NODES CHANGING CONTACT CONDITION', /");
    static const Format kOut("/, 5X, 'NODES OUT OF CONTACT AFTER CURRENT ITERATION', /");
    static const Format kWarn(
        "/, /, /, 10X, 'WARNING *** IC=ICYCLE', /, 1X, 'CONVERGENCE IS NOT ACHIEVED', /, 10X, "
        "'SOLUTION IS THEREFORE APPROXIMATE', /, 10X, 'INCREASE ICYCLE'");
    static const ContactTexts t{{kCount, kChanged, kOut}, kWarn};
    return t;
  }

 private:
  const Control& M_;
  Work& w_;
  double DTW_;
};

}  // namespace

Control CURLW(Report& rep, const Control& C, Work& w, Results& res) {
  require_nodal_moduli(rep, C);
  const double DTW = -(C.DT1 + C.DT2);
  const double h = DTW != 0.0 ? curling_thickness(rep, C, w) : 0.0;
  // The model of this analysis: springs at the nodes (type 7), and no temperature
  // difference left for the stresses, which come from the bending measured from the
  // curled shape alone: that shape carries the temperature.
  Control M = C;
  M.ISUBGR = 7;
  M.DT1 = M.DT2 = 0.0;

  results::tributary_areas(M, w);
  print_heading(rep, M, DTW);
  M.TOTLD += print_self_weight(rep, M, w);
  if (M.NGAPN > 0) print_gap_list(rep, M, w);
  if (M.NZRP > 0) print_zero_pressure_list(rep, M, w);
  print_sign_convention(rep);

  std::fill(w.ICON.begin(), w.ICON.end(), 0);
  std::fill(w.WSUB.begin(), w.WSUB.end(), 0.0);
  if (DTW != 0.0) add_curling_distances(rep, M, w, DTW, h);
  for (int i = 0; i < M.NZRP; ++i) w.ICON[w.IZRP[i] - 1] = 1;

  add_base_loads(M, w);
  WinklerSprings springs(M, w, DTW);
  contact_iteration(rep, M, ContactState::of(w), springs, res);

  std::copy(w.RSAV.begin(), w.RSAV.end(), w.R.begin());
  new_page(rep);
  return M;
}

}  // namespace meridolan
