// Fixed-column records and printed report lines.
//
// Every record of the deck and every line of the report is described by a format
// in edit-descriptor notation ("10X, I5, 3(2X, F13.6)"). A Format is parsed once,
// when it is constructed, and can then be used for any number of reads or writes.
//
//   Output (Report::write): Iw, Fw.d, Ew.d, Aw, nX, 'literal', /, r( ... ), format
//   reversion to the last top-level group, asterisk fill, and carriage control:
//   the first character of every record selects the bytes written before it.
//   Input (Deck::read): fixed columns, blanks ignored, an all-blank field is zero,
//   implied decimals, a comma ends a field, E/D/sign-only exponents, each read
//   starts a new line, short lines are padded with blanks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace meridolan {

// One parsed format. Construct once (for instance as a function-local
// `static const Format`), use many times.
class Format {
 public:
  explicit Format(std::string_view text);

  enum class Op : std::uint8_t {
    Int,        // Iw
    Fixed,      // Fw.d
    Exp,        // Ew.d
    Chars,      // Aw
    Skip,       // nX
    Literal,    // 'text'
    Slash,      // /
    GroupOpen,  // r(   (count = repeat, jump = index of matching GroupClose)
    GroupClose  // )    (jump = index of matching GroupOpen)
  };
  struct Node {
    Op op;
    int w = 0;         // field width, or the count of blanks for nX
    int d = 0;         // decimals / significant digits
    int count = 1;     // repeat count of a group
    int jump = 0;      // matching parenthesis
    std::string text;  // literal text
  };

  const std::vector<Node>& nodes() const { return nodes_; }
  int reversion_point() const { return reversion_; }
  const std::string& text() const { return text_; }
  // True when the part of the format that reversion repeats holds a data descriptor,
  // so that a long item list can be worked through at all.
  bool reversion_has_data() const { return reversion_has_data_; }
  // The format as shown in messages, always inside one pair of parentheses.
  const std::string& display() const { return display_; }

  // Deepest nesting of groups the interpreters have to track.
  static constexpr int kMaxDepth = 16;

 private:
  std::vector<Node> nodes_;  // data descriptors with repeat counts are expanded
  int reversion_ = 0;        // node index where format reversion restarts
  bool reversion_has_data_ = false;
  std::string text_;
  std::string display_;
};

// A value to print: an integer, a real or a character string.
struct Item {
  enum class Kind : std::uint8_t { Int, Real, Text } kind;
  std::int64_t i = 0;
  double r = 0.0;
  std::string_view s;

  Item(int v) : kind(Kind::Int), i(v) {}
  Item(long v) : kind(Kind::Int), i(v) {}
  Item(long long v) : kind(Kind::Int), i(v) {}
  Item(double v) : kind(Kind::Real), r(v) {}
  Item(std::string_view v) : kind(Kind::Text), s(v) {}
  Item(const char* v) : kind(Kind::Text), s(v) {}
  Item(const std::string& v) : kind(Kind::Text), s(v) {}
};

// Items for a whole array, in order (for "10(3X, F10.3)" over XC(1..NXT) etc.).
std::vector<Item> items(std::span<const double> values);
std::vector<Item> items(std::span<const int> values);

// The printed report (unit 6), or the contour data file (unit 7).
// Each write starts a new record. With carriage control on, the first character of
// each record is not printed but selects the bytes written before the rest:
//   blank (or any other)  "\r\n"
//   '0'                   "\r\n\r\n"
//   '1'                   "\r\n\f\b \r"
//   '+'                   "\r"
// Lines are therefore terminated lazily: the last line stays pending until the next
// record or complete_line().
// Without carriage control (the contour file) every record is written as it stands,
// first character included, followed by "\n"; nothing is ever pending.
class Report {
 public:
  explicit Report(std::ostream& out, bool carriage_control = true);

