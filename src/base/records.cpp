#include "base/records.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <istream>
#include <limits>
#include <ostream>
#include <utility>

namespace meridolan {

namespace {

using Op = Format::Op;

Format::Node node(Op op, int w = 0, int d = 0, int count = 1) {
  return Format::Node{op, w, d, count, 0, {}};
}

bool is_data(Op op) {
  return op == Op::Int || op == Op::Fixed || op == Op::Exp || op == Op::Chars;
}

// ---------------------------------------------------------------------------------------
// Format text

// Recursive-descent reader of the edit-descriptor notation. Blanks outside literals
// carry no meaning and are removed before parsing.
class Parser {
 public:
  Parser(std::string_view text, std::vector<Format::Node>& nodes) : original_(text), nodes_(nodes) {
    bool in_quote = false;
    for (char c : text) {
      if (c == '\'') in_quote = !in_quote;
      if (in_quote || c != ' ') s_.push_back(c);
    }
    if (in_quote) fail("unterminated literal");
  }

  // Parses the whole text; returns the node index of the last top-level group, or -1.
  int run() {
    std::string_view body = s_;
    if (wrapped(body)) body = body.substr(1, body.size() - 2);
    s_ = std::string(body);
    pos_ = 0;
    int last_group = list(0);
    if (pos_ != s_.size()) fail("unexpected ')'");
    return last_group;
  }

  static bool wrapped(std::string_view t) {
    if (t.size() < 2 || t.front() != '(' || t.back() != ')') return false;
    // The opening parenthesis must match the last one, not an inner group.
    int depth = 0;
    bool in_quote = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
      char c = t[i];
      if (c == '\'') in_quote = !in_quote;
      if (in_quote) continue;
      if (c == '(') ++depth;
      if (c == ')' && --depth == 0) return i + 1 == t.size();
    }
    return false;
  }

 private:
  [[noreturn]] void fail(const char* what) const {
    throw std::logic_error("format \"" + std::string(original_) + "\": " + what);
  }

  bool at_end() const { return pos_ >= s_.size(); }
  char peek() const { return at_end() ? '\0' : s_[pos_]; }

  int number() {
    int v = 0;
    bool any = false;
    while (!at_end() && s_[pos_] >= '0' && s_[pos_] <= '9') {
      v = v * 10 + (s_[pos_++] - '0');
      if (v > 100000) fail("number too large");
      any = true;
    }
    return any ? v : -1;
  }

  void push(Format::Node n, int times) {
    for (int k = 0; k < times; ++k) nodes_.push_back(n);
  }

  // A list of items up to ')' or the end. Returns the index of the last group opened at
  // this level, or -1.
  int list(int depth) {
    if (depth > Format::kMaxDepth) fail("groups nested too deeply");
    int last_group = -1;
    // After a descriptor a comma is required before the next one; after a slash it is
    // optional; anywhere else it is misplaced.
    enum class Sep { None, Optional, Required } sep = Sep::None;
    while (!at_end() && peek() != ')') {
      char c = peek();
      if (c == ',') {
        if (sep == Sep::None) fail("misplaced comma");
        ++pos_;
        sep = Sep::None;
        continue;
      }
      if (c == '/') {  // a slash separates by itself
        ++pos_;
        nodes_.push_back(node(Op::Slash));
        sep = Sep::Optional;
        continue;
      }
      if (sep == Sep::Required && c != '\'') fail("missing comma");
      int count = number();
      if (count == 0) fail("zero repeat count");
      c = peek();
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      ++pos_;
      switch (c) {
        case '(': {
          int open = static_cast<int>(nodes_.size());
          nodes_.push_back(node(Op::GroupOpen, 0, 0, count < 0 ? 1 : count));
          list(depth + 1);
          if (peek() != ')') fail("missing ')'");
          ++pos_;
          int close = static_cast<int>(nodes_.size());
          if (close == open + 1) fail("empty group");
          nodes_.push_back(node(Op::GroupClose));
          nodes_.back().jump = open;
          nodes_[open].jump = close;
          last_group = open;
          break;
        }
        case '/':
          push(node(Op::Slash), count < 0 ? 1 : count);
          break;
        case '\'': {
          std::string text;
          for (;;) {
            if (at_end()) fail("unterminated literal");
            char q = s_[pos_++];
            if (q == '\'') {
              if (peek() != '\'') break;
              ++pos_;  // a doubled quote stands for one quote
            }
            text.push_back(q);
          }
          Format::Node n = node(Op::Literal);
          n.text = std::move(text);
          push(n, count < 0 ? 1 : count);
          break;
        }
        case 'X':
          nodes_.push_back(node(Op::Skip, count < 0 ? 1 : count));
          break;
        case 'I': {
          int w = number();
          if (w <= 0) fail("I needs a width");
          push(node(Op::Int, w), count < 0 ? 1 : count);
          break;
        }
        case 'F':
        case 'E': {
          int w = number();
          if (w <= 0 || peek() != '.') fail("F and E need a width and decimals");
          ++pos_;
          int d = number();
          if (d < 0 || (c == 'E' && d == 0)) fail("bad number of decimals");
          push(node(c == 'F' ? Op::Fixed : Op::Exp, w, d), count < 0 ? 1 : count);
          break;
        }
        case 'A': {
          int w = number();  // no width: the length of the string
          if (w == 0) fail("A0");
          push(node(Op::Chars, w < 0 ? 0 : w), count < 0 ? 1 : count);
          break;
        }
        default:
          fail("unknown edit descriptor");
      }
      sep = Sep::Required;
    }
    return last_group;
  }

