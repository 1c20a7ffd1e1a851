// A model as the control records and the sizing leave it, for reading the rest of
// the deck directly: Control and Work of the given slab node counts, a deck over a
// string and a report into a string.
#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "base/records.h"
#include "base/stop.h"
#include "base/work.h"
#include "driver/control_records.h"
#include "support/run_deck.h"

namespace meridolan::testing {

// One layer on a dense liquid, full deck, no loads; tests change what they need.
inline Control control(std::initializer_list<int> nnx, std::initializer_list<int> nny) {
  Control C;
  C.INMODE = 1;
  C.NLAYER = 1;
  C.ISUBGR = 5;
  C.SUBK = 200.0;
  C.MAXIT = 1;
  std::copy(nnx.begin(), nnx.end(), C.NNX.begin());
  std::copy(nny.begin(), nny.end(), C.NNY.begin());
  for (int i = 0; i < Control::NSMAX; ++i) {
    C.NXT += C.NNX[i];
    C.NYT += C.NNY[i];
    if (C.NNX[i] != 0) C.NSX = i + 1;
    if (C.NNY[i] != 0) C.NSY = i + 1;
  }
  C.NSLAB = C.NSX * C.NSY;
  return C;
}

struct Reading {
  std::vector<std::string> lines;  // report lines, "\f" for a page throw (RunResult::lines)
  int deck_lines = 0;              // deck lines consumed
  bool stopped = false;            // the run was stopped
  std::string report;              // exact bytes

  // `n` lines starting at the first that contains `label` (fewer at the end).
  std::vector<std::string> from(const std::string& label, std::size_t n) const {
    auto it = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.find(label) != std::string::npos;
    });
    const std::size_t at = static_cast<std::size_t>(it - lines.begin());
    return std::vector<std::string>(it, lines.begin() + std::min(lines.size(), at + n));
  }
  bool has(const std::string& text) const { return report.find(text) != std::string::npos; }
};

// Sizes the work segments for C, lets `prepare` fill what earlier steps would have
// left in them, then runs `reader` over the deck text.
inline Reading read_with(Control& C, Work& w, const std::string& deck,
                         const std::function<void(Deck&, Report&, Control&, Work&)>& reader,
                         const std::function<void(Work&)>& prepare = {}) {
  derive_dimensions(C);
  allocate(w, C);
  if (prepare) prepare(w);
  std::istringstream in(deck);
  Deck d(in);
  std::ostringstream out;
  Report rep(out);
  Reading r;
  try {
    reader(d, rep, C, w);
    rep.complete_line();
  } catch (const RunStopped&) {
    r.stopped = true;
  }
  RunResult res;
  res.report = out.str();
  r.lines = res.lines();
  r.report = res.report;
  r.deck_lines = d.line_number();
  return r;
}

}  // namespace meridolan::testing
