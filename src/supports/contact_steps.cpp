// Steps shared by the two curling and gap analyses.
#include "supports/contact_steps.h"

#include <algorithm>

#include "base/stop.h"
#include "loads/load.h"
#include "model/stiff.h"
#include "model/symtry.h"
#include "supports/curl_data.h"
#include "supports/node_tables.h"

namespace meridolan {

void print_iteration(Report& rep, int IC) {
  static const Format kIter("/, 5X, 'ITERATION NUMBER IS', I4, /");
  rep.write(kIter, {IC});
}

double print_self_weight(Report& rep, const Control& C, const Work& w) {
  static const Format kSwt("/, /, 5X, 'SLAB SELF-WEIGHT                =', F10.3");
  const double SWT = self_weight(C, w);
  rep.write(kSwt, {SWT});
  return SWT;
}

void add_base_loads(const Control& C, Work& w) {
  if (C.NLAREA != 0) {
    const Subareas sub{w.NES, w.PS, w.XS1, w.YS1, w.XS2, w.YS2};
    LOAD(C, sub, w.XN, w.YN, w.R);
  }
  for (int n = 1; n <= C.NNODE; ++n) w.R[3 * (n - 1)] += w.QSUB[n - 1] * unit_weight(C, w, n);
  std::copy(w.R.begin(), w.R.end(), w.RSAV.begin());
}

GapForces winkler_gap_forces(bool temperature, bool loaded_areas) {
  return temperature || !loaded_areas ? GapForces::winkler_every_gap
                                      : GapForces::winkler_positive_gaps;
}

void add_gap_forces(GapForces rule, const Control& C, Work& w) {
  for (int n = 1; n <= C.NNODE; ++n) {
    if (w.ICON[n - 1] != 0) continue;
    const double g = w.GAPN[n - 1], k = w.SKN[n - 1], q = w.QSUB[n - 1];
    double& f = w.RSAV[3 * (n - 1)];
    switch (rule) {
      case GapForces::every_gap:
        if (g != 0.0) f += k * q * g;
        break;
      case GapForces::winkler_positive_gaps:
        if (g > 0.0) f += g * k * q;
        break;
      case GapForces::winkler_every_gap:
        f += g * k * q;
        break;
    }
  }
}

ContactCounts print_contact_lists(Report& rep, std::span<const int> ICON,
                                  std::span<const int> ICONP, std::span<int> list,
                                  const ContactListFormats& f) {
  const int nnode = static_cast<int>(ICON.size());
  ContactCounts n;
  n.NCHG = changed_nodes(nnode, ICON, ICONP, list);
  rep.write(f.count, {n.NCHG});
  rep.write(f.changed);
  node_list(rep, list.first(n.NCHG));
  n.NOUT = nodes_out_of_contact(nnode, ICON, list);
  rep.write(f.out);
  node_list(rep, list.first(n.NOUT));
  return n;
}

}  // namespace meridolan