  std::string_view original_;
  std::vector<Format::Node>& nodes_;
  std::string s_;
  std::size_t pos_ = 0;
};

// Descriptor as written, for messages: "I5", "F10.3", "A80".
std::string descriptor(const Format::Node& n) {
  std::string s;
  switch (n.op) {
    case Op::Int:
      s = "I" + std::to_string(n.w);
      break;
    case Op::Fixed:
    case Op::Exp:
      s = (n.op == Op::Fixed ? "F" : "E") + std::to_string(n.w) + "." + std::to_string(n.d);
      break;
    default:
      s = n.w > 0 ? "A" + std::to_string(n.w) : "A";
  }
  return s;
}

// ---------------------------------------------------------------------------------------
// Output fields

// Every field is written into w columns at dst that are blank already.

// A numeric field: the text right-justified, or w asterisks when it is wider.
void put_right(char* dst, int w, const char* p, std::size_t n) {
  const std::size_t width = static_cast<std::size_t>(w);
  if (n > width) {
    std::memset(dst, '*', width);
    return;
  }
  std::memcpy(dst + width - n, p, n);
}

void put_int(char* dst, int w, std::int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  put_right(dst, w, buf, static_cast<std::size_t>(r.ptr - buf));
}

// NaN and infinities carry no digits; they are shown by name.
bool put_nonfinite(char* dst, int w, double v) {
  if (std::isfinite(v)) return false;
  std::string_view s = std::isnan(v) ? "NaN" : (v > 0 ? "Inf" : "-Inf");
  put_right(dst, w, s.data(), s.size());
  return true;
}

// Exact powers of ten; a value at least 10^w has more integer digits than the field.
constexpr std::array<double, 23> kPow10 = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::array<std::uint64_t, 20> kTen = [] {
  std::array<std::uint64_t, 20> t{};
  t[0] = 1;
  for (std::size_t k = 1; k < t.size(); ++k) t[k] = t[k - 1] * 10;
  return t;
}();

using Wide = unsigned __int128;

// |v| * 10^p rounded to an integer, a value exactly halfway to the even one: the same
// rounding std::to_chars gives with a precision. With |v| = m * 2^e the product is
// m * 10^p * 2^e (or m * 2^e / 10^-p), formed exactly in 128 bits. kNoDigits when the
// operands or the result do not fit: the caller then takes the general route.
constexpr std::uint64_t kNoDigits = ~std::uint64_t{0};
std::uint64_t scaled(double v, int p) {
  if (p < -19 || p > 19) return kNoDigits;
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(v) << 1 >> 1;
  const int biased = static_cast<int>(bits >> 52);
  int e = std::max(biased, 1) - 1075;
  if (e > 10) return kNoDigits;
  Wide num = (bits & ((std::uint64_t{1} << 52) - 1)) | (biased != 0 ? std::uint64_t{1} << 52 : 0);
  if (p > 0) num *= kTen[static_cast<std::size_t>(p)];
  if (e > 0) num <<= std::exchange(e, 0);
  Wide den, whole;
  if (p >= 0) {               // a shift by -e
    if (e <= -128) return 0;  // num < 2^117: less than 2^-11
    den = Wide{1} << -e;
    whole = num >> -e;
  } else {
    if (e <= -64) return 0;  // num < 2^53: less than 2^-11
    den = Wide{kTen[static_cast<std::size_t>(-p)]} << -e;
    whole = num / den;
  }
  const Wide rest = num - whole * den;
  if (rest > den - rest || (rest == den - rest && (whole & 1) != 0)) ++whole;
  return (whole >> 64) != 0 ? kNoDigits : static_cast<std::uint64_t>(whole);
}

// "00" to "99", for two digits per division.
constexpr std::array<char, 200> kPairs = [] {
  std::array<char, 200> t{};
  for (std::size_t k = 0; k < 100; ++k)
    t[2 * k] = char('0' + k / 10), t[2 * k + 1] = char('0' + k % 10);
  return t;
}();

// Writes the last `n` decimal digits of q backwards, ending just before `end`, and
// drops them from q.
char* digits_before(char* end, std::uint64_t& q, int n) {
  for (; n >= 2; n -= 2, q /= 100) {
    end -= 2;
    std::memcpy(end, &kPairs[q % 100 * 2], 2);
  }
  if (n == 1) *--end = static_cast<char>('0' + q % 10), q /= 10;
  return end;
}

// Number of decimal digits of q, one for zero.
int count_digits(std::uint64_t q) {
  q |= 1;
  const int t = std::bit_width(q) * 1233 >> 12;  // log10 from log2, or one less
  return t + (q >= kTen[static_cast<std::size_t>(t)]);
}

// Fw.d. The exact binary value is rounded to d decimals; a value exactly halfway
// between two outputs (0.125 to two decimals) rounds to the even digit. A negative value
// keeps its sign even when it rounds to zero; negative zero has none.
void put_fixed(char* dst, int w, int d, double v) {
  if (put_nonfinite(dst, w, v)) return;
  if (w < static_cast<int>(kPow10.size()) && std::fabs(v) >= kPow10[static_cast<std::size_t>(w)]) {
    std::memset(dst, '*', static_cast<std::size_t>(w));
    return;
  }
  if (std::uint64_t q = scaled(v, d); q != kNoDigits) {
    // No zero before the point, unless it is all there is (d = 0).
    const int whole = std::max(count_digits(q) - d, 0);
    if ((v < 0 ? 1 : 0) + whole + 1 + d > w) {
      std::memset(dst, '*', static_cast<std::size_t>(w));
      return;
    }
    char* p = dst + w;
    if (d == 0) *--p = '.';
    p = digits_before(p, q, d);
    if (d > 0) *--p = '.';
    p = digits_before(p, q, whole);
    if (v < 0) *--p = '-';
    return;
  }
  // Beyond 64-bit digits or 19 decimals.
  char buf[512];
  auto r = std::to_chars(buf + 1, buf + sizeof buf - 1, std::fabs(v), std::chars_format::fixed, d);
  if (r.ec != std::errc()) {  // far wider than any field
    std::memset(dst, '*', static_cast<std::size_t>(w));
    return;
  }
  char* p = buf + 1;
  if (d > 0 && p[0] == '0' && p[1] == '.') ++p;  // no zero before the point
  if (d == 0) *r.ptr++ = '.';
  if (v < 0) *--p = '-';
  put_right(dst, w, p, static_cast<std::size_t>(r.ptr - p));
}

// The d significant digits of a > 0 as an integer q, 10^(d-1) <= q < 10^d, with
// a ~ .q * 10^e10. False when the exact route does not reach (d > 19, tiny or huge a).
bool exp_digits(double a, int d, std::uint64_t& q, int& e10) {
  if (d > 19) return false;
  int k = (std::ilogb(a) * 78913) >> 18;  // floor(log10 a), or one less
  // A low guess, then rounding up to 10^d, each move the exponent up once.
  for (int tries = 0; tries < 3; ++tries) {
    q = scaled(a, d - 1 - k);
    if (q == kNoDigits) return false;
    if (q < kTen[static_cast<std::size_t>(d - 1)]) {
      --k;
    } else if (q >= kTen[static_cast<std::size_t>(d)]) {
      ++k;
    } else {
      e10 = k + 1;
      return true;
    }
  }
  return false;
}

// Ew.d: ".ddddE+xx". A three-digit exponent drops the letter (".123+100"); a longer
// one cannot be shown and fills the field with asterisks.
void put_exp(char* dst, int w, int d, double v) {
  if (put_nonfinite(dst, w, v)) return;
  // The digits are built in fixed buffers; no field of the program comes near the limit.
  if (d > 300) {
    std::memset(dst, '*', static_cast<std::size_t>(w));
    return;
  }
  // [-].ddd then four characters of exponent, built from the end.
  char field[400];
  char* const stop = field + sizeof field;
  char* p = stop - 4 - d;
  int e10 = 0;
  if (std::uint64_t q; v == 0.0) {
    std::memset(p, '0', static_cast<std::size_t>(d));
  } else if (exp_digits(std::fabs(v), d, q, e10)) {
    digits_before(stop - 4, q, d);
  } else {
    char buf[400];  // "d.ddde+xx", or "de+xx" when d = 1
    auto r =
        std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, d - 1);
    const char* s = buf;
    for (char* f = p; *s != 'e'; ++s) {
      if (*s != '.') *f++ = *s;
    }
    ++s;
    const int sign = *s++ == '-' ? -1 : 1;
    int mag = 0;
    std::from_chars(s, r.ptr, mag);
    e10 = sign * mag + 1;
  }
  const int a = e10 < 0 ? -e10 : e10;
  if (a > 999) {
    std::memset(dst, '*', static_cast<std::size_t>(w));
    return;
  }
  char* x = stop - 4;
  if (a <= 99) *x++ = 'E';
  *x++ = e10 < 0 ? '-' : '+';
  if (a > 99) *x++ = static_cast<char>('0' + a / 100);
  *x++ = static_cast<char>('0' + a / 10 % 10);
  *x++ = static_cast<char>('0' + a % 10);
  *--p = '.';
  if (v < 0) *--p = '-';
  put_right(dst, w, p, static_cast<std::size_t>(stop - p));
}

