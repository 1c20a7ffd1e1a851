// Word offsets of packed symmetric storage, 0-based: column j (0-based) starts at
// j(j+1)/2 and holds rows 0..j.
#pragma once

#include <cstddef>

namespace meridolan::packed {

inline std::size_t col(int j) {
  return static_cast<std::size_t>(j) * (j + 1) / 2;
}

}  // namespace meridolan::packed