  void write(const Format& f, std::initializer_list<Item> list = {});
  void write(const Format& f, std::span<const Item> list);

  // Ends the pending line with "\r\n" when anything has been printed since the last
  // completion; does nothing otherwise.
  void complete_line();
  // Writes raw bytes (the stop line); no carriage control, and the pending state is
  // left as it was.
  void raw(std::string_view bytes);

  // From now on a write that holds a real value that is not finite prints nothing
  // and throws NotFinite instead: a report must never show NaN or Inf.
  void refuse_non_finite() { finite_only_ = true; }

  // The last message of the report as one line: the records from the last one that
  // opens with asterisks ("***LOADED AREA ...") up to its "PROGRAM TERMINATED" line,
  // without the asterisks, that line and repeated blanks. Empty when none was printed.
  const std::string& message() const { return message_; }

 private:
  void note_message(std::string_view record);
  void emit();
  // Blanks the record and starts the next one.
  void restart();
  void put(const Format& f, const Format::Node& n, const Item& it);
  // Room for n more bytes of the record, all blank.
  char* grow(std::size_t n) {
    if (used_ + n > line_.size()) line_.resize(std::max(2 * line_.size(), used_ + n), ' ');
    used_ += n;
    return line_.data() + used_ - n;
  }
  std::ostream& out_;
  bool cc_;
  bool finite_only_ = false;
  bool pending_ = false;
  // Record being built, reused from line to line: line_[kHead, used_). The kHead bytes
  // of head room let the carriage-control bytes be placed in front of the record, so the
  // whole line goes to the stream in one write. The buffer only grows, and every byte
  // past the record is blank: fields write only their characters.
  static constexpr std::size_t kHead = 6;
  std::string line_;
  std::size_t used_ = kHead;
  std::string message_;
  int message_lines_ = -1;  // lines of message_ so far; -1 before the first message
};

// A write refused by a Report that prints finite values only. `label` is the first
// literal text of the format (the caption of the value), trimmed; empty when the
// format has none (a table line).
struct NotFinite : std::runtime_error {
  explicit NotFinite(std::string caption)
      : std::runtime_error("value not finite: " + caption), label(std::move(caption)) {}
  std::string label;
};

// Starts a new page: the format "'1', /" (page throw, then one empty line) that ends
// every block of a node table and opens several sections of the report.
void new_page(Report& rep);

// A destination for one value read from the deck.
struct Target {
  enum class Kind : std::uint8_t { Int, Real, Text } kind;
  int* i = nullptr;
  double* r = nullptr;
  std::string* s = nullptr;

  Target(int& v) : kind(Kind::Int), i(&v) {}
  Target(double& v) : kind(Kind::Real), r(&v) {}
  Target(std::string& v) : kind(Kind::Text), s(&v) {}
};

// Targets for every entry of an array, in order.
std::vector<Target> targets(std::span<double> values);
std::vector<Target> targets(std::span<int> values);

// A record that cannot be read. what() is the complete message for standard error:
// it names the unit (5) and the statement kind ("READ"), the deck line, the columns
// of the field and the text found, and what the field should hold.
struct ReadError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The input deck (unit 5).
class Deck {
 public:
  explicit Deck(std::istream& in);

  // Reads one record (and as many continuation lines as the format and the targets
  // need). Throws ReadError on a malformed field or when the deck ends first.
  void read(const Format& f, std::initializer_list<Target> list);
  void read(const Format& f, std::span<const Target> list);

  // Number of deck lines consumed so far.
  int line_number() const { return line_no_; }

 private:
  bool next_line();
  ReadError incomplete(const Format& f) const;
  // Reads the field of `n` that starts at column `col` into `t`; returns the column
  // where the next field starts.
  std::size_t read_field(const Format& f, const Format::Node& n, const Target& t,
                         std::size_t col) const;
  std::istream& in_;
  std::string line_;
  int line_no_ = 0;
};

}  // namespace meridolan
