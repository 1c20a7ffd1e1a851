#include "supports/iterat.h"

#include <cmath>

#include "base/stop.h"

namespace meridolan {
namespace {

constexpr int kCardCode = 5;  // soil code of a node whose curve is read from the deck
constexpr int kBlock = 50;    // nodes per page of the update

SoilCurve read_card(Deck& deck) {
  static const Format kCard("6F10.5");
  SoilCurve c;
  deck.read(kCard, {c.CEXP, c.REXP, c.XLIN, c.SLOPE, c.KLIN, c.DY});
  return c;
}

// A blank or mistyped card (DY of zero) would turn every ratio of the node into NaN
// and pass for a converged run: the card is refused instead.
[[noreturn]] void refuse_card(Report& rep, int n, const SoilCurve& c) {
  static const Format kBadCard(
      "/, /, 10X, '***THE SOIL PARAMETER CARD OF NODE', I6, ' DOES NOT DEFINE A CURVE:', /, "
      "10X, ' CEXP, REXP, XLIN, SLOPE, KLIN, DY =', 6E12.4, /, 10X, "
      "' DY MUST BE NONZERO, AND KLIN/DY AND EVERY VALUE FINITE.', /, 10X, "
      "' PROGRAM TERMINATED.'");
  rep.write(kBadCard, {n, c.CEXP, c.REXP, c.XLIN, c.SLOPE, c.KLIN, c.DY});
  STOP(rep, Ending::Refused);
}

// A curve that overflows at the node's deflection: a modulus that is not finite
// would only carry into a stiffness without meaning.
[[noreturn]] void refuse_modulus(Report& rep, int n, double w) {
  static const Format kBadModulus(
      "/, /, 10X, '***THE SOIL CURVE OF NODE', I6, ' GIVES NO FINITE SUBGRADE MODULUS AT ', "
      "'DEFLECTION', E12.4, /, 10X, ' PROGRAM TERMINATED.'");
  rep.write(kBadModulus, {n, w});
  STOP(rep, Ending::Refused);
}

// The sets every node may choose from: the class of the subgrade type, or for type 0
// the four built-in classes (cards read later are added behind them).
void start_selection(const Control& C, SoilCurves& curves) {
  curves.sets.clear();
  if (C.ISUBGR == 0)
    for (int cls = 1; cls <= 4; ++cls) curves.sets.push_back(builtin_class(cls));
  else
    curves.sets.push_back(builtin_class(C.ISUBGR));
  curves.node_set.assign(C.NNODE, SoilCurves::kSkipped);
}

// The set of node n, chosen once; a card read here belongs to node n alone.
int choose_set(Deck& deck, Report& rep, const Control& C, int n, std::span<const int> ISOIL,
               SoilCurves& curves) {
  if (C.ISUBGR != 0) return 0;
  const int code = ISOIL[n - 1];
  if (code == 0 || code == 6 || code == 7) return SoilCurves::kSkipped;
  if (code == kCardCode) {
    const SoilCurve c = read_card(deck);
    if (!curve_defined(c)) refuse_card(rep, n, c);
    curves.sets.push_back(c);
    return static_cast<int>(curves.sets.size()) - 1;
  }
  return (code >= 2 && code <= 4 ? code : 1) - 1;
}

}  // namespace

double ITERAT(Deck& deck, Report& rep, const Control& C, std::span<const double> R,
              std::span<double> SKN, std::span<const int> ISOIL, SoilCurves& curves) {
  static const Format kHead(
      "/, 21X, 'NODE', 8X, 'DEFLECTION / DY', 5X, 'NEW SUBGR.MOD.K*', 10X, 'K*/K', 9X, "
      "'NO. OF PTS OFF TOL1', /, /");
  static const Format kLine("20X, I5, 3F20.5, I20");
  static const Format kRatio(
      "/, /, /, 5X, 'RATIO OF NO. OF PTS OFF TOL1', ' TO TOTAL NO. OF NODES=', F15.5, /, '1'");

  const double upper = 1.0 + C.TOL1;
  const double lower = 1.0 - C.TOL1;
  const bool first = !curves.selected;
  if (first) start_selection(C, curves);
  if (C.IPRIT != 0) rep.write(kHead);

  int noff = 0;
  for (int n = 1; n <= C.NNODE; ++n) {
    int& set = curves.node_set[n - 1];
    if (first) set = choose_set(deck, rep, C, n, ISOIL, curves);
    if (set != SoilCurves::kSkipped) {
      const SoilCurve& c = curves.sets[set];
      const double w = R[3 * (n - 1)];
      const double k = secant_modulus(c, w);
      if (!std::isfinite(k)) refuse_modulus(rep, n, w);
      const double q = k / SKN[n - 1];
      if (!(q >= lower && q <= upper)) ++noff;  // NaN and infinite ratios are off
      SKN[n - 1] = k;
      if (C.IPRIT != 0) rep.write(kLine, {n, w / c.DY, k, q, noff});
    }
    if (n % kBlock == 0 || n == C.NNODE) new_page(rep);
  }
  curves.selected = true;

  const double ratoff = static_cast<double>(noff) / C.NNODE;
  rep.write(kRatio, {ratoff});
  return ratoff;
}

void skip_unread_cards(Deck& deck, const Control& C, std::span<const int> ISOIL,
                       const SoilCurves& curves) {
  if (C.ISUBGR != 0 || curves.selected) return;
  for (int n = 1; n <= C.NNODE; ++n)
    if (ISOIL[n - 1] == kCardCode) read_card(deck);
}

}  // namespace meridolan