// Aw: a shorter string is right-justified, a longer one keeps its first w characters.
void put_chars(char* dst, std::size_t w, std::string_view s) {
  const std::size_t n = std::min(w, s.size());
  std::memcpy(dst + w - n, s.data(), n);
}

[[noreturn]] void mismatch(const Format& f, const Format::Node& n, const char* what) {
  throw std::logic_error("format " + f.display() + ": " + descriptor(n) + " given " + what);
}

// ---------------------------------------------------------------------------------------
// Input fields

constexpr int kUnit = 5;

std::string error_prefix() {
  return "meridolan: run-time error on unit " + std::to_string(kUnit) + " (READ): ";
}

std::string trimmed(std::string_view s) {
  std::size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  std::size_t e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

// Digits of a numeric field with blanks removed, split into its parts.
struct Number {
  bool neg = false;
  std::string digits;  // all mantissa digits, the point removed
  int frac = 0;        // digits after the point
  bool point = false;
  long long exp10 = 0;  // explicit exponent
};

// Reads [sign] digits [. digits] [exponent]; false when anything else is found.
bool scan_number(std::string_view s, bool real, Number& n) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) n.neg = s[i++] == '-';
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      n.digits.push_back(c);
      if (n.point) ++n.frac;
    } else if (c == '.' && real && !n.point) {
      n.point = true;
    } else {
      break;
    }
  }
  if (n.digits.empty()) return false;
  if (i == s.size()) return true;
  if (!real) return false;
  // Exponent: E or D with an optional sign, or a sign alone, then digits.
  char c = s[i];
  if (c == 'E' || c == 'e' || c == 'D' || c == 'd')
    ++i;
  else if (c != '+' && c != '-')
    return false;
  bool eneg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) eneg = s[i++] == '-';
  if (i == s.size()) return false;
  long long e = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    if (e < 100000) e = e * 10 + (s[i] - '0');  // far beyond any double already
  }
  n.exp10 = eneg ? -e : e;
  return true;
}

