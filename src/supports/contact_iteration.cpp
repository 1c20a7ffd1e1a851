// The contact iteration of the curling and gap analyses.
#include "supports/contact_iteration.h"

#include <algorithm>

#include "base/stop.h"
#include "supports/repeats.h"

namespace meridolan {

namespace {

const char* const kState = "CONTACT STATE";

int count_out(std::span<const int> ICON) {
  return static_cast<int>(std::count(ICON.begin(), ICON.end(), 1));
}

// The solution with which the iteration ends early (at its limit, or on a cycle): the
// settled counts for a support that prints its results from one more solution.
ContactCounts settled(const ContactState& s) {
  return {0, count_out(s.ICON)};
}

// Ends the run with a message naming the iteration when no node is in contact
// (ICON 0): nothing would hold the slab up.
void require_contact(Report& rep, std::span<const int> ICON, int IC) {
  static const Format kNone(
      "/, /, 10X, '***NO NODE OF THE SLAB IS IN CONTACT WITH THE SUBGRADE IN ITERATION', I4, "
      "'.', /, 10X, ' EVERY NODE HAS LIFTED OFF OR IS LISTED WITH ZERO INITIAL REACTIVE "
      "PRESSURE,', /, 10X, ' SO NOTHING HOLDS THE SLAB: CHECK THE LOADS, THE TEMPERATURE "
      "DIFFERENCE,', /, 10X, ' THE DENSITIES, THE GAPS AND THE ZERO-PRESSURE NODES.', /, 10X, "
      "' PROGRAM TERMINATED.'");
  if (std::find(ICON.begin(), ICON.end(), 0) != ICON.end()) return;
  rep.write(kNone, {IC});
  STOP(rep, Ending::Refused);
}

}  // namespace

// Step 1 solves the starting state; every later step IC classifies the nodes from the
// solution before it and, unless the iteration ends, solves the new state. ICYCLE = 0
// counts as 1.
bool contact_iteration(Report& rep, const Control& C, ContactState s, ContactSupport& support,
                       Results& res) {
  const ContactTexts& texts = support.texts();
  const bool by_solution = support.settles_by_solution();
  s.ICON = s.ICON.first(C.NNODE), s.ICONP = s.ICONP.first(C.NNODE);
  int IC = 1;
  ContactCounts n{1, count_out(s.ICON)};
  StateHistory seen;
  print_iteration(rep, IC);
  seen.cycle_end(rep, IC, std::span<const int>(s.ICON), C.ICYCLE, kState);
  const auto solve = [&](int step, bool print) {
    require_contact(rep, s.ICON, step);
    return support.solve(rep, step, n, print);
  };
  if (solve(IC, true)) return true;
  while (true) {
    ++IC;
    check_time_limit(rep, C);
    std::copy(s.ICON.begin(), s.ICON.end(), s.ICONP.begin());
    support.measure();
    support.classify(rep);
    n = print_contact_lists(rep, s.ICON, s.ICONP, s.ICHG, texts.lists);
    res.passes.push_back({IterationStep::Kind::Contact, IC - 1, 0.0, n.NCHG, n.NOUT});
    if (n.NCHG == 0 && !by_solution) return false;
    print_iteration(rep, IC);
    if (n.NCHG != 0 && IC > C.ICYCLE) {
      rep.write(texts.not_converged);
      // The flags were already recomputed from the last solution; the results must
      // show the state that solution was made with.
      support.back_to_last_state();
      if (!by_solution) return false;
      n = settled(s);
    } else if (const int at = n.NCHG == 0 ? 0
                                          : seen.cycle_end(rep, IC, std::span<const int>(s.ICON),
                                                           C.ICYCLE, kState)) {
      // A state met before: the limit would end on the solution of the state the
      // cycle holds there. That solution is made once more, without its listing.
      seen.recall(at, s.ICON);
      std::copy(s.ICON.begin(), s.ICON.end(), s.ICONP.begin());
      support.back_to_last_state();
      if (!by_solution) {
        std::copy(s.R.begin(), s.R.end(), s.RSAV.begin());
        solve(at, false);
        support.measure();
      }
      rep.write(texts.not_converged);
      if (!by_solution) return false;
      n = settled(s);
    }
    std::copy(s.R.begin(), s.R.end(), s.RSAV.begin());
    if (solve(IC, true)) return true;
  }
}

}  // namespace meridolan
