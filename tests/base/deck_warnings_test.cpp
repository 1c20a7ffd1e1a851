// The slips of columns that still read: each gets one warning line naming the deck
// line, the columns, the text and the value read; the values read are unchanged, and
// in strict mode the same slip is a read error.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/records.h"

namespace meridolan {
namespace {

struct Read {
  std::vector<double> values;
  std::string warnings;
};

// Reads `n` reals under `fmt` from `text` (one record), collecting the warnings.
Read read_reals(std::string_view fmt, const std::string& text, int n) {
  std::istringstream in(text);
  std::ostringstream warn;
  Deck deck(in, DeckWarnings{&warn, false});
  Read r;
  r.values.assign(static_cast<std::size_t>(n), -999.0);
  deck.read(Format(fmt), targets(std::span<double>(r.values)));
  r.warnings = warn.str();
  return r;
}

std::string warnings_of_ints(std::string_view fmt, const std::string& text, int n) {
  std::istringstream in(text);
  std::ostringstream warn;
  Deck deck(in, DeckWarnings{&warn, false});
  std::vector<int> v(static_cast<std::size_t>(n));
  deck.read(Format(fmt), targets(std::span<int>(v)));
  return warn.str();
}

const std::string kWarn = "meridolan: warning: deck line 1, columns ";

TEST(DeckWarnings, ImpliedDecimals) {
  auto r = read_reals("F10.3", "         9\n", 1);
  EXPECT_EQ(r.values[0], 0.009);
  EXPECT_EQ(r.warnings, kWarn +
                            "1-10: \"9\" is read by F10.3 as 0.009: without a decimal "
                            "point its last 3 digits are taken as decimals\n");
  // An exponent without a point is scaled too: 25E3 under E10.3 is 25.
  r = read_reals("E10.3", "      25E3\n", 1);
  EXPECT_EQ(r.values[0], 25.0);
  EXPECT_NE(r.warnings.find("as 25: without a decimal point"), std::string::npos) << r.warnings;
  // Nothing to say: a point, a zero, a blank field, no implied decimals (F10.0).
  for (const char* line : {"        9.", "         0", "          ", "       000"})
    EXPECT_EQ(read_reals("F10.3", std::string(line) + "\n", 1).warnings, "") << line;
  EXPECT_EQ(read_reals("F10.0", "         9\n", 1).warnings, "");
}

TEST(DeckWarnings, TextOutsideEveryField) {
  // After the last field of a one-line record, and on each full line of a continued one.
  auto r = read_reals("2F10.3", "       1.0       2.0   note\n", 2);
  EXPECT_EQ(r.values, (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(r.warnings, kWarn +
                            "24-27: \"note\" lies outside every field of the record and is "
                            "not read\n");
  r = read_reals("2F10.3", "       1.0       2.0 x\n       3.0\n", 3);
  EXPECT_EQ(r.warnings, kWarn +
                            "22-22: \"x\" lies outside every field of the record and is not "
                            "read\n");
  EXPECT_EQ(read_reals("2F10.3", "       1.0       2.0      \n", 2).warnings, "");
  // Columns a record has but does not use (10I5 with four fields) are outside too.
  EXPECT_NE(warnings_of_ints("10I5", "    1    0    0    0    7\n", 4).find("25-25: \"7\""),
            std::string::npos);
}

TEST(DeckWarnings, AValueRunningPastItsField) {
  // 2.500E+04 typed one column too far right: E10.3 reads "2.500E+0", and the 4 is left.
  auto r = read_reals("E10.3", "  2.500E+04\n", 1);
  EXPECT_EQ(r.values[0], 2.5);
  EXPECT_EQ(r.warnings, kWarn +
                            "1-11: \"2.500E+04\" is read by E10.3 as 2.5 from 2.500E+0: the "
                            "value runs on past the field's last column 10\n");
  // Inside a record the next field reads the rest; the warning is for the first field.
  r = read_reals("2F10.3", "     12.34567.8\n", 2);
  EXPECT_NE(r.warnings.find("1-15: \"12.34567.8\" is read by F10.3 as 12.34 from 12.34"),
            std::string::npos)
      << r.warnings;
  // Fields that fill their columns side by side are no slip.
  EXPECT_EQ(read_reals("2F10.3", "123456.000123456.000\n", 2).warnings, "");
  // An integer with digits beyond its field: 10 typed one column right of I5.
  const std::string w = warnings_of_ints("2I5", "    1    0\n", 2);
  EXPECT_EQ(w, "");
  EXPECT_EQ(warnings_of_ints("2I5", "    10   2\n", 2),
            kWarn +
                "1-6: \"10\" is read by I5 as 1 from 1: the value runs on past the field's "
                "last column 5\n");
}

TEST(DeckWarnings, ACommaEndsAField) {
  auto r = read_reals("3F10.3", "1.5,2.5,3.5\n", 3);
  EXPECT_EQ(r.values, (std::vector<double>{1.5, 2.5, 3.5}));
  EXPECT_EQ(r.warnings.substr(0, r.warnings.find('\n')),
            kWarn +
                "1-4: \"1.5,\" is read by F10.3 as 1.5: a comma ends the field early, and the "
                "fields after it move");
  EXPECT_EQ(std::count(r.warnings.begin(), r.warnings.end(), '\n'), 2);  // the last has none
}

TEST(DeckWarnings, StrictMakesEachSlipAReadError) {
  std::istringstream in("         9\n");
  std::ostringstream warn;
  Deck deck(in, DeckWarnings{&warn, true});
  double v = 0;
  try {
    deck.read(Format("F10.3"), {v});
    ADD_FAILURE() << "no error";
  } catch (const ReadError& e) {
    EXPECT_EQ(std::string(e.what()),
              "meridolan: run-time error on unit 5 (READ): deck line 1, columns 1-10: \"9\" is "
              "read by F10.3 as 0.009: without a decimal point its last 3 digits are taken as "
              "decimals (refused by --strict); correct this field of the deck.");
  }
  EXPECT_EQ(warn.str(), "");
}

TEST(DeckWarnings, WithoutASinkNothingIsLookedFor) {
  std::istringstream in("         9  trailing\n");
  Deck deck(in);
  double v = 0;
  deck.read(Format("F10.3"), {v});
  EXPECT_EQ(v, 0.009);
}

}  // namespace
}  // namespace meridolan
