// The results routine of one analysis pass, section by section: each section's
// table is computed, then printed.
#include "results/stress.h"

#include "results/deflections.h"
#include "results/extremes.h"
#include "results/joint_transfer.h"
#include "results/layer_stress.h"
#include "results/results_layout.h"
#include "results/stress_table.h"

namespace meridolan {
namespace {

// Deflections, reactions and (type 9) the Vlasov stresses. Returns false when this
// pass prints no stresses.
bool deflection_section(Report& rep, const Control& C, int ITNO, Work& w, Results& res) {
  res.extremes = ExtremeValues{};
  res.has_stresses = false;
  res.has_extremes = false;
  results::tributary_areas(C, w);
  results::node_table(C, w, res.nodes, res.extremes);
  if (C.ISUBGR == 9) results::vlasov_table(C, w, res.vlasov, res.extremes);
  results::deflection_headings(rep, C, w.solid_distributed_coupling);
  results::print_node_table(rep, res.nodes);
  if (C.ISUBGR == 9) results::print_vlasov_table(rep, res.vlasov);
  return stress_gate_open(C, ITNO);
}

// Curling runs report deflections from the initially flat surface: the gap is
// taken off the vector itself, so later users see the same values. The elastic solid
// measures its deflections from the flat interface already.
void remove_gaps(const Control& C, Work& w) {
  if (C.ISUBGR == 8) return;
  for (int n = 1; n <= C.NNODE; ++n) results::defl(w.R, n) -= w.GAPN[n - 1];
}

}  // namespace

bool stress_gate_open(const Control& C, int ITNO) {
  return !(C.IPRIT == 0 && C.MAXIT != ITNO);
}

void STRESS(Report& rep, const Control& C, int ITNO, Work& w, Results& res) {
  // The final print after a converged iteration repeats only the stresses and
  // continues the extreme-value searches of the previous pass.
  w.stresses_current = false;
  if (ITNO != kConvergedRepeat && !deflection_section(rep, C, ITNO, w, res)) return;

  results::nodal_stresses(C, w);
  results::layer_faces(C, w, res.layers);
  res.has_stresses = true;

  // Joints carry load only between several slabs; their section comes between the
  // stress computation and the stress table.
  if (C.NSLAB != 1) {
    results::joint_transfer(C, w, res.joints);
    results::print_joint_transfer(rep, C, res.joints);
  }

  results::print_stress_table(rep, C, w, res.layers);
  if (C.ICURL != 0) remove_gaps(C, w);
  results::search_extremes(C, w, res.extremes);
  if (C.ISUBGR != 8) {
    res.has_extremes = true;
    MAXIMA(rep, C, res.extremes, res.extremes.reaction_sum, C.TOTLD);
  }
}

}  // namespace meridolan
