#include "driver/run.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "base/records.h"
#include "base/stop.h"
#include "base/work.h"
#include "driver/contour.h"
#include "driver/control_records.h"
#include "driver/output_file.h"
#include "driver/results_file.h"
#include "driver/slab.h"
#include "results/tables.h"

namespace meridolan {

namespace {

// Writes the contour data file after the analysis; returns the exit status the run
// ends with (the report is complete either way).
// A value of the contour data that is not finite ends the run like one of the report
// (the stresses are formed for the file even when the report printed none).
int contour_output(const Control& C, Work& w, const ContourFile& dest, std::ostream& errors) {
  static const char* const kWhat = "THE CONTOUR DATA (NODAL STRESSES)";
  if (dest.stream != nullptr) {
    Report cnt(*dest.stream, false);
    cnt.refuse_non_finite();
    try {
      write_contour_file(cnt, C, w);
    } catch (const NotFinite&) {
      throw NotFinite(kWhat);
    }
    return kExitStop;
  }
  // Written beside its place and renamed there when complete: a run that fails on the
  // way leaves an older file of the name as it was.
  OutputFile file(dest.path, dest.max_bytes);
  if (!file.is_open()) {
    errors << "meridolan: cannot create the contour data file '" << dest.path
           << "': " << file.error() << '\n';
    return kExitCannotWrite;
  }
  Report cnt(file.stream(), false);
  cnt.refuse_non_finite();
  try {
    write_contour_file(cnt, C, w);
  } catch (const NotFinite&) {
    file.discard();  // no file rather than a file without data
    throw NotFinite(kWhat);
  }
  if (!file.commit()) {
    errors << "meridolan: error while writing the contour data file '" << dest.path
           << "': " << file.error() << "; an older file of that name is left as it was\n";
    return kExitCannotWrite;
  }
  std::error_code ec;
  const auto where = std::filesystem::absolute(dest.path, ec);
  errors << "meridolan: contour data written to " << (ec ? dest.path : where.string()) << '\n';
  return kExitStop;
}

// A value that overflowed (or lost all meaning) on its way to the report: the line
// is not printed; the report says which value and why, and the run stops.
[[noreturn]] void report_not_finite(Report& rep, const NotFinite& e) {
  static const Format kNotFinite(
      "/, /, 10X, '***A VALUE COULD NOT BE COMPUTED AS A FINITE NUMBER: ', A, /, 10X, "
      "' IT LIES BEYOND THE RANGE OF NUMBERS OF THE PROGRAM (ABOUT 1E-308 TO 1E+308):', /, 10X, "
      "' THE VALUES OF THE DECK ARE TOO LARGE (OR TOO SMALL) FOR THIS COMPUTATION.', /, 10X, "
      "' PROGRAM TERMINATED.'");
  rep.write(kNotFinite, {e.label.empty() ? std::string("A VALUE OF A TABLE") : e.label});
  STOP(rep, Ending::Refused);
}

}  // namespace

std::string memory_words_problem(std::int64_t words) {
  if (words <= 0)
    return "the work array needs a positive number of words, not " + std::to_string(words);
  if (words > kMaxMemoryWords)  // the memory report prints the limit in ten columns
    return "a work array of " + std::to_string(words) + " words is larger than the " +
           std::to_string(kMaxMemoryWords) + " words the memory report can print";
  const long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || page <= 0) return {};  // unknown: the allocation will tell
  const std::int64_t machine_words = std::int64_t(pages) * page / 8;
  if (words > machine_words)
    return "a work array of " + std::to_string(words) + " words (" +
           std::to_string(words / 131072) + " MiB) does not fit the memory of this machine (" +
           std::to_string(machine_words) + " words)";
  return {};
}

int run(std::istream& deck_in, std::ostream& out, std::ostream& errors, const RunOptions& options) {
  const ContourFile& contour = options.contour;
  Control C;
  std::optional<Control> results_model;  // the model as analysed, once the analysis ends
  Work w;
  Results res;
  RunStatus status;
  if (std::string problem = memory_words_problem(options.memory_words); !problem.empty()) {
    errors << "meridolan: " << problem << '\n';
    if (options.results != nullptr)
      write_results(*options.results, C, w, res, {kExitUsage, problem});
    return kExitUsage;
  }
  Report rep(out);
  rep.refuse_non_finite();
  Deck deck(deck_in, DeckWarnings{&errors, options.strict});
  C.MEMLIM = options.memory_words;
  if (options.time_limit > 0 && options.time_limit < 1e9) {  // beyond: no limit at all
    C.time_limit = options.time_limit;
    C.deadline = std::chrono::steady_clock::now() +
                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                     std::chrono::duration<double>(options.time_limit));
  }
  try {
    try {
      read_control(deck, C);
      check_counts(rep, C);
      derive_dimensions(C);
      check_memory(rep, C);
      allocate(w, C);
      Control analysed = SLAB(deck, rep, C, w, res, options.check_only);
      if (analysed.NCONT != 0) {
        // Contours are requested only by the full deck (INMODE not 0), which then ends
        // with the contour record.
        if (analysed.INMODE != 0) read_contour_record(deck, analysed);
        status.exit = contour_output(analysed, w, contour, errors);
      }
      results_model = analysed;
      STOP(rep, Ending::Finished);
    } catch (const NotFinite& e) {
      report_not_finite(rep, e);
    }
  } catch (const RunStopped& stop) {
    if (stop.ending == Ending::Refused) {
      status.exit = kExitRefused;
      status.message =
          stop.message.empty() ? "the analysis ended on a message in the report" : stop.message;
    }
  } catch (const ReadError& e) {
    // The report printed so far stays as it is; the reason goes to standard error.
    rep.complete_line();
    status = {kExitUnreadableDeck, e.what()};
  }
  out.flush();
  if (status.exit == kExitRefused) errors << "meridolan: " << status.message << '\n';
  if (status.exit == kExitUnreadableDeck) errors << status.message << '\n';
  errors.flush();
  if (options.results != nullptr) {
    write_results(*options.results, results_model ? *results_model : C, w, res, status);
    options.results->flush();
  }
  return status.exit;
}

int run(std::istream& deck, std::ostream& report, std::ostream& errors,
        const ContourFile& contour) {
  return run(deck, report, errors, RunOptions{contour});
}

int run(std::istream& deck, std::ostream& report, std::ostream& errors) {
  return run(deck, report, errors, RunOptions{});
}

int run(std::istream& deck, std::ostream& report) {
  return run(deck, report, std::cerr);
}

}  // namespace meridolan
