// Pieces every whole-run benchmark needs: a report that goes nowhere and deck fields.
#pragma once

#include <cstdio>
#include <streambuf>
#include <string>

namespace meridolan::bench {

// Discards everything written to it, so that only the formatting is timed.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// A real number in an F10.3 deck field.
inline std::string field(double v) {
  char b[16];
  std::snprintf(b, sizeof b, "%10.3f", v);
  return b;
}

}  // namespace meridolan::bench
