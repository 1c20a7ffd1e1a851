// Coordinates, node table, layer properties and subgrade: the first part of the
// model deck after the control records, read in deck order and echoed as read.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

#include "base/stop.h"
#include "driver/check_properties.h"
#include "driver/input.h"
#include "driver/node_values.h"
#include "driver/title.h"

namespace meridolan {

namespace {

// Integer shown for a coordinate in the node table: x + 0.5 truncated toward zero.
// Values far outside the three-column field only need to stay out of it.
int display_coordinate(double x) {
  const double t = std::trunc(x + 0.5);
  return static_cast<int>(std::clamp(t, -1.0e9, 1.0e9));
}

// "Node number, value" pairs for a per-node table.
std::vector<Item> node_pairs(std::span<const double> values) {
  std::vector<Item> list;
  list.reserve(2 * values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    list.emplace_back(static_cast<int>(i + 1));
    list.emplace_back(values[i]);
  }
  return list;
}

// Reads one value per node from a continued record. A segment shorter than NNODE (a
// bottom-layer segment when the slab has no second layer) keeps what fits; the deck
// lines are consumed and the table printed in full either way.
std::vector<double> read_per_node(Deck& deck, const Format& record, int nnode,
                                  std::vector<double>& a) {
  std::vector<double> values(static_cast<std::size_t>(std::max(nnode, 0)), 0.0);
  deck.read(record, targets(std::span<double>(values)));
  std::copy_n(values.begin(), std::min(values.size(), a.size()), a.begin());
  return values;
}

struct LayerFormats {
  const Format& record;  // the continued per-node record
  const Format& single;  // one value for every node
  const Format& table;   // heading and node table
};

// Thickness or modulus of a layer, given once (v != 0) or per node (v = 0). Without
// a deck of layer records (mode 0) the segment decides: a table when its entries
// differ, the single value otherwise.
void per_node_property(Deck& deck, Report& rep, const Control& C, double v, std::vector<double>& a,
                       const LayerFormats& f) {
  const std::size_t n = std::min(a.size(), static_cast<std::size_t>(std::max(C.NNODE, 0)));
  if (C.INMODE != 0) {
    if (v == 0.0) {
      const std::vector<double> values = read_per_node(deck, f.record, C.NNODE, a);
      rep.write(f.table, node_pairs(values));
      return;
    }
  } else if (any_differs(std::span<const double>(a.data(), n))) {
    rep.write(f.table, node_pairs(std::span<const double>(a.data(), n)));
    return;
  }
  std::fill(a.begin(), a.end(), v);
  rep.write(f.single, {v});
}

// Subgrade codes 0 to 9 are the only ones with a meaning; anything else would be
// analysed as a stress-dependent subgrade without a soil class.
void check_subgrade_type(Report& rep, const Control& C) {
  static const Format kBadType(
      "/, /, 20X, '***SUBGRADE TYPE', I4, ' IS NOT DEFINED; VALID TYPES ARE 0 TO 9.', /, 20X, "
      "' PROGRAM TERMINATED.', /, /");
  if (C.ISUBGR >= 0 && C.ISUBGR <= 9) return;
  rep.write(kBadType, {C.ISUBGR});
  STOP(rep, Ending::Refused);
}

void echo_mesh(Report& rep, const Control& C, Work& w) {
  static const Format kCounts(
      "/, /, 20X, 'NO. OF NODES IN SLABS ALONG X-AXIS     =', 10I5, /, /, 20X, "
      "'NO. OF NODES IN SLABS ALONG Y-AXIS     =', 10I5");
  static const Format kXCoord("/, /, 10X, 'X-COORDINATES ARE:', /, /, 10(3X, F10.3)");
  static const Format kYCoord("/, /, 10X, 'Y-COORDINATES ARE:', /, /, 10(3X, F10.3)");
  static const Format kNodeHead(
      "'1', /, /, 20X, 'COORDINATES OF EACH NODE (NODE NUMBER, X-COORDINATE, Y-COORDINATE:', "
      "/, /");
  static const Format kNodes("(3X, 10(I3, 1X, I3, 1X, I3))");
  static const Format kSlabs(
      "/, /, 10X, 'NO. OF SLABS =', I5, /, /, 10X, 'NO. OF LAYERS=', I5, /, /, 8X, "
      "'SYMMETRY INDEX =', I5");
  static const Format kComp("/, /, 10X, 'COMP. ACTION =', I5");

  std::vector<Item> counts;
  for (int n : C.NNX) counts.emplace_back(n);
  for (int n : C.NNY) counts.emplace_back(n);
  rep.write(kCounts, counts);
  rep.write(kXCoord, items(std::span<const double>(w.XC.data(), C.NXT)));
  rep.write(kYCoord, items(std::span<const double>(w.YC.data(), C.NYT)));
  rep.write(kNodeHead);

  // Nodes run along y first. Ten triples make a line, and every line starts with its
  // own three blanks, so each line is one write.
  for (int i = 0; i < C.NNODE; ++i) {
    const int ix = i / C.NYT;
    w.XN[i] = w.XC[ix];
    w.YN[i] = w.YC[i - C.NYT * ix];
  }
  const NodeDisplay shown = node_display(w.XN, w.YN);
  std::vector<Item> line;
  for (int i = 0; i < C.NNODE; ++i) {
    line.emplace_back(i + 1);
    line.emplace_back(shown.x[i]);
    line.emplace_back(shown.y[i]);
    if (line.size() == 30 || i + 1 == C.NNODE) {
      rep.write(kNodes, line);
      line.clear();
    }
  }

  rep.write(kSlabs, {C.NSLAB, C.NLAYER, C.ISYM});
  if (C.NLAYER != 1) rep.write(kComp, {C.ICOMP});
}

void read_layers(Deck& deck, Report& rep, Control& C, Work& w) {
  static const Format kLayer("F10.3, E10.3, 3F10.3, E10.3");
  static const Format kThickRec("8F10.3");
  static const Format kModRec("8E10.3");
  static const Format kTopHead("/, /, /, /, /, /, /, 10X, 'PROPERTIES OF THE TOP LAYER:', /, /");
  static const Format kTopPr("/, 10X, 'POISSON RATIO OF TOP LAYER=', F10.3");
  static const Format kTopTh("/, 10X, 'THICKNESS OF TOP LAYER    =', F10.3");
  static const Format kTopThTab(
      "/, /, 10X, 'THICKNESS OF TOP LAYER AT THE NODES IS:', /, /, 8(I5, F10.3)");
  static const Format kTopE("/, 10X, 'MODULUS OF TOP LAYER      =', E10.3");
  static const Format kTopETab(
      "/, /, 10X, 'MODULUS OF TOP LAYER AT THE NODES IS:', /, /, 8(I5, E10.3)");
  static const Format kBotHead("'1', /, /, /, /, 10X, 'PROPERTIES OF THE BOTTOM LAYER :', /, /");
  static const Format kBotPr("/, 10X, 'POISSON RATIO OF BOTTOM LAYER=', F10.3");
  static const Format kBotTh("/, 10X, 'THICKNESS OF BOTTOM LAYER    =', F10.3");
  static const Format kBotThTab(
      "/, /, 10X, 'THICKNESS OF BOTTOM LAYER AT THE NODES IS:', /, /, 8(I5, F10.3)");
  static const Format kBotE("/, 10X, 'MODULUS OF BOTTOM LAYER      =', E10.3");
  static const Format kBotETab(
      "/, /, 10X, 'MODULUS OF BOTTOM LAYER AT THE NODES IS:', /, /, 8(I5, E10.3)");

  rep.write(kTopHead);
  if (C.INMODE != 0) deck.read(kLayer, {C.TH1, C.E1, C.PR1, C.GAM1, C.DT1, C.ALF1});
  // A load analysis carries neither self-weight nor temperature.
  if (C.ICURL == 0) C.GAM1 = C.DT1 = C.ALF1 = 0.0;
  rep.write(kTopPr, {C.PR1});
  per_node_property(deck, rep, C, C.TH1, w.THN1, {kThickRec, kTopTh, kTopThTab});
  per_node_property(deck, rep, C, C.E1, w.EN1, {kModRec, kTopE, kTopETab});

  if (C.NLAYER == 1) {
    C.PR2 = 0.0;
    return;
  }
  rep.write(kBotHead);
  if (C.INMODE != 0) deck.read(kLayer, {C.TH2, C.E2, C.PR2, C.GAM2, C.DT2, C.ALF2});
  if (C.ICURL == 0) C.GAM2 = C.DT2 = C.ALF2 = 0.0;
  rep.write(kBotPr, {C.PR2});
  per_node_property(deck, rep, C, C.TH2, w.THN2, {kThickRec, kBotTh, kBotThTab});
  per_node_property(deck, rep, C, C.E2, w.EN2, {kModRec, kBotE, kBotETab});
}

void read_subgrade(Deck& deck, Report& rep, Control& C, Work& w) {
  static const Format kDefault("F10.3, I5");
  static const Format kPairs("6(I3, F10.3)");
  static const Format kHeadRead("/, /, 20X, 'SUBGRADE MODULUS AT THE NODES IS', /");
  static const Format kTableRead("8(I5, F10.3)");
  static const Format kTableMode0(
      "/, /, 10X, 'SUBGRADE MODULUS AT THE NODES IS:', /, /, 8(I5, F10.3)");
  static const Format kProps("/, /, /, /, 10X, 'PROPERTIES OF THE SUBGRADE'");
  static const Format kSubk("/, /, /, /, 7X, 'MODULUS OF SUBGRADE REACTION =', F10.3");
  static const Format kSolid(
      "/, /, /, /, 10X, 'YOUNG MODULUS OF SUBGRADE =', E10.3, /, /, 10X, "
      "'POISSON RATIO OF SUBGRADE =', F10.3");
  static const Format kVlasov("/, /, 10X, 'VLASOV SHEAR PARAMETER =', F15.3");
  static const Format kRrs("/, /, /, /, 10X, 'RADIUS OF RELAT. STIFFNESS=', F10.3");
  // One third rounded to single precision: the elastic-solid radius is formed with it.
  constexpr double kOneThird = 0.3333333432674408;

  const std::size_t nskn = std::min(w.SKN.size(), static_cast<std::size_t>(std::max(C.NNODE, 0)));
  bool uniform = true;  // one modulus for all nodes: its line and radius follow
  if (C.INMODE != 0) {
    if (C.SUBK == 0.0 && C.ISUBGR != 8) {
      uniform = false;
      deck.read(kDefault, {C.KDEF, C.NKSP});
      std::fill(w.SKN.begin(), w.SKN.end(), C.KDEF);
      if (C.NKSP > 0) {
        // A later pair for the same node wins.
        for (const NodeValue& p : read_node_values(deck, rep, kPairs, C.NKSP,
                                                   static_cast<int>(nskn), "SUBGRADE MODULUS"))
          w.SKN[p.node - 1] = p.value;
      }
      rep.write(kHeadRead);
      rep.write(kTableRead, node_pairs(std::span<const double>(w.SKN.data(), nskn)));
    } else {
      std::fill(w.SKN.begin(), w.SKN.end(), C.SUBK);
    }
  } else {
    if (any_differs(std::span<const double>(w.SKN.data(), nskn))) {
      uniform = false;
      rep.write(kTableMode0, node_pairs(std::span<const double>(w.SKN.data(), nskn)));
    } else {
      rep.write(kProps);
    }
  }

  if (uniform && C.ISUBGR != 8) {
    rep.write(kSubk, {C.SUBK});
    // The dense-liquid radius needs a single layer given by one thickness and one
    // modulus; without it the subgrade echo ends here.
    if (!(C.NLAYER == 1 && C.TH1 != 0.0 && C.E1 != 0.0)) {
      check_subgrade(rep, C, w);
      return;
    }
    C.RRS = std::pow(C.E1 * std::pow(C.TH1, 3.0) / (12.0 * (1.0 - std::pow(C.PR1, 2.0)) * C.SUBK),
                     0.25);
  }
  if (C.ISUBGR == 8) {
    rep.write(kSolid, {C.ESUB, C.PRSUB});
    if (C.NLAYER == 1) {
      C.RRS = std::pow(C.E1 * std::pow(C.TH1, 3.0) * (1.0 - std::pow(C.PRSUB, 2.0)) /
                           (6.0 * (1.0 - std::pow(C.PR1, 2.0)) * C.ESUB),
                       kOneThird);
    }
  }
  if (C.ISUBGR == 9) rep.write(kVlasov, {C.VSHEAR});
  check_subgrade(rep, C, w);
  if (C.RRS != 0.0) rep.write(kRrs, {C.RRS});
}

}  // namespace

NodeDisplay node_display(std::span<const double> XN, std::span<const double> YN) {
  NodeDisplay d;
  d.x.reserve(XN.size()), d.y.reserve(YN.size());
  for (double x : XN) d.x.push_back(display_coordinate(x));
  for (double y : YN) d.y.push_back(display_coordinate(y));
  return d;
}

void read_mesh(Deck& deck, Report& rep, Control& C, Work& w) {
  static const Format kCoord("8F10.3");
  deck.read(kCoord, targets(std::span<double>(w.XC.data(), C.NXT)));
  deck.read(kCoord, targets(std::span<double>(w.YC.data(), C.NYT)));
  TITLPG(rep, C);
  check_subgrade_type(rep, C);
  echo_mesh(rep, C, w);
  read_layers(deck, rep, C, w);
  check_layers(rep, C, w);
  read_subgrade(deck, rep, C, w);
  check_tolerances(rep, C);
}

}  // namespace meridolan
