// Slab on an elastic solid (subgrade type 8): solution and results.
#pragma once

#include <span>
#include <vector>

#include "base/control.h"
#include "base/records.h"
#include "base/work.h"
#include "results/tables.h"
#include "supports/surface_points.h"

namespace meridolan {

// The plate on the elastic solid for one contact state: the surface points the slab
// rests on (every node in the load analysis; the nodes in contact, ICON not 1, in a
// contact analysis), their gaps, and the inverse of their flexibility, the subgrade
// stiffness between their deflections.
struct SolidSystem {
  SurfacePoints points;
  std::vector<double> gaps;  // mean gap of each point (all 0 in the load analysis)
  BandVector Finv;           // packed upper triangle, points.count() rows
  bool distributed =
      false;  // formed from spread loads (the point loads' was not positive definite)
};

// Adds the subgrade stiffness of the elastic solid to the plate stiffness that STIFF
// and SYMTRY left in the band store, and solves the full system in packed form
// (w.SKP) for R. In the load analysis (ICURL = 0) the loads are added to R here; in a
// contact analysis R arrives with the loads and receives the forces of the gaps (the
// solid acts on the deflections beyond them). A matrix that is not positive
// definite ends the run with a message.
SolidSystem SOLIDS(Report& rep, const Control& C, Work& w, std::span<double> R);

// Prints the results of the solution in w.R (its contact state solved by SOLIDS into
// w.R): the deflections and stresses, the subgrade stresses and the summary, their
// tables into `res`.
void solid_results(Report& rep, const Control& C, Work& w, const SolidSystem& s, Results& res);

// The load analysis on the elastic solid: SOLIDS for w.R, then its results.
void ELSOLD(Report& rep, const Control& C, Work& w, Results& res);

}  // namespace meridolan
