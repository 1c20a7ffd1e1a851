// Iterations that come back to a state they had before: from there on they repeat
// the same cycle of states for ever and can never converge. The history tells when,
// and which state the cycle holds at the iteration limit, so that an iteration can
// end at once with the results its limit would have reached.
#pragma once

#include <cstddef>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/records.h"

namespace meridolan {

class StateHistory {
 public:
  // Remembers the state that step `step` works with (steps 1, 2, ... in order).
  // Returns 0, or, when the state is bit for bit that of an earlier step and `step`
  // is within `limit`, prints that the iteration cycles and returns the step whose
  // state the cycle holds at step `limit`. `what` names the state in the message.
  template <class T>
  int cycle_end(Report& rep, int step, std::span<const T> state, int limit, const char* what) {
    return cycle_end(rep, step, as_bytes(state), limit, what);
  }

  // Copies the state of step `step` (remembered before) into `state`.
  template <class T>
  void recall(int step, std::span<T> state) const {
    const std::string& s = states_[static_cast<std::size_t>(step - 1)];
    std::memcpy(state.data(), s.data(), std::min(s.size(), state.size_bytes()));
  }

  // Above this many bytes of states nothing more is remembered (and no cycle found).
  static constexpr std::size_t kMaxBytes = std::size_t{256} << 20;

 private:
  template <class T>
  static std::string_view as_bytes(std::span<const T> s) {
    return {reinterpret_cast<const char*>(s.data()), s.size_bytes()};
  }
  int cycle_end(Report& rep, int step, std::string_view state, int limit, const char* what);

  std::vector<std::string> states_;                    // state of step k at k - 1
  std::unordered_multimap<std::size_t, int> by_hash_;  // hash of a state -> its steps
  std::size_t bytes_ = 0;
  bool full_ = false;
};

// The step whose state a cycle that left step `first` and came back at step `again`
// holds at step `limit` (limit >= first).
int step_in_cycle(int first, int again, int limit);

}  // namespace meridolan
