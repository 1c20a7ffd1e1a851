// libFuzzer target: every input is a deck, run through the whole program in-process.
// A deck that breaks one of the properties of tests/support/deck_properties.h (exit
// status, message on standard error, stop line, no NaN or Inf in the report) aborts
// with the reason; crashes and sanitizer reports abort by themselves.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>

#include "driver/control_records.h"
#include "support/deck_properties.h"

namespace {

// A deck within the memory limit may still ask for a model that takes seconds to
// solve once (the band reduction grows with NEQ * MBAND^2); such decks tell nothing
// about the reader that a smaller one does not, so they are left out of the search.
// Decks refused by the memory check, however large their mesh, are run: that check
// is what stops them. How often a model is solved is the deck's own business and is
// not estimated: every run has a time budget, and a deck that spends it (an iteration
// that never ends) is a finding.
constexpr int kMaxNodes = 1000;
constexpr double kMaxBandWork = 1.0e7;  // one solution
constexpr double kTimeBudget = 4.0;     // seconds, under the sanitizers

bool too_slow(std::string_view text) {
  using namespace meridolan;
  std::istringstream in{std::string(text)};
  Deck deck(in);
  Control C;
  try {
    read_control(deck, C);
  } catch (const ReadError&) {
    return false;
  }
  if (C.NXT < 2 || C.NYT < 2 || C.NLAREA < 0) return false;
  derive_dimensions(C);
  if (C.MEMREQ > Control::MAXMEM) return false;
  const double neq = C.NEQ, mband = C.MBAND;
  double work = neq * mband * mband;
  if (C.ISUBGR == 8) work += neq * neq * neq / 6.0;  // the packed elastic-solid matrix
  return C.NNODE > kMaxNodes || work > kMaxBandWork;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view deck(reinterpret_cast<const char*>(data), size);
  if (too_slow(deck)) return -1;  // not kept in the corpus
  std::string contour;
  const meridolan::testing::DeckVerdict v =
      meridolan::testing::check_deck(deck, kTimeBudget, &contour);
  std::string problem = v.problem;
  // The writer of the contour data file, failing after a number of bytes the deck
  // picks (one past its length: the complete file).
  if (problem.empty() && !contour.empty()) {
    const std::size_t n = std::hash<std::string_view>{}(deck) % (contour.size() + 2);
    problem = meridolan::testing::check_writer(deck, contour, n);
  }
  if (!problem.empty()) {
    std::fprintf(stderr, "deck property broken: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
