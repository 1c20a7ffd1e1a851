// Load carried across the joints of a model of several slabs.
#pragma once

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"

namespace meridolan::results {

// Computes the dowel loads (TDX, TDY) and aggregate-interlock loads (TAX, TAY) of every
// joint node pair from the displacements, with exactly the terms the joint elements of
// the stiffness carry, and prints the x-direction joints, then the y-direction joints.
void joint_transfer(Report& rep, Control& C, Work& w);

}  // namespace meridolan::results
