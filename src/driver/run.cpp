#include "driver/run.h"

#include <iostream>
#include <string>

#include "base/records.h"
#include "base/stop.h"
#include "base/work.h"
#include "driver/control_records.h"
#include "driver/slab.h"

namespace meridolan {

namespace {

constexpr int kReadErrorStatus = 2;

// A value that overflowed (or lost all meaning) on its way to the report: the line
// is not printed; the report says which value and why, and the run stops.
[[noreturn]] void report_not_finite(Report& rep, const NotFinite& e) {
  static const Format kNotFinite(
      "/, /, 10X, '***A VALUE COULD NOT BE COMPUTED AS A FINITE NUMBER: ', A, /, 10X, "
      "' IT LIES BEYOND THE RANGE OF NUMBERS OF THE PROGRAM (ABOUT 1E-308 TO 1E+308):', /, 10X, "
      "' THE VALUES OF THE DECK ARE TOO LARGE (OR TOO SMALL) FOR THIS COMPUTATION.', /, 10X, "
      "' PROGRAM TERMINATED.'");
  rep.write(kNotFinite, {e.label.empty() ? std::string("A VALUE OF A TABLE") : e.label});
  STOP(rep);
}

}  // namespace

int run(std::istream& deck_in, std::ostream& out, std::ostream& errors) {
  Report rep(out);
  rep.refuse_non_finite();
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
  } catch (const NotFinite& e) {
    try {
      report_not_finite(rep, e);
    } catch (const RunStopped& stop) {
      out.flush();
      return stop.status;
    }
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
