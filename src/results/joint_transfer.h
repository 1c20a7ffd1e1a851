// Load carried across the joints of a model of several slabs.
#pragma once

#include <vector>

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"

namespace meridolan::results {

// Computes the dowel loads (TDX, TDY) and aggregate-interlock loads (TAX, TAY) of every
// joint node pair from the displacements, with exactly the terms the joint elements of
// the stiffness carry: one table per joint line, the x-direction joints first.
void joint_transfer(const Control& C, Work& w, std::vector<JointTable>& joints);

// The load-transfer section of the report: x-direction joints, then y-direction joints.
void print_joint_transfer(Report& rep, const Control& C, const std::vector<JointTable>& joints);

}  // namespace meridolan::results