// Walks a format for one read or write: steps through groups with their repeat counts
// and hands out every other node in order. Output and input share it, so both follow
// the same group and reversion rules.
class Cursor {
 public:
  explicit Cursor(const Format& f) : f_(f), nodes_(f.nodes().data()), size_(f.nodes().size()) {}

  // The next descriptor, literal or slash; nullptr at the end of the format.
  const Format::Node* next() {
    while (pos_ < size_) {
      const Format::Node& n = nodes_[pos_];
      if (n.op == Op::GroupOpen) {
        left_[static_cast<std::size_t>(++depth_)] = n.count;
        ++pos_;
      } else if (n.op == Op::GroupClose) {
        if (--left_[static_cast<std::size_t>(depth_)] > 0) {
          pos_ = static_cast<std::size_t>(n.jump) + 1;
        } else {
          --depth_;
          ++pos_;
        }
      } else {
        ++pos_;
        return &n;
      }
    }
    return nullptr;
  }

  // Format reversion: items remain after the last descriptor.
  void revert() {
    if (!f_.reversion_has_data()) {
      throw std::logic_error("format " + f_.display() + " has no field for the remaining items");
    }
    pos_ = static_cast<std::size_t>(f_.reversion_point());
    depth_ = 0;
  }

 private:
  const Format& f_;
  const Format::Node* nodes_;
  std::size_t size_;
  std::size_t pos_ = 0;
  int depth_ = 0;
  std::array<int, Format::kMaxDepth + 1> left_{};  // repeats left in each open group
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Format

Format::Format(std::string_view text) : text_(text) {
  Parser parser(text, nodes_);
  int last_group = parser.run();
  reversion_ = last_group < 0 ? 0 : last_group;
  for (std::size_t k = static_cast<std::size_t>(reversion_); k < nodes_.size(); ++k) {
    if (is_data(nodes_[k].op)) reversion_has_data_ = true;
  }
  std::string shown = trimmed(text);
  if (Parser::wrapped(shown)) {
    display_ = shown;
  } else {
    display_.reserve(shown.size() + 2);
    display_.append(1, '(').append(shown).append(1, ')');
  }
}

std::vector<Item> items(std::span<const double> values) {
  return std::vector<Item>(values.begin(), values.end());
}

std::vector<Item> items(std::span<const int> values) {
  return std::vector<Item>(values.begin(), values.end());
}

std::vector<Target> targets(std::span<double> values) {
  return std::vector<Target>(values.begin(), values.end());
}

std::vector<Target> targets(std::span<int> values) {
  return std::vector<Target>(values.begin(), values.end());
}

// ---------------------------------------------------------------------------------------
// Report

Report::Report(std::ostream& out, bool carriage_control)
    : out_(out), cc_(carriage_control), line_(256, ' ') {}

void Report::write(const Format& f, std::initializer_list<Item> list) {
  write(f, std::span<const Item>(list.begin(), list.size()));
}

namespace {

// The caption of a line: its first literal, without surrounding blanks.
std::string caption(const Format& f) {
  for (const Format::Node& n : f.nodes()) {
    if (n.op != Op::Literal) continue;
    const std::size_t a = n.text.find_first_not_of(' ');
    if (a == std::string::npos) continue;
    return n.text.substr(a, n.text.find_last_not_of(' ') - a + 1);
  }
  return {};
}

}  // namespace

void Report::put(const Format& f, const Format::Node& n, const Item& it) {
  const auto w = static_cast<std::size_t>(n.w);
  switch (n.op) {
    case Op::Int:
      if (it.kind != Item::Kind::Int) mismatch(f, n, "a non-integer");
      put_int(grow(w), n.w, it.i);
      break;
    case Op::Fixed:
    case Op::Exp: {
      if (it.kind == Item::Kind::Text) mismatch(f, n, "text");
      double v = it.kind == Item::Kind::Int ? static_cast<double>(it.i) : it.r;
      if (n.op == Op::Fixed) {
        put_fixed(grow(w), n.w, n.d, v);
      } else {
        put_exp(grow(w), n.w, n.d, v);
      }
      break;
    }
    default: {  // A without a width takes the length of the string
      if (it.kind != Item::Kind::Text) mismatch(f, n, "a number");
      const std::size_t cw = w == 0 ? it.s.size() : w;
      put_chars(grow(cw), cw, it.s);
    }
  }
}

void Report::write(const Format& f, std::span<const Item> list) {
  if (finite_only_) {
    for (const Item& it : list) {
      if (it.kind == Item::Kind::Real && !std::isfinite(it.r)) throw NotFinite(caption(f));
    }
  }
  Cursor cur(f);
  std::size_t k = 0;
  restart();  // also after a write that threw halfway
  for (;;) {
    const Format::Node* n = cur.next();
    if (n == nullptr) {
      if (k == list.size()) break;
      emit();
      cur.revert();
      continue;
    }
    if (n->op == Op::Skip) {
      grow(static_cast<std::size_t>(n->w));
    } else if (n->op == Op::Literal) {
      std::memcpy(grow(n->text.size()), n->text.data(), n->text.size());
    } else if (n->op == Op::Slash) {
      emit();
    } else if (k == list.size()) {
      break;  // items used up: the record ends at the next data descriptor
    } else {
      put(f, *n, list[k++]);
    }
  }
  emit();
}

void Report::emit() {
  if (!cc_) {
    *grow(1) = '\n';
    out_.write(line_.data() + kHead, static_cast<std::streamsize>(used_ - kHead));
    restart();
    return;
  }
  // The carriage character is replaced by the bytes it stands for, placed in the head
  // room just before the rest of the record.
  if (used_ == kHead) *grow(1) = ' ';
  std::string_view lead;
  switch (line_[kHead]) {
    case '0':
      lead = "\r\n\r\n";
      break;
    case '1':
      lead = "\r\n\f\b \r";
      break;
    case '+':
      lead = "\r";
      break;
    default:
      lead = "\r\n";
  }
  note_message(std::string_view(line_.data() + kHead + 1, used_ - kHead - 1));
  std::size_t first = kHead + 1 - lead.size();
  std::memcpy(line_.data() + first, lead.data(), lead.size());
  out_.write(line_.data() + first, static_cast<std::streamsize>(used_ - first));
  pending_ = true;
  restart();
}

void Report::note_message(std::string_view rec) {
  // Only a record whose first characters are asterisks opens a message; table lines
  // start with blanks and digits, so they cost a few comparisons here.
  const std::size_t a = rec.find_first_not_of(' ');
  if (a == std::string_view::npos) return;
  // (A line of asterisks alone, as in the title box, opens nothing.)
  const std::size_t after = rec.find_first_not_of('*', a);
  const bool opens = rec.compare(a, 2, "**") == 0 && after != std::string_view::npos;
  if (opens) {
    message_.clear();
    message_lines_ = 0;
  }
  constexpr int kMaxLines = 12;  // a message is a few lines; a table that follows is not
  if (message_lines_ < 0 || message_lines_ >= kMaxLines) return;
  ++message_lines_;
  std::string_view text = rec.substr(a);
  if (opens) text.remove_prefix(std::min(text.find_first_not_of('*'), text.size()));
  constexpr std::string_view kEnd = "PROGRAM TERMINATED";
  if (text.starts_with(kEnd)) {
    message_lines_ = kMaxLines;  // the message is complete
    return;
  }
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t b = text.find_first_not_of(' ', i);
    if (b == std::string_view::npos) break;
    const std::size_t e = std::min(text.find(' ', b), text.size());
    if (!message_.empty()) message_ += ' ';
    message_.append(text.substr(b, e - b));
    i = e;
  }
}

