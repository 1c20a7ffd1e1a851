// OpenBLAS as a second yardstick, loaded by path next to the reference LAPACK that
// the benchmarks link, so both run in one process. The program itself never uses it.
#pragma once

#include <dlfcn.h>

#include <cstddef>
#include <cstdlib>

namespace meridolan::bench {

// Fortran LAPACK entry points; the trailing argument is the hidden length of the
// character argument.
using Dpbtrf = void (*)(const char*, const int*, const int*, double*, const int*, int*,
                        std::size_t);
using Dpbtrs = void (*)(const char*, const int*, const int*, const int*, const double*, const int*,
                        double*, const int*, int*, std::size_t);
using Dpptrf = void (*)(const char*, const int*, double*, int*, std::size_t);
using Dpptrs = void (*)(const char*, const int*, const int*, const double*, double*, const int*,
                        int*, std::size_t);
using Dpptri = void (*)(const char*, const int*, double*, int*, std::size_t);

struct OpenBlas {
  Dpbtrf dpbtrf = nullptr;
  Dpbtrs dpbtrs = nullptr;
  Dpptrf dpptrf = nullptr;
  Dpptrs dpptrs = nullptr;
  Dpptri dpptri = nullptr;
};

// Debian's OpenBLAS (libopenblas0-pthread) on one thread, or nullptr when it is not
// installed. RTLD_DEEPBIND keeps its own symbols apart from the reference LAPACK's.
inline const OpenBlas* openblas() {
  static const OpenBlas* lib = []() -> const OpenBlas* {
    void* h = dlopen("/usr/lib/x86_64-linux-gnu/openblas-pthread/libopenblas.so.0",
                     RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
    if (h == nullptr) return nullptr;
    if (auto threads = reinterpret_cast<void (*)(int)>(dlsym(h, "openblas_set_num_threads")))
      threads(1);
    static OpenBlas o;
    o.dpbtrf = reinterpret_cast<Dpbtrf>(dlsym(h, "dpbtrf_"));
    o.dpbtrs = reinterpret_cast<Dpbtrs>(dlsym(h, "dpbtrs_"));
    o.dpptrf = reinterpret_cast<Dpptrf>(dlsym(h, "dpptrf_"));
    o.dpptrs = reinterpret_cast<Dpptrs>(dlsym(h, "dpptrs_"));
    o.dpptri = reinterpret_cast<Dpptri>(dlsym(h, "dpptri_"));
    return o.dpbtrf && o.dpbtrs ? &o : nullptr;
  }();
  return lib;
}

}  // namespace meridolan::bench
