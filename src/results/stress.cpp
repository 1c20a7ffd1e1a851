// The results routine of one analysis pass, section by section.
#include "results/stress.h"

#include "results/deflections.h"
#include "results/extremes.h"
#include "results/joint_transfer.h"
#include "results/layer_stress.h"
#include "results/results_layout.h"
#include "results/stress_table.h"

namespace meridolan {
namespace {

void reset_extremes(Extremes& e) {
  e.VEXT.fill(0.0);
  e.NODEXT.fill(0);
  e.SUMR = 0.0;
}

// Deflections, reactions and (type 9) the Vlasov stresses. Returns false when this
// pass prints no stresses.
bool deflection_section(Report& rep, const Control& C, Work& w) {
  results::deflection_headings(rep, C);
  if (C.ISUBGR == 8 && w.solid_distributed_coupling) results::distributed_coupling_notice(rep);
  reset_extremes(w.ext);
  results::tributary_areas(C, w);
  results::deflection_table(rep, C, w);
  if (C.ISUBGR == 9) results::vlasov_table(rep, C, w);
  return stress_gate_open(C);
}

// Curling runs report deflections from the initially flat surface: the gap is
// taken off the vector itself, so later users see the same values.
void remove_gaps(const Control& C, Work& w) {
  for (int n = 1; n <= C.NNODE; ++n) results::defl(w.R, n) -= w.GAPN[n - 1];
}

}  // namespace

bool stress_gate_open(const Control& C) {
  return !(C.IPRIT == 0 && C.MAXIT != C.ITNO);
}

void STRESS(Report& rep, Control& C, Work& w) {
  // The final print after a converged iteration (ITNO = -1) repeats only the
  // stresses and continues the extreme-value searches of the previous pass.
  w.stresses_current = false;
  if (C.ITNO != -1 && !deflection_section(rep, C, w)) return;

  results::nodal_stresses(C, w);

  // Joints carry load only between several slabs; their section comes between the
  // stress computation and the stress table.
  if (C.NSLAB != 1) results::joint_transfer(rep, C, w);

  results::stress_table(rep, C, w);
  if (C.ICURL != 0) remove_gaps(C, w);
  results::search_extremes(C, w);
  if (C.ISUBGR != 8) MAXIMA(rep, C, w.ext, w.ext.SUMR, C.TOTLD);
}

}  // namespace meridolan
