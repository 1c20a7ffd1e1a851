// Steps shared by the two curling and gap analyses: the iteration line, the check
// that some node still holds the slab, the base load vector and the stiffness of
// one contact state.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// "ITERATION NUMBER IS" with the iteration number.
void print_iteration(Report& rep, int IC);

// Forms the self-weight SWT from the unit weights (QSUB must be formed), prints it,
// adds it to TOTLD and returns it.
double print_self_weight(Report& rep, Control& C, const Work& w);

// Ends the run with a message naming the iteration when no node is in contact
// (ICON = 0): nothing would hold the slab up.
void require_contact(Report& rep, const Control& C, const Work& w, int IC);

// Adds the loaded areas (when there are any) and the self-weight of every node's
// tributary area to the load vector R, then starts the iteration vector RSAV as a
// copy of R.
void add_base_loads(const Control& C, Work& w);

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
// against ICONP) and the nodes out of contact into ICHG, and prints both lists under
// their headings, the count first.
ContactCounts print_contact_lists(Report& rep, const Control& C, Work& w,
                                  const ContactListFormats& f);

}  // namespace meridolan
