#include "driver/run.h"

#include <iostream>

#include "base/records.h"
#include "base/stop.h"
#include "base/work.h"
#include "driver/control_records.h"
#include "driver/slab.h"

namespace meridolan {

namespace {
constexpr int kReadErrorStatus = 2;
}

int run(std::istream& deck_in, std::ostream& out, std::ostream& errors) {
  Report rep(out);
  Deck deck(deck_in);
  Control C;
  Work w;
  try {
    read_control(deck, C);
    check_counts(rep, C);
    derive_dimensions(C);
    check_memory(rep, C);
    allocate(w, C);
    SLAB(deck, rep, C, w);
    if (C.NCONT != 0) {
      // The contour data file is written by a later version; say so rather than let
      // a requested file be missing without a word. The report itself is complete.
      errors << "meridolan: contour data requested (ICONT digits on record 8), but the contour "
                "data file is not available in this version; no file was written.\n";
    }
    STOP(rep);
  } catch (const RunStopped& stop) {
    out.flush();
    return stop.status;
  } catch (const ReadError& e) {
    // The report printed so far stays as it is; the reason goes to standard error.
    rep.complete_line();
    out.flush();
    errors << e.what() << '\n';
    errors.flush();
    return kReadErrorStatus;
  }
}

int run(std::istream& deck, std::ostream& report) {
  return run(deck, report, std::cerr);
}

}  // namespace meridolan
