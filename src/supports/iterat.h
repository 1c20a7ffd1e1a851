// One update of the stress-dependent subgrade: the secant modulus of every node at
// its last deflection.
#pragma once

#include <span>
#include <vector>

#include "base/control.h"
#include "base/records.h"
#include "supports/soil_curve.h"

namespace meridolan {

// The soil curve of every node, chosen in the first update and kept for the whole
// run. Owned by the analysis driver; one per run.
struct SoilCurves {
  bool selected = false;        // the first update has run
  std::vector<SoilCurve> sets;  // parameter sets in use
  std::vector<int> node_set;    // per node: index into `sets`, or kSkipped
  static constexpr int kSkipped = -1;
};

// Replaces SKN(n) by the secant modulus K* of node n's curve at its deflection
// R(3n-2), counting the nodes whose ratio K*/SKN(n) lies off the band 1 +- TOL1 (a
// ratio on a bound is inside, one that is not finite is off). The first call
// chooses each node's curve: for ISUBGR 1 to 3 the built-in class ISUBGR at every
// node; for ISUBGR 0 by ISOIL(n): 0, 6 and 7 leave the node alone in every update,
// 2 to 4 take that built-in class, 5 reads the node's parameter card (6F10.5) from
// the deck, any other code class 1. Prints the node table when IPRIT != 0, a page
// throw after every 50 nodes and the ratio line. Returns RATOFF, the fraction of all
// nodes off the band. Stops the run on a card that does not define a curve, or a
// curve that gives no finite modulus at a node's deflection.
double ITERAT(Deck& deck, Report& rep, const Control& C, std::span<const double> R,
              std::span<double> SKN, std::span<const int> ISOIL, SoilCurves& curves);

// Reads past the parameter cards of code-5 nodes when no update has read them (a run
// that never updated), so that a record after them is read from its own place.
void skip_unread_cards(Deck& deck, const Control& C, std::span<const int> ISOIL,
                       const SoilCurves& curves);

}  // namespace meridolan
