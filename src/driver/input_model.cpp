// Joints and dowels, loaded areas, soil classes, temperature and gap records: the
// rest of the model deck, read after the mesh, layers and subgrade.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <span>
#include <vector>

#include "base/stop.h"
#include "driver/check_properties.h"
#include "driver/input.h"
#include "driver/node_values.h"
#include "loads/subare.h"
#include "model/joint.h"

namespace meridolan {

namespace {

// A loaded area of no width or no length carries no load; most likely one of its
// limits is a slip (x2 typed as x1).
void warn_empty_area(const Deck& deck, double x1, double x2, double y1, double y2) {
  auto same = [&](double a, double b, int first, const char* what) {
    if (a != b) return;
    char text[64];
    std::snprintf(text, sizeof text, "%.10g %.10g", a, b);
    deck.warn(deck.line_number(), first, first + 19, text,
              std::string("gives the loaded area no ") + what + ": it carries no load");
  };
  same(x1, x2, 11, "width (X1 = X2)");
  same(y1, y2, 31, "length (Y1 = Y2)");
}

// A list that would not fit its segment cannot be stored; the run ends instead.
void check_list_length(Report& rep, const char* what, int count, std::size_t room) {
  static const Format kTooMany(
      "/, /, 20X, '***', A, ':', I6, ' ENTRIES GIVEN, AT MOST', I6, ' CAN BE STORED.', /, 20X, "
      "' PROGRAM TERMINATED.', /, /");
  if (count <= static_cast<int>(room)) return;
  rep.write(kTooMany, {what, count, static_cast<int>(room)});
  STOP(rep, Ending::Refused);
}

// The echo texts of the joints of one direction.
struct JointText {
  const Format& heading;
  const Format& list;
  const char* list_name;
};

// Dowels that are placed must be held by the concrete: without that spring their
// bending terms act on their own and the model has no meaning. Dowels that are not
// placed at all leave the joint to aggregate interlock; the user is told so.
void check_dowels(Report& rep, const JointInput& j, Axis a) {
  static const Format kNoSupport(
      "/, /, 10X, '***DOWEL-CONCRETE INTERACTION IN ', A1, '-DIRECTION IS', E10.3, "
      "': IT MUST BE POSITIVE', /, 10X, ' FOR THE DOWELS TO CARRY LOAD.', /, 10X, "
      "' PROGRAM TERMINATED.'");
  static const Format kNotPlaced(
      "/, /, 10X, '***WARNING: NO DOWEL IS PLACED IN ', A1, '-DIRECTION (SPACING NOT POSITIVE ', "
      "'AND NO NODES LISTED);', /, 10X, ' THE DOWELS OF THESE JOINTS CARRY NO LOAD.'");
  if (j.dowels_placed()) {
    if (j.KDC > 0.0) return;
    rep.write(kNoSupport, {axis_letter(a), j.KDC});
    STOP(rep, Ending::Refused);
  }
  rep.write(kNotPlaced, {axis_letter(a)});
}

void read_joint(Deck& deck, Report& rep, Control& C, Axis a, std::vector<int>& NDOW,
                const JointText& text) {
  static const Format kSteel("/, /, /, 10X, 'TYPE OF LOAD TRANSFER: STEEL BARS'");
  static const Format kAggregate("/, /, /, 10X, 'TYPE OF LOAD TRANSFER: AGGREGATE INTERLOCK'");
  static const Format kBoth(
      "/, /, /, 10X, 'TYPE OF LOAD TRANSFER: COMBINATION OF AGGREGATE INTERLOCK ', "
      "'AND STEEL BARS'");
  static const Format kDowelRec("2F10.3, E10.3, 3F10.3, E10.3");
  static const Format kDowels(
      "/, /, /, 10X, 'PROPERTIES OF THE DOWEL BARS:', /, /, 27X, 'INSIDE DIA.=', F10.3, /, 26X, "
      "'OUTSIDE DIA.=', F10.3, /, 17X, 'MODULUS OF ELASTICITY=', E10.3, /, 31X, 'SPACING=', "
      "F10.3, /, 23X, 'POISSON RATIO =', F10.3, /, 12X, 'DOWEL-CONCRETE INTERACTION=', E10.3, /, "
      "/, /, 27X, 'JOINT WIDTH=', F10.3");
  static const Format kCount("I5");
  static const Format kNodes("16I5");
  static const Format kAggRec("E10.3");
  static const Format kAgg("/, /, 10X, 'AGGREGATE INTERLOCK FACTOR=', E10.3");

  JointInput& j = C.joint(a);
  rep.write(text.heading);
  if (j.LT == 1) rep.write(kSteel);
  if (j.LT == 0) rep.write(kAggregate);
  if (j.LT == 2) rep.write(kBoth);

  if (j.LT != 0) {
    if (C.INMODE != 0) deck.read(kDowelRec, {j.DI, j.DO, j.ED, j.SP, j.WJ, j.PRD, j.KDC});
    rep.write(kDowels, {j.DI, j.DO, j.ED, j.SP, j.PRD, j.KDC, j.WJ});
    j.ND = 0;
    if (j.SP == 0.0) {
      deck.read(kCount, {j.ND});
      if (j.ND > 0) {
        // Several joints in one direction list the near-face nodes of all of them,
        // more than the segment was sized for: the list is kept whole, up to one entry
        // per node (the memory report still shows the segment's own length).
        check_list_length(rep, text.list_name, j.ND, std::max<std::size_t>(C.NNODE, NDOW.size()));
        if (NDOW.size() < static_cast<std::size_t>(j.ND)) NDOW.resize(j.ND);
        const std::span<int> nodes(NDOW.data(), static_cast<std::size_t>(j.ND));
        deck.read(kNodes, targets(nodes));
        rep.write(text.list, items(std::span<const int>(nodes)));
      }
    }
    // Section properties of the dowel: moment of inertia, effective shear area
    // (solid or hollow bar) and shear-deformation factor. The multipliers are the
    // single-precision values of pi/64, 0.9 pi/4 and its hollow-bar counterpart.
    j.DIN = 0.04908699914813042 * (std::pow(j.DO, 4.0) - std::pow(j.DI, 4.0));
    if (j.DI == 0.0) {
      j.AS = 0.7068579792976379 * std::pow(j.DO, 2.0);
    } else {
      j.AS = 0.350616991519928 * std::pow(std::pow(j.DO, 2.0) + std::pow(j.DI, 2.0), 2.0) *
             (j.DO - j.DI) / std::pow(j.DO + j.DI, 3.0);
    }
    // PHI is formed with the width as read. Only a width whose square vanishes (zero)
    // would leave it unbounded; that one is taken at the dowel width. A narrow nonzero
    // width is floored by the dowel terms alone.
    const double wj = std::pow(j.WJ, 2.0) == 0.0 ? dowel_width(j) : j.WJ;
    j.PHI = 24.0 * (1.0 + j.PRD) * j.DIN / (std::pow(wj, 2.0) * j.AS);
    if (j.dowels_placed()) check_dowel_bars(rep, C, a);
    check_dowels(rep, j, a);
  }

  if (j.LT != 1) {
    if (C.INMODE != 0) deck.read(kAggRec, {j.AGG});
    rep.write(kAgg, {j.AGG});
    check_interlock(rep, C, a);
  }
}

void read_joints(Deck& deck, Report& rep, Control& C, Work& w) {
  static const Format kHeadX(
      "'1', /, /, 10X, '********** LOAD TRANSFER IN X-DIRECTION ', '********'");
  static const Format kHeadY(
      "/, /, /, /, /, /, 10X, '********** LOAD TRANSFER IN Y-DIRECTION ', '********'");
  static const Format kListX(
      "10X, 'DOWELS ARE LOCATED AT THE FOLLOWING NODES IN X-DIRECTION', /, 10X, 16I5");
  static const Format kListY(
      "10X, 'DOWELS ARE LOCATED AT THE FOLLOWING NODES IN Y-DIRECTION', /, 10X, 16I5");
  static const JointText kText[2] = {{kHeadX, kListX, "DOWEL NODES IN X-DIRECTION"},
                                     {kHeadY, kListY, "DOWEL NODES IN Y-DIRECTION"}};

  if (C.NSLAB == 1) return;
  for (Axis a : kAxes)
    if (C.has_joints(a))
      read_joint(deck, rep, C, a, a == Axis::x ? w.NDOWX : w.NDOWY, kText[axis_index(a)]);
}

void read_loads(Deck& deck, Report& rep, Control& C, Work& w) {
  static const Format kAreaRec("5F10.3");
  static const Format kAreasHead(
      "/, /, /, /, 10X, 'LOADED AREAS AS SPECIFIED WITH RESPECT TO', ' GLOBAL COORDINATE "
      "SYSTEM:', /, /, /, 22X, 'PRESSURE', 2X, 'X1-COOR.', 2X, 'X2-COOR.', 2X, 'Y1-COOR.', 2X, "
      "'Y2-COOR.'");
  static const Format kArea("/, 20X, 5F10.3");
  static const Format kSubHead(
      "'1', /, /, 10X, 'LOADED SUBAREAS GENERATED WITH RESPECT TO', ' MESH SPECIFIED AND LOCAL "
      "COORDINATE SYSTEM:', /, /, /, 13X, 'ELEMENT', 2X, 'PRESSURE', 2X, 'X1-COOR.', 2X, "
      "'X2-COOR.', 2X, 'Y1-COOR.', 2X, 'Y2-COOR.', /");
  static const Format kSub("12X, I5, 3X, 5F10.3");
  static const Format kTotal("10X, 'TOTAL APPLIED LOAD IS', F10.3");

  C.NSUB = 0;
  C.TOTLD = 0.0;
  if (C.INMODE != 0 && C.NLAREA == 0) return;

  if (C.INMODE != 0) {
    for (int i = 0; i < C.NLAREA; ++i) {
      deck.read(kAreaRec, {w.PA[i], w.XA1[i], w.XA2[i], w.YA1[i], w.YA2[i]});
      warn_empty_area(deck, w.XA1[i], w.XA2[i], w.YA1[i], w.YA2[i]);
    }
  }
  rep.write(kAreasHead);
  for (int i = 0; i < C.NLAREA; ++i)
    rep.write(kArea, {w.PA[i], w.XA1[i], w.XA2[i], w.YA1[i], w.YA2[i]});

  SUBARE(rep, C, w);

  rep.write(kSubHead);
  for (int k = 0; k < C.NSUB; ++k) {
    rep.write(kSub, {w.NES[k], w.PS[k], w.XS1[k], w.XS2[k], w.YS1[k], w.YS2[k]});
    C.TOTLD += w.PS[k] * (w.XS2[k] - w.XS1[k]) * (w.YS2[k] - w.YS1[k]);
  }
  rep.write(kTotal, {C.TOTLD});
  new_page(rep);
}

// Soil classes, zero-pressure nodes and initial gaps: read here, echoed by the
// analyses that use them.
void read_special(Deck& deck, Report& rep, Control& C, Work& w) {
  static const Format kSoil("8I5");
  static const Format kTemp("3I5");
  static const Format kZrp("16I5");
  static const Format kGaps("5(I5, F10.3)");

  if (C.INMODE == 0) return;
  if (C.ISUBGR == 0) deck.read(kSoil, targets(std::span<int>(w.ISOIL.data(), C.NNODE)));
  if (C.ICURL == 0) return;

  deck.read(kTemp, {C.NZRP, C.NGAPN, C.ICYCLE});
  check_gap_counts(rep, C);
  if (C.NZRP != 0) {
    check_list_length(rep, "NODES WITH ZERO INITIAL REACTIVE PRESSURE", C.NZRP, w.IZRP.size());
    const std::size_t n = C.NZRP > 0 ? static_cast<std::size_t>(C.NZRP) : 0;
    deck.read(kZrp, targets(std::span<int>(w.IZRP.data(), n)));
    check_nodes(rep, std::span<const int>(w.IZRP.data(), n), C.NNODE,
                "ZERO INITIAL REACTIVE PRESSURE");
  }
  std::fill(w.GAPN.begin(), w.GAPN.end(), 0.0);
  std::fill(w.ICON.begin(), w.ICON.end(), 0);
  if (C.NGAPN != 0) {
    check_list_length(rep, "NODES WITH AN INITIAL GAP", C.NGAPN, w.IGAPN.size());
    const std::vector<NodeValue> gaps =
        read_node_values(deck, rep, kGaps, C.NGAPN, C.NNODE, "INITIAL GAP");
    for (std::size_t i = 0; i < gaps.size(); ++i) {
      w.IGAPN[i] = gaps[i].node;
      w.GAPN[gaps[i].node - 1] = gaps[i].value;
    }
  }
}

}  // namespace

void read_joints_and_loads(Deck& deck, Report& rep, Control& C, Work& w) {
  read_joints(deck, rep, C, w);
  if (C.ICURL == 0) new_page(rep);
  C.GSH = {(1.0 - C.PR1) / 2.0, (1.0 - C.PR2) / 2.0};
  read_loads(deck, rep, C, w);
  read_special(deck, rep, C, w);
}

}  // namespace meridolan
