// Numeric fields against a plain reference built on snprintf, over many random values,
// widths and decimals: the field code builds its own digits, and must round exactly as
// the C library does (the exact binary value, halfway cases to the even digit).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/records.h"

namespace meridolan {
namespace {

std::string right(std::string s, int w) {
  if (static_cast<int>(s.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

std::string ref_fixed(int w, int d, double v) {
  std::vector<char> buf(400);
  std::snprintf(buf.data(), buf.size(), "%.*f", d, std::fabs(v));
  std::string s = buf.data();
  if (d > 0 && s.rfind("0.", 0) == 0) s.erase(0, 1);
  if (d == 0) s += '.';
  return right((v < 0 ? "-" : "") + s, w);
}

std::string ref_exp(int w, int d, double v) {
  std::string digits(static_cast<std::size_t>(d), '0');
  int e10 = 0;
  if (v != 0.0) {
    std::vector<char> buf(400);
    std::snprintf(buf.data(), buf.size(), "%.*e", d - 1, std::fabs(v));
    std::string s = buf.data();  // d.ddde+xx
    const std::size_t e = s.find('e');
    digits = s.substr(0, 1) + (d > 1 ? s.substr(2, e - 2) : "");
    e10 = std::stoi(s.substr(e + 1)) + 1;
  }
  if (std::abs(e10) > 999) return std::string(static_cast<std::size_t>(w), '*');
  char x[8];
  std::snprintf(x, sizeof x, std::abs(e10) <= 99 ? "E%c%02d" : "%c%03d", e10 < 0 ? '-' : '+',
                std::abs(e10));
  return right((v < 0 ? "-." : ".") + digits + x, w);
}

// Values that test rounding: any bit pattern, all magnitudes, exact binary halves,
// neighbours of powers of ten, decimal halves just off, zeros of both signs.
double random_value(std::mt19937_64& g) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  double v;
  switch (g() % 7) {
    case 0:
      v = std::bit_cast<double>(g());
      if (!std::isfinite(v)) v = 1.0;
      break;
    case 1:
      v = std::pow(10.0, u(g) * 50 - 25);
      break;
    case 2:
      v = static_cast<double>(g() % 2000001) / static_cast<double>(std::uint64_t{1} << (g() % 30));
      break;
    case 3:
      v = std::nextafter(std::pow(10.0, static_cast<int>(g() % 40) - 20), g() % 2 ? 0.0 : 1e300);
      break;
    case 4:
      v = std::pow(10.0, static_cast<int>(g() % 10)) - 0.5 * std::pow(10.0, -int(g() % 12));
      break;
    case 5:
      v = g() % 2 ? 0.0 : 1e-30 * u(g);
      break;
    default:
      v = static_cast<double>(g() % 100000000) / std::pow(10.0, static_cast<int>(g() % 12));
  }
  return g() % 2 ? -v : v;
}

// "F13.6", "E10.3", "I5" (d < 0: no decimals).
std::string descriptor(char c, int w, int d = -1) {
  char b[24];
  std::snprintf(b, sizeof b, d < 0 ? "%c%d" : "%c%d.%d", c, w, d);
  return b;
}

// One write of all values through "<descriptor>" without carriage control: by reversion,
// one line per value.
std::vector<std::string> lines(const std::string& descriptor, const std::vector<Item>& values) {
  std::ostringstream out;
  Report rep(out, false);
  rep.write(Format(descriptor), values);
  std::vector<std::string> v;
  std::istringstream in(out.str());
  for (std::string s; std::getline(in, s);) v.push_back(s);
  return v;
}

TEST(ReportFieldsReference, FixedAndExponentRoundLikeTheCLibrary) {
  std::mt19937_64 g(20240611);
  int compared = 0;
  for (int batch = 0; batch < 400; ++batch) {
    const int w = 1 + static_cast<int>(g() % 30), d = static_cast<int>(g() % 24);
    const int de = 1 + static_cast<int>(g() % 22), we = de + static_cast<int>(g() % 12);
    std::vector<double> x(200);
    for (double& v : x) v = random_value(g);
    x[0] = -0.0;
    const std::vector<Item> items(x.begin(), x.end());
    const auto f = lines(descriptor('F', w, d), items);
    const auto e = lines(descriptor('E', we, de), items);
    ASSERT_EQ(f.size(), x.size());
    ASSERT_EQ(e.size(), x.size());
    for (std::size_t k = 0; k < x.size(); ++k, ++compared) {
      ASSERT_EQ(f[k], ref_fixed(w, d, x[k])) << "F" << w << "." << d << " of " << x[k];
      ASSERT_EQ(e[k], ref_exp(we, de, x[k])) << "E" << we << "." << de << " of " << x[k];
    }
  }
  EXPECT_EQ(compared, 80000);
}

TEST(ReportFieldsReference, IntegersOfEveryLength) {
  std::mt19937_64 g(7);
  for (int w = 1; w <= 21; ++w) {
    std::vector<Item> items;
    std::vector<long long> x;
    for (int k = 0; k < 300; ++k) {
      long long v = static_cast<long long>(g() >> (g() % 64));
      if (g() % 2) v = -v;
      x.push_back(v);
      items.emplace_back(v);
    }
    const auto got = lines(descriptor('I', w), items);
    ASSERT_EQ(got.size(), x.size());
    for (std::size_t k = 0; k < x.size(); ++k) {
      ASSERT_EQ(got[k], right(std::to_string(x[k]), w)) << "I" << w << " of " << x[k];
    }
  }
}

TEST(ReportFieldsReference, ALineLeavesNothingBehindForTheNext) {
  std::ostringstream out;
  Report rep(out, false);
  // A long line grows the buffer; a refused write stops halfway through its line.
  rep.write(Format("A, F8.2"), {std::string(600, 'X'), 1.5});
  EXPECT_THROW(rep.write(Format("F8.2, 3X, F8.2, I5"), {123456.0, 2.0, 3.5}), std::logic_error);
  rep.write(Format("700X, F8.2, 3X, E10.3"), {-0.5, 1234.5});
  const std::string all = out.str();
  EXPECT_EQ(all, std::string(600, 'X') + "    1.50\n" + std::string(700, ' ') +
                     "    -.50     .123E+04\n");
}

}  // namespace
}  // namespace meridolan
