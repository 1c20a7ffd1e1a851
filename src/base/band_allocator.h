// Allocator for the large band arrays of the work array.
//
// A band store of a large mesh is several megabytes that the run touches right after
// allocating it. Blocks of 2 MiB and more are aligned to 2 MiB and offered to the
// kernel for transparent huge pages, so the first touch costs a few page faults
// instead of thousands (on virtual machines a fault can cost ~10 us). Contents and
// results are unchanged; only the mapping differs.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace meridolan {

template <class T>
struct BandAllocator {
  using value_type = T;
  static constexpr std::size_t kHuge = std::size_t{2} << 20;

  BandAllocator() = default;
  template <class U>
  BandAllocator(const BandAllocator<U>&) {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    void* p = nullptr;
    if (bytes >= kHuge) {
      const std::size_t rounded = (bytes + kHuge - 1) / kHuge * kHuge;
      p = std::aligned_alloc(kHuge, rounded);
      if (p != nullptr) madvise(p, rounded, MADV_HUGEPAGE);  // a hint; failure is harmless
    } else {
      p = std::malloc(bytes == 0 ? 1 : bytes);
    }
    if (p == nullptr) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t) { std::free(p); }

  friend bool operator==(const BandAllocator&, const BandAllocator&) { return true; }
};

}  // namespace meridolan
