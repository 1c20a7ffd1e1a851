// Deck records: fixed fields, implied decimals, exponents, commas, continuation lines,
// and the messages for a bad or missing record. Also the format text itself.
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "base/records.h"

namespace meridolan {
namespace {

// Reads one real under `fmt` from a one-line deck.
double real(std::string_view fmt, const std::string& line) {
  std::istringstream in(line + "\n");
  Deck deck(in);
  double v = -999.0;
  deck.read(Format(fmt), {v});
  return v;
}

int integer(std::string_view fmt, const std::string& line) {
  std::istringstream in(line + "\n");
  Deck deck(in);
  int v = -999;
  deck.read(Format(fmt), {v});
  return v;
}

// The message of the ReadError a read into eight values of type T throws, or "" when
// the read succeeds.
template <typename T = double>
std::string error_of(std::string_view fmt, const std::string& deck_text, int skip_lines = 0) {
  std::istringstream in(deck_text);
  Deck deck(in);
  std::string line;
  for (int k = 0; k < skip_lines; ++k) deck.read(Format("A1"), {line});
  std::array<T, 8> v{};
  try {
    deck.read(Format(fmt), std::span<const Target>(targets(v)));
  } catch (const ReadError& e) {
    return e.what();
  }
  return "";
}

TEST(DeckFields, RealsAndImpliedDecimals) {
  EXPECT_EQ(real("F10.3", "   1.5"), 1.5);
  EXPECT_EQ(real("F10.3", "15"), 0.015);
  EXPECT_EQ(real("F10.3", "     12345"), 12.345);
  EXPECT_EQ(real("F10.3", "1 2 3 4 5"), 12.345);  // blanks anywhere are ignored
  EXPECT_EQ(real("F10.3", "-2.5"), -2.5);
  EXPECT_EQ(real("F10.3", ""), 0.0);                   // blank field
  EXPECT_EQ(real("F10.9", "123456789"), 0.123456789);  // nearest double to the decimal
  EXPECT_EQ(real("F10.7", "       .05"), 0.05);
  EXPECT_EQ(real("F10.3", "1.5D2"), 150.0);
}

TEST(DeckFields, Exponents) {
  EXPECT_EQ(real("E10.3", "1.5E2"), 150.0);
  EXPECT_EQ(real("E10.3", "1.5e+2"), 150.0);
  EXPECT_EQ(real("E10.3", "1.5d-2"), 0.015);
  EXPECT_EQ(real("E10.3", "1.5+2"), 150.0);  // sign alone starts the exponent
  EXPECT_EQ(real("E10.3", "-1.5-2"), -0.015);
  EXPECT_EQ(real("E10.3", "15+2"), 1.5);  // implied decimals apply before the exponent
  EXPECT_EQ(real("E10.3", "3.E7"), 3e7);
  EXPECT_EQ(real("E10.3", "1.E-400"), 0.0);  // underflow reads as zero
}

TEST(DeckFields, IntegersAndCommas) {
  std::istringstream in("\n    1    2\n12,34567\n1.5,2.25\n");
  Deck deck(in);
  std::array<int, 10> ten;
  ten.fill(7);
  deck.read(Format("10I5"), std::span<const Target>(targets(ten)));
  for (int v : ten) EXPECT_EQ(v, 0);  // a blank line is ten zeros
  int a = 0, b = 0, c = 9;
  deck.read(Format("3I5"), {a, b, c});  // the short line is padded with blanks
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(c, 0);
  deck.read(Format("2I5"), {a, b});  // the comma ends the first field early
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, 34567);
  double x = 0, y = 0;
  deck.read(Format("2F10.3"), {x, y});
  EXPECT_EQ(x, 1.5);
  EXPECT_EQ(y, 2.25);
  EXPECT_EQ(integer("I5", "  - 5"), -5);
  EXPECT_EQ(integer("I5", "   +7"), 7);
  EXPECT_EQ(integer("2X, I3", "xx 42"), 42);  // skipped columns are not looked at
}

TEST(DeckRecords, LinesAndContinuation) {
  std::string deck_text;
  for (int k = 0; k < 8; ++k) deck_text += "       1.0";
  deck_text += "  ignored\n       2.0       2.0       2.0       2.0\n    9\r\nAB\r\n";
  std::istringstream in(deck_text);
  Deck deck(in);
  std::vector<double> v(12);
  deck.read(Format("8F10.3"), std::span<const Target>(targets(v)));
  EXPECT_EQ(deck.line_number(), 2);
  for (std::size_t k = 0; k < 12; ++k) EXPECT_EQ(v[k], k < 8 ? 1.0 : 2.0);
  int n = 0;
  deck.read(Format("I5"), {n});  // a new read starts a new line; DOS line end
  EXPECT_EQ(n, 9);
  std::string title;
  deck.read(Format("A5"), {title});
  EXPECT_EQ(title, "AB   ");

  // Reversion to the last group: the leading I5 is read only once; '/' moves on a line.
  std::istringstream in2("    3  1.0  2.0\n  3.0  4.0\n   11\n   12\n");
  Deck d2(in2);
  int count = 0;
  std::array<double, 4> r{};
  std::vector<Target> t{count};
  for (double& x : r) t.emplace_back(x);
  d2.read(Format("I5, 2(F5.1)"), t);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(r, (std::array<double, 4>{1.0, 2.0, 3.0, 4.0}));
  int p = 0, q = 0;
  d2.read(Format("I5, /, I5"), {p, q});
  EXPECT_EQ(p, 11);
  EXPECT_EQ(q, 12);
  EXPECT_EQ(d2.line_number(), 4);

  // Columns skipped after '/' or after reversion count from the start of the new line.
  std::istringstream in4("    1\n   99    2\nxx  3xx  4\nxx  5xx  6\n");
  Deck d4(in4);
  d4.read(Format("I5, /, 5X, I5"), {p, q});
  EXPECT_EQ(q, 2);
  std::array<int, 4> skipped{};
  d4.read(Format("2(2X, I3)"), std::span<const Target>(targets(skipped)));
  EXPECT_EQ(skipped, (std::array<int, 4>{3, 4, 5, 6}));

  // A trailing slash skips a line when there is one, and does not fail at the end.
  std::istringstream in3("    1\nskipped\n    2\n");
  Deck d3(in3);
  d3.read(Format("I5, /"), {p});
  d3.read(Format("I5, /"), {q});
  EXPECT_EQ(q, 2);
}

TEST(DeckRecords, BadFieldsNameTheLineColumnsAndText) {
  std::string deck_text;
  for (int k = 0; k < 6; ++k) deck_text += "x\n";
  deck_text += "       1.0     1.2x4\n";
  EXPECT_EQ(error_of("2F10.3", deck_text, 6),
            "meridolan: run-time error on unit 5 (READ): deck line 7, columns 11-20: found "
            "\"1.2x4\" where format (F10.3) expects a number; correct this field of the deck.");
  std::string m = error_of<int>("I5, I5", "  1.5\n");
  EXPECT_NE(m.find("deck line 1, columns 1-5: found \"1.5\" where format (I5) expects an integer"),
            std::string::npos)
      << m;
  EXPECT_NE(error_of("F5.1", "1.5E\n").find("found \"1.5E\""), std::string::npos);
  EXPECT_NE(error_of("F5.1", "1..5\n").find("found \"1..5\""), std::string::npos);
  EXPECT_NE(error_of("F5.1", "  -  \n").find("expects a number"), std::string::npos);
  EXPECT_NE(error_of("E10.3", "1.0E999\n").find("range"), std::string::npos);
  EXPECT_NE(error_of<int>("I15", "  99999999999\n").find("(I15) expects an integer"),
            std::string::npos);
  EXPECT_EQ(error_of("8F5.1", "  1.5\n"), "");
}

TEST(DeckRecords, EndOfDeck) {
  std::string deck_text;
  for (int k = 0; k < 12; ++k) deck_text += "         1\n";
  EXPECT_EQ(error_of("8F10.3", deck_text, 12),
            "meridolan: run-time error on unit 5 (READ): end of the deck after line 12, but a "
            "record with format (8F10.3) is still expected; the deck is incomplete.");
  // Running out while a continuation line is still needed.
  EXPECT_NE(error_of("(4F10.3)", "1 2 3 4\n").find("after line 1"), std::string::npos);
  EXPECT_NE(error_of("I5", "").find("the deck is empty"), std::string::npos);
}

TEST(FormatText, ParsesTheNotation) {
  Format dowels("10X, 'DOWELS ARE LOCATED', /, 10X, 16I5");
  EXPECT_EQ(dowels.nodes().size(), 20u);  // 16I5 is sixteen fields, not a group
  EXPECT_EQ(dowels.reversion_point(), 0);
  EXPECT_EQ(dowels.display(), "(10X, 'DOWELS ARE LOCATED', /, 10X, 16I5)");

  Format nodes("(3X, 10(I3, 1X, I3, 1X, I3))");
  EXPECT_EQ(nodes.reversion_point(), 1);
  EXPECT_EQ(nodes.nodes()[1].op, Format::Op::GroupOpen);
  EXPECT_EQ(nodes.nodes()[1].count, 10);
  EXPECT_EQ(nodes.nodes()[static_cast<std::size_t>(nodes.nodes()[1].jump)].op,
            Format::Op::GroupClose);
  EXPECT_EQ(nodes.display(), "(3X, 10(I3, 1X, I3, 1X, I3))");

  // Slashes separate by themselves; a doubled quote is one quote; case does not matter.
  Format f("'A''B'//2x,e10.3 , a");
  ASSERT_EQ(f.nodes().size(), 6u);
  EXPECT_EQ(f.nodes()[0].text, "A'B");
  EXPECT_EQ(f.nodes()[2].op, Format::Op::Slash);
  EXPECT_EQ(f.nodes()[3].w, 2);
  EXPECT_EQ(f.nodes()[4].op, Format::Op::Exp);
  EXPECT_EQ(f.nodes()[5].op, Format::Op::Chars);
  EXPECT_EQ(f.nodes()[5].w, 0);
  // The last top-level group counts for reversion, not a later inner one.
  EXPECT_EQ(Format("I1, 2(I2), 3(I3, 4(I4))").reversion_point(), 4);

  for (const char* bad : {"I", "F10", "E10.0", "(I5", "I5)", "'abc", "3X 2I5", "Q5", "0(I5)",
                          "I5, ()", "I5,,I3", ",I5", "F10.3.2"}) {
    EXPECT_THROW(Format{bad}, std::logic_error) << bad;
  }
}

}  // namespace
}  // namespace meridolan
