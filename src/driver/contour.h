// The contour data file: the final deck record, then a file from which a separate
// contouring step draws maps of the results (mesh sizes and contour requests in a
// header, node coordinates, deflections and stresses in one stream of numbers).
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan {

// Reads the last record of the deck: ICONT2(1..6), one digit each, and CSCALE.
void read_contour_record(Deck& deck, Control& C);

// The 23 header integers, seven to a line: MEMCON, NNODE, NGRID, NNX(1..3),
// NNY(1..2), NSTRV, NXT, NYT, ICONT(1..6), ICONT2(1..6).
void contour_header(Report& cnt, const Control& C);

// The 1 + 6*NNODE data values, eight to a line: CSCALE, XN, YN, the deflections,
// then the x-stress, major and minor principal stress at the bottom of the top layer.
void contour_data(Report& cnt, const Control& C, const Work& w);

// Header and data with the values of the last pass. A pass that printed no stresses
// did not compute them: they are computed here from its displacements first, so the
// file never holds stale or unset stresses.
void write_contour_file(Report& cnt, const Control& C, Work& w);

}  // namespace meridolan
