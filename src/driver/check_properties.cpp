// Physically impossible model data. The line drawn here: a value is refused when the
// mechanics has no meaning for it (a plate of no or negative rigidity, a support that
// pulls, a Poisson ratio an isotropic material cannot have); a value that is only
// unusual (a negative Poisson ratio above -1, a tiny modulus, which may simply be in
// other units) passes unchanged, so every sound deck prints what it printed before.
#include "driver/check_properties.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "base/stop.h"

namespace meridolan {

namespace {

// Where a value came from: a record, and the columns and name of its field.
struct Field {
  const char* record;
  const char* columns;
  const char* name;
};

const char* const kPoisson =
    "A POISSON RATIO MUST LIE ABOVE -1 AND NOT ABOVE 0.5 (ISOTROPIC MATERIAL).";
const char* const kThickness = "A LAYER THICKNESS MUST BE POSITIVE.";
const char* const kModulus = "A MODULUS OF ELASTICITY MUST BE POSITIVE.";

// Values of ordinary size print in fixed form, the others in exponent form.
bool fixed_form(double v) {
  const double a = std::abs(v);
  return a == 0.0 || (a >= 1.0e-3 && a < 1.0e9);
}

[[noreturn]] void finish(Report& rep, const Control& C, const char* reason) {
  static const Format kReason("10X, '   ', A");
  static const Format kMode0(
      "10X, '   (INPUT MODE 0 READS NO LAYER, SUBGRADE OR DOWEL RECORD: THOSE VALUES ARE ', "
      "'ZERO.)'");
  static const Format kEnd("10X, ' PROGRAM TERMINATED.'");
  rep.write(kReason, {reason});
  if (C.INMODE == 0) rep.write(kMode0);
  rep.write(kEnd);
  STOP(rep, Ending::Refused);
}

[[noreturn]] void refuse(Report& rep, const Control& C, const Field& f, double v,
                         const char* reason) {
  static const Format kF("/, /, 10X, '***', A, ', COLUMNS ', A, ': ', A, ' =', F16.4");
  static const Format kE("/, /, 10X, '***', A, ', COLUMNS ', A, ': ', A, ' =', E16.6");
  rep.write(fixed_form(v) ? kF : kE, {f.record, f.columns, f.name, v});
  finish(rep, C, reason);
}

[[noreturn]] void refuse(Report& rep, const Control& C, const Field& f, int v, const char* reason) {
  static const Format kI("/, /, 10X, '***', A, ', COLUMNS ', A, ': ', A, ' =', I11");
  rep.write(kI, {f.record, f.columns, f.name, v});
  finish(rep, C, reason);
}

// A value given per node: the record set and the node are named.
[[noreturn]] void refuse_node(Report& rep, const Control& C, const char* records, int node,
                              const char* name, double v, const char* reason) {
  static const Format kF("/, /, 10X, '***', A, ', NODE', I6, ': ', A, ' =', F16.4");
  static const Format kE("/, /, 10X, '***', A, ', NODE', I6, ': ', A, ' =', E16.6");
  rep.write(fixed_form(v) ? kF : kE, {records, node, name, v});
  finish(rep, C, reason);
}

// Written so that NaN fails as well (it cannot be read, but stays refused).
bool poisson_ok(double nu) {
  return nu > -1.0 && nu <= 0.5;
}

// Thickness or modulus of a layer: one value for every node, or (value 0) the
// per-node values of the records that follow the layer record.
void check_per_node(Report& rep, const Control& C, double v, const Field& single,
                    const char* records, const std::vector<double>& a, const char* reason) {
  if (v != 0.0) {
    if (!(v > 0.0)) refuse(rep, C, single, v, reason);
    return;
  }
  const std::size_t n = std::min(a.size(), static_cast<std::size_t>(std::max(C.NNODE, 0)));
  for (std::size_t i = 0; i < n; ++i) {
    if (!(a[i] > 0.0))
      refuse_node(rep, C, records, static_cast<int>(i + 1), single.name, a[i], reason);
  }
}

struct LayerData {
  const char* record;
  const char* thickness_records;
  const char* modulus_records;
  double TH, E, PR, GAM;
  const std::vector<double>& THN;
  const std::vector<double>& EN;
};

void check_layer(Report& rep, const Control& C, const LayerData& L) {
  if (!poisson_ok(L.PR)) refuse(rep, C, {L.record, "21-30", "POISSON RATIO"}, L.PR, kPoisson);
  check_per_node(rep, C, L.TH, {L.record, "1-10", "THICKNESS"}, L.thickness_records, L.THN,
                 kThickness);
  check_per_node(rep, C, L.E, {L.record, "11-20", "MODULUS"}, L.modulus_records, L.EN, kModulus);
  if (!(L.GAM >= 0.0))
    refuse(rep, C, {L.record, "31-40", "DENSITY"}, L.GAM, "A DENSITY MUST NOT BE NEGATIVE.");
}

}  // namespace

void check_layers(Report& rep, const Control& C, const Work& w) {
  if (C.ISYM < 0 || C.ISYM > 3) {
    refuse(rep, C, {"CONTROL RECORD 3", "6-10", "SYMMETRY INDEX"}, C.ISYM,
           "THE SYMMETRY INDEX MUST BE 0 (NONE), 1, 2 OR 3 (BOTH LINES).");
  }
  check_layer(rep, C,
              {"TOP LAYER RECORD", "TOP-LAYER THICKNESS RECORDS", "TOP-LAYER MODULUS RECORDS",
               C.TH1, C.E1, C.PR1, C.GAM1, w.THN1, w.EN1});
  if (C.NLAYER == 1) return;
  check_layer(rep, C,
              {"BOTTOM LAYER RECORD", "BOTTOM-LAYER THICKNESS RECORDS",
               "BOTTOM-LAYER MODULUS RECORDS", C.TH2, C.E2, C.PR2, C.GAM2, w.THN2, w.EN2});
}

void check_subgrade(Report& rep, const Control& C, const Work& w) {
  static const Format kRadius(
      "/, /, 10X, '***THE RADIUS OF RELATIVE STIFFNESS COULD NOT BE COMPUTED: IT IS NOT A ', "
      "'FINITE NUMBER.', /, 10X, ' THE LAYER MODULUS AND THICKNESS AND THE SUBGRADE MODULUS ', "
      "'LIE TOO FAR APART', /, 10X, ' FOR THE RANGE OF NUMBERS OF THE PROGRAM (ABOUT 1E-308 TO ', "
      "'1E+308).', /, 10X, ' PROGRAM TERMINATED.'");
  const char* const kSupport = "A MODULUS OF SUBGRADE REACTION MUST NOT BE NEGATIVE.";
  if (C.ISUBGR == 8) {
    if (!(C.ESUB > 0.0)) {
      refuse(rep, C, {"CONTROL RECORD 6", "21-30", "YOUNG MODULUS OF SUBGRADE"}, C.ESUB,
             "THE ELASTIC SOLID NEEDS A POSITIVE YOUNG MODULUS.");
    }
    if (!poisson_ok(C.PRSUB))
      refuse(rep, C, {"CONTROL RECORD 6", "31-40", "POISSON RATIO OF SUBGRADE"}, C.PRSUB, kPoisson);
  } else {
    if (!(C.SUBK >= 0.0))
      refuse(rep, C, {"CONTROL RECORD 6", "11-20", "MODULUS OF SUBGRADE REACTION"}, C.SUBK,
             kSupport);
    if (C.SUBK == 0.0 && C.INMODE != 0 && !(C.KDEF >= 0.0))
      refuse(rep, C, {"SUBGRADE MODULUS RECORD", "1-10", "DEFAULT MODULUS"}, C.KDEF, kSupport);
    const std::size_t n = std::min(w.SKN.size(), static_cast<std::size_t>(std::max(C.NNODE, 0)));
    for (std::size_t i = 0; i < n; ++i) {
      if (!(w.SKN[i] >= 0.0)) {
        refuse_node(rep, C, "SUBGRADE MODULUS RECORDS", static_cast<int>(i + 1), "MODULUS",
                    w.SKN[i], kSupport);
      }
    }
  }
  if (C.ISUBGR == 9 && !(C.VSHEAR >= 0.0)) {
    refuse(rep, C, {"CONTROL RECORD 6", "21-30", "VLASOV SHEAR PARAMETER"}, C.VSHEAR,
           "THE VLASOV SHEAR PARAMETER MUST NOT BE NEGATIVE.");
  }
  if (!std::isfinite(C.RRS)) {
    rep.write(kRadius);
    STOP(rep, Ending::Refused);
  }
}

void check_tolerances(Report& rep, const Control& C) {
  static const Format kZero(
      "/, /, 10X, 'NOTE: TOL1 AND TOL2 ARE BOTH 0: THE ITERATION ENDS BEFORE ITS PASS LIMIT', "
      "I6, /, 10X, '      ONLY WHEN EVERY NODAL MODULUS COMES BACK UNCHANGED.'");
  const char* const kNegative = "A TOLERANCE OF THE ITERATION MUST NOT BE NEGATIVE.";
  if (C.ISUBGR < 0 || C.ISUBGR > 3 || C.ICURL != 0 || C.MAXIT <= 1) return;
  if (!(C.TOL1 >= 0.0)) refuse(rep, C, {"CONTROL RECORD 7", "11-15", "TOL1"}, C.TOL1, kNegative);
  if (!(C.TOL2 >= 0.0)) refuse(rep, C, {"CONTROL RECORD 7", "16-20", "TOL2"}, C.TOL2, kNegative);
  if (C.TOL1 == 0.0 && C.TOL2 == 0.0) rep.write(kZero, {C.MAXIT});
}

void check_dowel_bars(Report& rep, const Control& C, Axis a) {
  const JointInput& d = C.joint(a);
  const char* const record = a == Axis::x ? "X-DIRECTION DOWEL RECORD" : "Y-DIRECTION DOWEL RECORD";
  if (!(d.DO > 0.0)) {
    refuse(rep, C, {record, "11-20", "OUTSIDE DIAMETER"}, d.DO,
           "PLACED DOWELS NEED A POSITIVE OUTSIDE DIAMETER.");
  }
  if (!(d.DI >= 0.0 && d.DI < d.DO)) {
    refuse(rep, C, {record, "1-10", "INSIDE DIAMETER"}, d.DI,
           "THE INSIDE DIAMETER MUST BE 0 (SOLID BAR) OR POSITIVE AND BELOW THE OUTSIDE ONE.");
  }
  if (!(d.ED > 0.0)) refuse(rep, C, {record, "21-30", "MODULUS OF ELASTICITY"}, d.ED, kModulus);
  if (!(d.WJ >= 0.0)) {
    refuse(rep, C, {record, "41-50", "JOINT WIDTH"}, d.WJ, "A JOINT WIDTH MUST NOT BE NEGATIVE.");
  }
  if (!poisson_ok(d.PRD)) refuse(rep, C, {record, "51-60", "POISSON RATIO"}, d.PRD, kPoisson);
}

void check_interlock(Report& rep, const Control& C, Axis a) {
  const double AGG = C.joint(a).AGG;
  if (AGG >= 0.0) return;
  const char* const record = a == Axis::x ? "X-DIRECTION AGGREGATE INTERLOCK RECORD"
                                          : "Y-DIRECTION AGGREGATE INTERLOCK RECORD";
  refuse(rep, C, {record, "1-10", "AGGREGATE INTERLOCK FACTOR"}, AGG,
         "AN AGGREGATE INTERLOCK FACTOR MUST NOT BE NEGATIVE.");
}

void check_gap_counts(Report& rep, const Control& C) {
  const char* const kCount = "A NUMBER OF NODES MUST NOT BE NEGATIVE.";
  if (C.NZRP < 0) {
    refuse(rep, C, {"TEMPERATURE AND GAP RECORD", "1-5", "NODES WITH ZERO REACTIVE PRESSURE"},
           C.NZRP, kCount);
  }
  if (C.NGAPN < 0)
    refuse(rep, C, {"TEMPERATURE AND GAP RECORD", "6-10", "NODES WITH A GAP"}, C.NGAPN, kCount);
}

void check_displacements(Report& rep, const Control& C, std::span<const double> R) {
  static const Format kBad(
      "/, /, 10X, '***THE DISPLACEMENTS COULD NOT BE COMPUTED: THE ', A, ' OF NODE', I7, ' IS ', "
      "'NOT A FINITE NUMBER.', /, 10X, ' THE LOADS ARE TOO LARGE FOR THE STIFFNESS OF THE MODEL ', "
      "'(THE RANGE OF NUMBERS', /, 10X, ' OF THE PROGRAM ENDS NEAR 1E+308).', /, 10X, "
      "' PROGRAM TERMINATED.'");
  static const char* const kDof[3] = {"DEFLECTION", "X-ROTATION", "Y-ROTATION"};
  const std::size_t n = std::min(R.size(), static_cast<std::size_t>(std::max(C.NEQ, 0)));
  for (std::size_t i = 0; i < n; ++i) {
    if (std::isfinite(R[i])) continue;
    rep.write(kBad, {kDof[i % 3], static_cast<int>(i / 3 + 1)});
    STOP(rep, Ending::Refused);
  }
}

}  // namespace meridolan