void Report::restart() {
  std::memset(line_.data() + kHead, ' ', used_ - kHead);
  used_ = kHead;
}

void new_page(Report& rep) {
  static const Format kPage("'1', /");
  rep.write(kPage);
}

void Report::complete_line() {
  if (!pending_) return;
  out_.write("\r\n", 2);
  pending_ = false;
}

void Report::raw(std::string_view bytes) {
  out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// ---------------------------------------------------------------------------------------
// Deck

Deck::Deck(std::istream& in) : in_(in) {}

bool Deck::next_line() {
  if (!std::getline(in_, line_)) return false;
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();  // DOS decks
  ++line_no_;
  return true;
}

void Deck::read(const Format& f, std::initializer_list<Target> list) {
  read(f, std::span<const Target>(list.begin(), list.size()));
}

void Deck::read(const Format& f, std::span<const Target> list) {
  if (!next_line()) throw incomplete(f);
  // 0-based column of the next field, on the line that field will be read from.
  std::size_t col = 0;
  // Line ends from '/' and reversion are taken only when a field needs the next line,
  // so that a trailing slash does not demand a line the deck may not have. The column
  // restarts at once, so that nX between the line end and the field counts from the
  // start of the new line.
  int advance = 0;
  Cursor cur(f);
  std::size_t k = 0;
  for (;;) {
    const Format::Node* n = cur.next();
    if (n == nullptr) {
      if (k == list.size()) break;
      cur.revert();
      ++advance;
      col = 0;
    } else if (n->op == Op::Skip) {
      col += static_cast<std::size_t>(n->w);
    } else if (n->op == Op::Slash) {
      ++advance;
      col = 0;
    } else if (n->op == Op::Literal) {
      throw std::logic_error("format " + f.display() + ": a literal cannot be read");
    } else if (k == list.size()) {
      break;
    } else {
      for (; advance > 0; --advance) {
        if (!next_line()) throw incomplete(f);
      }
      col = read_field(f, *n, list[k++], col);
    }
  }
  // A trailing slash skips the lines it names when the deck has them.
  for (; advance > 0; --advance) {
    if (!next_line()) break;
  }
}

ReadError Deck::incomplete(const Format& f) const {
  std::string where = line_no_ == 0 ? std::string("the deck is empty")
                                    : "end of the deck after line " + std::to_string(line_no_);
  return ReadError(error_prefix() + where + ", but a record with format " + f.display() +
                   " is still expected; the deck is incomplete.");
}

std::size_t Deck::read_field(const Format& f, const Format::Node& n, const Target& t,
                             std::size_t col) const {
  auto char_at = [&](std::size_t c) { return c < line_.size() ? line_[c] : ' '; };
  if (n.op == Op::Chars) {
    if (t.kind != Target::Kind::Text) mismatch(f, n, "a numeric target");
    // Without a width the field is the rest of the line.
    std::size_t w =
        n.w > 0 ? static_cast<std::size_t>(n.w) : (col < line_.size() ? line_.size() - col : 0);
    t.s->assign(w, ' ');
    for (std::size_t c = 0; c < w; ++c) (*t.s)[c] = char_at(col + c);
    return col + w;
  }
  bool real = n.op != Op::Int;
  if (t.kind == Target::Kind::Text) mismatch(f, n, "a text target");
  if (real != (t.kind == Target::Kind::Real)) {
    mismatch(f, n, real ? "an integer target" : "a real target");
  }
  // The field: w columns, or up to a comma inside them.
  std::size_t len = static_cast<std::size_t>(n.w);
  std::size_t next = col + len;
  for (std::size_t c = 0; c < len; ++c) {
    if (char_at(col + c) == ',') {
      len = c;
      next = col + c + 1;
      break;
    }
  }
  std::string compact;
  for (std::size_t c = col; c < col + len; ++c) {
    if (char_at(c) != ' ') compact.push_back(char_at(c));
  }
  auto bad = [&](const char* expects) {
    std::string_view found = col < line_.size() ? std::string_view(line_).substr(col, len) : "";
    return ReadError(error_prefix() + "deck line " + std::to_string(line_no_) + ", columns " +
                     std::to_string(col + 1) + "-" +
                     std::to_string(col + std::max<std::size_t>(len, 1)) + ": found \"" +
                     trimmed(found) + "\" where format (" + descriptor(n) + ") expects " + expects +
                     "; correct this field of the deck.");
  };
  if (compact.empty()) {  // an all-blank field is zero
    if (real) {
      *t.r = 0.0;
    } else {
      *t.i = 0;
    }
    return next;
  }
  Number num;
  if (!scan_number(compact, real, num)) throw bad(real ? "a number" : "an integer");
  if (!real) {
    long long v = 0;
    auto r = std::from_chars(num.digits.data(), num.digits.data() + num.digits.size(), v);
    if (num.neg) v = -v;
    if (r.ec != std::errc() || v > std::numeric_limits<int>::max() ||
        v < std::numeric_limits<int>::min()) {
      throw bad("an integer of at most 10 digits");
    }
    *t.i = static_cast<int>(v);
    return next;
  }
  // Without a point the last d digits are the fraction. The decimal digits are converted
  // once, so the result is the double nearest to the decimal value.
  long long e = num.exp10 - (num.point ? num.frac : n.d);
  std::string dec = num.digits + "e" + std::to_string(e);
  double v = 0.0;
  auto r = std::from_chars(dec.data(), dec.data() + dec.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is an error.
    if (e + static_cast<long long>(num.digits.size()) >= 0) {
      throw bad("a number within the range of the program");
    }
    v = 0.0;
  } else if (r.ec != std::errc()) {
    throw bad("a number");
  }
  *t.r = num.neg ? -v : v;
  return next;
}

}  // namespace meridolan
