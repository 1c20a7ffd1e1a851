// The contact iteration of the curling and gap analyses, once for every support.
//
// A node is in contact (ICON 0) or out of it (ICON 1). Each step solves the slab with
// the support acting at the nodes in contact only, then classifies every node again
// from that solution; the iteration ends when a step changes no node, when ICYCLE
// solutions have been made, or when the contact state repeats one met before (it
// would then cycle for ever: the state the cycle holds at the limit is taken). The
// support decides how it is assembled and solved, how a solution is measured against
// the gaps, and what it prints; the iteration owns the order of the steps.
#pragma once

#include <span>

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"
#include "supports/contact_steps.h"

namespace meridolan {

// The contact state of one iteration: per node the flag of this step and of the
// step before, and the list the changed and lifted nodes are gathered in.
struct ContactState {
  std::span<int> ICON;   // 1 out of contact, 0 in contact
  std::span<int> ICONP;  // the flags the last solution was made with
  std::span<int> ICHG;   // workspace of the node lists
  // The deflection vectors: R holds the loads of every step, RSAV the solution.
  std::span<const double> R;
  std::span<double> RSAV;

  static ContactState of(Work& w) { return {w.ICON, w.ICONP, w.ICHG, w.R, w.RSAV}; }
};

// The texts that differ between the analyses: the headings of the contact lists and
// the warning at the iteration limit.
struct ContactTexts {
  ContactListFormats lists;
  const Format& not_converged;
};

// One support under the iteration.
class ContactSupport {
 public:
  virtual ~ContactSupport() = default;

  // Solves the slab for the loads in RSAV with the contact state in ICON (some node
  // is in contact), into RSAV, and prints the solution when `print`. `step` is the
  // iteration; `counts` are those of the classification before it. Returns true when
  // the support has finished the analysis (it printed the results itself).
  virtual bool solve(Report& rep, int step, const ContactCounts& counts, bool print) = 0;

  // Measures the solution in RSAV against the gaps, in the support's own sign
  // convention (the classification reads the measure, the results the solution).
  virtual void measure() = 0;

  // Flags every node from the measured solution (ICONP keeps the previous flags)
  // and prints what the support shows of it before the node lists.
  virtual void classify(Report& rep) = 0;

  // Returns to the state the last solution was made with (ICON from ICONP, and
  // whatever the support derived from the flags).
  virtual void back_to_last_state() = 0;

  // True for a support that prints its results from a solution of a settled state
  // (the elastic solid): a step that changes nothing, or the end of the iteration,
  // is followed by that solution instead of ending the iteration.
  virtual bool settles_by_solution() const { return false; }

  virtual const ContactTexts& texts() const = 0;
};

// The iteration from the contact state in ICON (the loads in R and RSAV). Returns true
// when the support finished the analysis; otherwise RSAV holds the last solution,
// measured, and ICON the contact state it was made with. Every classification is
// recorded in res.passes.
bool contact_iteration(Report& rep, const Control& C, ContactState s, ContactSupport& support,
                       Results& res);

}  // namespace meridolan
