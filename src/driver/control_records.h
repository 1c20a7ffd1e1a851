// Control records at the head of the deck, the model dimensions derived from them
// and the memory check.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/control.h"
#include "base/records.h"

namespace meridolan {

// Reads control records 1 to 10 (as the input mode and the mesh require) and
// applies the defaults of the joint-stiffness switches.
void read_control(Deck& deck, Control& C);

// Node lines in x and y, slab columns, slab rows and slabs from the node counts of
// control records 4 and 5.
void derive_counts(Control& C);

// Node counts that no mesh can have (negative entries, fewer than two node lines in
// a direction, a slab of one node line, an empty slab before a later one) or a
// negative number of loaded areas: prints a message and stops.
void check_counts(Report& rep, Control& C);

// Derives every model dimension and segment length, MEMREQ and MEMCON, in exact
// arithmetic: a size too large for the work array is caught by the check, never
// wrapped. Counts are stored only when the model fits.
void derive_dimensions(Control& C);

// The memory check in its order; may print the title page and stop. A mesh of more
// nodes than the report's tables can number is refused after the check of the work
// array, with a message.
void check_memory(Report& rep, Control& C);

// Words of the work array the model of a deck needs: the sum of the segment lengths
// that the memory report prints and the memory check compares with the limit. Only
// the control records at the head of the deck text are read. Throws ReadError when
// one of them cannot be read, and std::invalid_argument (with the report's message)
// for node counts that no mesh can have.
std::int64_t model_memory_words(std::string_view deck);

}  // namespace meridolan
