#include "supports/repeats.h"

#include <functional>

namespace meridolan {

int step_in_cycle(int first, int again, int limit) {
  return first + (limit - first) % (again - first);
}

int StateHistory::cycle_end(Report& rep, int step, std::string_view state, int limit,
                            const char* what) {
  static const Format kCycle(
      "/, /, 10X, '***THE ', A, ' OF ITERATION', I6, ' REPEATS THAT OF ITERATION', I6, ':', /, "
      "10X, ' THE ITERATION CYCLES WITH A PERIOD OF', I6, ' AND CAN NEVER CONVERGE. IT ENDS ', "
      "'HERE WITH', /, 10X, ' THE RESULTS ITS LIMIT OF', I6, ' ITERATIONS REACHES (THOSE OF ', "
      "'ITERATION', I6, ').'");
  if (full_ || static_cast<std::size_t>(step) != states_.size() + 1) {
    full_ = true;  // a step missed: the steps no longer match their states
    return 0;
  }
  const std::size_t h = std::hash<std::string_view>{}(state);
  int first = 0;
  for (auto [b, e] = by_hash_.equal_range(h); b != e; ++b) {
    if (states_[static_cast<std::size_t>(b->second - 1)] == state) first = b->second;
  }
  if (first != 0 && step <= limit) {
    const int at = step_in_cycle(first, step, limit);
    rep.write(kCycle, {what, step, first, step - first, limit, at});
    return at;
  }
  if (bytes_ + state.size() > kMaxBytes) {
    full_ = true;
    return 0;
  }
  bytes_ += state.size();
  states_.emplace_back(state);
  by_hash_.emplace(h, step);
  return 0;
}

}  // namespace meridolan
