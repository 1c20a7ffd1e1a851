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

#include "base/stop.h"
#include "model/stiff.h"
#include "results/deflections.h"
#include "solvers/band.h"
#include "solvers/reduce.h"
#include "supports/contact_iteration.h"
#include "supports/contact_steps.h"
#include "supports/curl_data.h"
#include "supports/elsold.h"
#include "supports/node_tables.h"
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
    const PlateLayers L = element_layers(C, w, e);
    if (L.top.thickness > 0.0 && L.bottom.thickness > 0.0) continue;
    rep.write(kThin, {e, L.top.thickness, L.bottom.thickness});
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

// What both supports of this analysis share: the measure of a solution is the
// deflection beyond the gap, w - GAPN, kept in RSAV; a node is out of contact where
// it is negative (the deflection does not close the gap).
class ContactBeyondGaps : public ContactSupport {
 public:
  ContactBeyondGaps(const Control& M, Work& w) : M_(M), w_(w) {}

  void measure() override {
    for (int n = 1; n <= M_.NNODE; ++n) w_.RSAV[3 * (n - 1)] -= w_.GAPN[n - 1];
  }

  const ContactTexts& texts() const override {
    static const Format kCount(
        "/, 5X, 'THE NUMBER OF NODES IN DIFFERENT CONTACT CONDITION   IS', I5, /");
    static const Format kChanged("/, 5X, 'NODES IN DIFFERENT CONTACT CONDITION', /");
    static const Format kOut("/, 5X, 'NODES OUT OF CONTACT', /");
    static const Format kWarn(
        "/, /, /, 10X, 'IC=ICYCLE', /, 1X, 'CONVERGENCE IS NOT ACHIEVED         --INCREASE "
        "ICYCLE'");
    static const ContactTexts t{{kCount, kChanged, kOut}, kWarn};
    return t;
  }

 protected:
  void flag_nodes() {
    for (int n = 1; n <= M_.NNODE; ++n) w_.ICON[n - 1] = w_.RSAV[3 * (n - 1)] < 0.0 ? 1 : 0;
  }
  void print_solution(Report& rep) const {
    static const Format kHead("/, 5X, 'DEFLECTIONS OF THE SLAB ', /");
    static const Format kLine("6(5X, I5, F10.5)");
    rep.write(kHead);
    node_value_table(rep, kLine, 6, M_.NNODE, w_.RSAV, 3);
  }

  const Control& M_;
  Work& w_;
};

// The deck's dense liquid (type 6) or springs (type 7): a node out of contact has its
// modulus set to zero; back in contact it gets the modulus the analysis started with.
class DeckSupport final : public ContactBeyondGaps {
 public:
  DeckSupport(const Control& M, Work& w)
      : ContactBeyondGaps(M, w), moduli_(w.SKN.begin(), w.SKN.begin() + M.NNODE) {}

  bool solve(Report& rep, int, const ContactCounts&, bool print) override {
    ASSEMBLE(M_, w_);
    add_gap_forces(GapForces::every_gap, M_, w_);
    REDUCE(rep, M_, band_system(M_, w_));
    DISP(band_system(M_, w_), w_.RSAV);
    if (print) print_solution(rep);
    return false;
  }

  void classify(Report&) override {
    flag_nodes();
    moduli_of_state();
  }

  void back_to_last_state() override {
    std::copy(w_.ICONP.begin(), w_.ICONP.end(), w_.ICON.begin());
    moduli_of_state();
  }

 private:
  void moduli_of_state() {
    for (int n = 1; n <= M_.NNODE; ++n) w_.SKN[n - 1] = w_.ICON[n - 1] == 1 ? 0.0 : moduli_[n - 1];
  }

  std::vector<double> moduli_;  // the nodal moduli the analysis starts with
};

// The elastic solid (type 8): a node out of contact is left out of the flexibility. The
// solid prints the results itself, from one more solution once the contact state has
// settled, into R.
class SolidSupport final : public ContactBeyondGaps {
 public:
  SolidSupport(const Control& M, Work& w, Results& res) : ContactBeyondGaps(M, w), res_(res) {}

  bool solve(Report& rep, int, const ContactCounts& n, bool print) override {
    ASSEMBLE(M_, w_);
    if (n.NCHG == 0) {
      // Settled: the solution of the results takes the loads in R.
      solid_results(rep, M_, w_, SOLIDS(rep, M_, w_, w_.R), res_);
      return true;
    }
    SOLIDS(rep, M_, w_, w_.RSAV);
    if (print) print_solution(rep);
    return false;
  }

  void classify(Report&) override {
    flag_nodes();
    contact_by_points(M_, w_);
  }

  void back_to_last_state() override {
    std::copy(w_.ICONP.begin(), w_.ICONP.end(), w_.ICON.begin());
  }

  bool settles_by_solution() const override { return true; }

 private:
  Results& res_;
};

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

ContactAnalysis CURLC(Report& rep, const Control& C, Work& w, Results& res) {
  require_bonded_thickness(rep, C, w);
  const bool solid = elastic_solid(C);
  Control M = C;  // the model of this analysis: the self-weight joins the loads

  results::tributary_areas(M, w);
  print_heading(rep, M);
  M.TOTLD += print_self_weight(rep, M, w);
  if (M.NGAPN > 0) print_gap_list(rep, M, w);
  if (M.NZRP > 0) print_zero_pressure_list(rep, M, w);
  print_sign_convention(rep);

  std::fill(w.ICON.begin(), w.ICON.end(), 0);
  add_thermal_moments(M, w, w.R);
  for (int i = 0; i < M.NZRP; ++i) w.ICON[w.IZRP[i] - 1] = 1;
  add_base_loads(M, w);

  if (solid) {
    SolidSupport support(M, w, res);
    contact_iteration(rep, M, ContactState::of(w), support, res);
    return {M, true};
  }
  // The moduli the analysis starts with; the zero-pressure nodes start without.
  DeckSupport support(M, w);
  for (int i = 0; i < M.NZRP; ++i) w.SKN[w.IZRP[i] - 1] = 0.0;
  contact_iteration(rep, M, ContactState::of(w), support, res);
  // Deflections from the initially flat interface again.
  if (M.NGAPN != 0)
    for (int n = 1; n <= M.NNODE; ++n) w.RSAV[3 * (n - 1)] += w.GAPN[n - 1];
  std::copy(w.RSAV.begin(), w.RSAV.end(), w.R.begin());
  return {M, false};
}

}  // namespace meridolan
