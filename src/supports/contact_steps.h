// Steps shared by the two curling and gap analyses: the iteration line, the
// self-weight, the base load vector, the gap forces and the contact lists.
#pragma once

#include <span>

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// "ITERATION NUMBER IS" with the iteration number.
void print_iteration(Report& rep, int IC);

// Forms the self-weight SWT from the unit weights (QSUB must be formed), prints it
// and returns it (the analysis adds it to its total load).
double print_self_weight(Report& rep, const Control& C, const Work& w);

// Adds the loaded areas (when there are any) and the self-weight of every node's
// tributary area to the load vector R, then starts the iteration vector RSAV as a
// copy of R.
void add_base_loads(const Control& C, Work& w);

// Which gaps of the nodes in contact put a force on the load side. A spring held on
// the slab's deflection beyond its gap, w - g, reacts with k (w - g): its k g moves
// to the loads (k = SKN * QSUB, the modulus over the tributary area).
enum class GapForces {
  // Curling with contact iteration: every nonzero gap, as (SKN * QSUB) * GAPN.
  every_gap,
  // Winkler curling with a temperature difference, or of the self-weight alone: every
  // gap, curling distance included, as (GAPN * SKN) * QSUB.
  winkler_every_gap,
  // Winkler curling of loaded areas without a temperature difference: positive gaps
  // only. At a gap of 0 or below the spring acts on the whole deflection, as in a load
  // analysis on springs, while the results still measure the deflection and the
  // subgrade stress from the gap: with negative gaps the printed reactions exceed the
  // load by the pre-compression that was not applied. Kept as it is: reports of such
  // runs depend on it.
  winkler_positive_gaps,
};

// The Winkler rule for a run with (or without) a temperature difference and loaded
// areas.
GapForces winkler_gap_forces(bool temperature, bool loaded_areas);

// Adds the gap forces of the nodes in contact (ICON 0) to RSAV by the rule. Each
// analysis keeps its own order of the product, so its rounding stays as it was.
void add_gap_forces(GapForces rule, const Control& C, Work& w);

// The headings of the contact lists of one analysis: the count of changed nodes, the
// changed nodes, the nodes out of contact.
struct ContactListFormats {
  const Format& count;
  const Format& changed;
  const Format& out;
};

struct ContactCounts {
  int NCHG = 0, NOUT = 0;
};

// Lists the nodes whose contact flag differs from the previous iteration's (ICON
// against ICONP, one flag per node) and the nodes out of contact into `list`, and
// prints both lists under their headings, the count first.
ContactCounts print_contact_lists(Report& rep, std::span<const int> ICON,
                                  std::span<const int> ICONP, std::span<int> list,
                                  const ContactListFormats& f);

}  // namespace meridolan
