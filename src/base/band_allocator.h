// Allocator for the large band arrays of the work array.
//
// A band store of a large mesh is several megabytes that the run touches right after
// allocating it. Blocks of 2 MiB and more are mapped straight from the kernel, aligned
// to 2 MiB and offered for transparent huge pages, so the first touch costs a few page
// faults instead of thousands (on virtual machines a fault can cost ~10 us). Smaller
// blocks come from calloc. Either way the memory arrives zeroed, so constructing an
// element without a value leaves it alone instead of writing the zero a second time:
// a vector of n elements made by this allocator is all zero without a pass over it.
// (A vector that shrinks and grows again inside its capacity keeps its old values;
// the work array only ever makes its band vectors afresh.)
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

namespace meridolan {

template <class T>
struct BandAllocator {
  using value_type = T;
  static constexpr std::size_t kHuge = std::size_t{2} << 20;

  BandAllocator() = default;
  template <class U>
  BandAllocator(const BandAllocator<U>&) {}

  static std::size_t mapped_bytes(std::size_t n) {
    return (n * sizeof(T) + kHuge - 1) / kHuge * kHuge;
  }

  T* allocate(std::size_t n) {
    if (n * sizeof(T) < kHuge) {
      void* p = std::calloc(n == 0 ? 1 : n, sizeof(T));
      if (p == nullptr) throw std::bad_alloc();
      return static_cast<T*>(p);
    }
    // Map one huge page more than needed and give back the parts outside the aligned
    // block.
    const std::size_t bytes = mapped_bytes(n);
    void* m =
        mmap(nullptr, bytes + kHuge, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) throw std::bad_alloc();
    const auto base = reinterpret_cast<std::uintptr_t>(m);
    const std::uintptr_t aligned = (base + kHuge - 1) / kHuge * kHuge;
    if (aligned > base) munmap(m, aligned - base);
    if (const std::size_t tail = base + kHuge - aligned; tail > 0)
      munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    void* p = reinterpret_cast<void*>(aligned);
    madvise(p, bytes, MADV_HUGEPAGE);  // a hint; failure is harmless
    return static_cast<T*>(p);
  }

  void deallocate(T* p, std::size_t n) {
    if (n * sizeof(T) < kHuge)
      std::free(p);
    else
      munmap(p, mapped_bytes(n));
  }

  // The memory is zero already: default-initialise instead of value-initialise.
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  friend bool operator==(const BandAllocator&, const BandAllocator&) { return true; }
};

}  // namespace meridolan
