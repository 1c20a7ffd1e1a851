// Report lines: field forms, carriage control, and how a format is walked over its items.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "base/records.h"
#include "base/stop.h"

namespace meridolan {
namespace {

std::string render(const Format& f, std::span<const Item> list, bool cc = true) {
  std::ostringstream out;
  Report rep(out, cc);
  rep.write(f, list);
  return out.str();
}

std::string render(std::string_view fmt, std::initializer_list<Item> list = {}, bool cc = true) {
  return render(Format(fmt), std::span<const Item>(list.begin(), list.size()), cc);
}

// One field, without carriage control and without the line end.
std::string field(std::string_view fmt, Item it) {
  std::string s = render(fmt, {it}, false);
  EXPECT_EQ(s.back(), '\n');
  s.pop_back();
  return s;
}

TEST(ReportFields, Integers) {
  EXPECT_EQ(field("I5", 42), "   42");
  EXPECT_EQ(field("I5", -1234), "-1234");
  EXPECT_EQ(field("I5", 0), "    0");
  EXPECT_EQ(field("I5", 123456), "*****");
  EXPECT_EQ(field("I5", -12345), "*****");
}

TEST(ReportFields, FixedHasNoLeadingZeroAndSignWhenNegative) {
  EXPECT_EQ(field("F10.3", 0.5), "      .500");
  EXPECT_EQ(field("F10.3", -0.25), "     -.250");
  EXPECT_EQ(field("F10.3", 0.0), "      .000");
  EXPECT_EQ(field("F10.3", -0.0), "      .000");     // negative zero: no sign
  EXPECT_EQ(field("F10.3", -0.0001), "     -.000");  // negative, rounds to zero
  EXPECT_EQ(field("F10.3", 1234.5678), "  1234.568");
  EXPECT_EQ(field("F5.0", 0.4), "   0.");
  EXPECT_EQ(field("F5.0", 12.7), "  13.");
  EXPECT_EQ(field("F5.0", -12.7), " -13.");
  EXPECT_EQ(field("F4.3", 0.5), ".500");  // fits only because no zero is written
  EXPECT_EQ(field("F4.3", -0.5), "****");
  EXPECT_EQ(field("F6.1", 12345.6), "******");
  EXPECT_EQ(field("F10.3", 1e300), "**********");
  EXPECT_EQ(field("F30.3", 1e25), "10000000000000000905969664.000");
  EXPECT_EQ(field("F6.2", 3), "  3.00");  // an integer item under F
}

TEST(ReportFields, FixedRoundsTheExactBinaryValue) {
  // 0.15 and 1.005 are stored slightly below the decimal value.
  EXPECT_EQ(field("F4.1", 0.15), "  .1");
  EXPECT_EQ(field("F5.2", 1.005), " 1.00");
  // Exact binary halves go to the even digit.
  EXPECT_EQ(field("F5.2", 0.125), "  .12");
  EXPECT_EQ(field("F5.2", 0.375), "  .38");
  EXPECT_EQ(field("F3.0", 2.5), " 2.");
  EXPECT_EQ(field("F3.0", 3.5), " 4.");
  EXPECT_EQ(field("F10.3", 0.9996), "     1.000");
}

TEST(ReportFields, Exponent) {
  EXPECT_EQ(field("E10.3", 12345.0), "  .123E+05");
  EXPECT_EQ(field("E10.3", -12345.0), " -.123E+05");
  EXPECT_EQ(field("E10.3", 0.0), "  .000E+00");
  EXPECT_EQ(field("E10.3", 0.000999), "  .999E-03");
  EXPECT_EQ(field("E10.3", 99960.0), "  .100E+06");  // rounding carries into the exponent
  EXPECT_EQ(field("E10.3", 0.5), "  .500E+00");
  EXPECT_EQ(field("E15.8", 1.0), "  .10000000E+01");
  EXPECT_EQ(field("E10.3", 1.5e-100), "  .150E-99");
  EXPECT_EQ(field("E10.3", 1e100), "  .100+101");  // three exponent digits drop the E
  EXPECT_EQ(field("E10.3", -1e-101), " -.100-100");
  EXPECT_EQ(field("E7.3", 12345.0), "*******");
  EXPECT_EQ(field("E8.1", 0.96), "  .1E+01");
  // More significant digits than any double holds: asterisks, for zero as for any value.
  EXPECT_EQ(field("E1010.1000", 0.0), std::string(1010, '*'));
  EXPECT_EQ(field("E1010.1000", 1.0), std::string(1010, '*'));
}

TEST(ReportFields, NonFiniteAndText) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(field("F10.3", std::nan("")), "       NaN");
  EXPECT_EQ(field("E10.3", inf), "       Inf");
  EXPECT_EQ(field("F5.1", -inf), " -Inf");
  EXPECT_EQ(field("F3.0", -inf), "***");
  EXPECT_EQ(field("A5", "ABC"), "  ABC");
  EXPECT_EQ(field("A3", "ABCDEFG"), "ABC");
  EXPECT_EQ(field("A", "ABCDEFG"), "ABCDEFG");
}

TEST(ReportFields, AReportForFiniteValuesOnlyPrintsNoneOfTheLine) {
  std::ostringstream out;
  Report rep(out);
  rep.write(Format("' A'"));
  rep.refuse_non_finite();
  static const Format kLine("/, 10X, 'TOTAL APPLIED LOAD IS', F10.3, 3X, 'AND', F10.3");
  try {
    rep.write(kLine, {1.0, std::numeric_limits<double>::infinity()});
    FAIL() << "an infinite value was printed";
  } catch (const NotFinite& e) {
    EXPECT_EQ(e.label, "TOTAL APPLIED LOAD IS");
  }
  // Nothing of the refused write reached the stream, not even its first line end.
  rep.complete_line();
  EXPECT_EQ(out.str(), "\r\nA\r\n");
  // Finite values, integers and text still print; a line without a caption has none.
  rep.write(Format("I5, F6.1, A"), {3, 2.5, "X"});
  // (the first blank of the line is its carriage control)
  EXPECT_EQ(out.str(), "\r\nA\r\n\r\n   3   2.5X");
  try {
    rep.write(Format("8(I5, F10.3)"), {1, std::nan("")});
    FAIL() << "NaN was printed";
  } catch (const NotFinite& e) {
    EXPECT_EQ(e.label, "");
  }
}

TEST(ReportCarriageControl, FirstCharacterSelectsTheLeadBytes) {
  EXPECT_EQ(render("' X'"), "\r\nX");
  EXPECT_EQ(render("'0X'"), "\r\n\r\nX");
  EXPECT_EQ(render("'1X'"), "\r\n\f\b \rX");
  EXPECT_EQ(render("'+X'"), "\rX");
  EXPECT_EQ(render("'ZX'"), "\r\nX");
  EXPECT_EQ(render(""), "\r\n");
  EXPECT_EQ(render("'1', /"), "\r\n\f\b \r\r\n");  // page throw, then an empty line
  // Without carriage control the record is written whole.
  EXPECT_EQ(render("'1X', /, I3", {7}, false), "1X\n  7\n");
}

TEST(ReportCarriageControl, CompleteLineAndStop) {
  std::ostringstream out;
  Report rep(out);
  rep.complete_line();  // nothing printed yet
  EXPECT_EQ(out.str(), "");
  rep.write(Format("' A'"));
  rep.complete_line();
  rep.complete_line();
  EXPECT_EQ(out.str(), "\r\nA\r\n");
  rep.write(Format("' B'"));
  EXPECT_THROW(STOP(rep, Ending::Finished), RunStopped);
  EXPECT_EQ(out.str(), "\r\nA\r\n\r\nB\r\nStop - Program terminated.\r\n");
}

// A refused run repeats its message in one line: from the record that opens with
// asterisks to its "PROGRAM TERMINATED" line, blanks collapsed; a warning before it
// and the table lines after a warning do not count.
TEST(ReportCarriageControl, RefusedStopCarriesTheLastMessageInOneLine) {
  std::ostringstream out;
  Report rep(out);
  EXPECT_EQ(rep.message(), "");
  rep.write(Format("/, 10X, '***WARNING: SOMETHING ODD', /, 10X, ' BUT HARMLESS.'"));
  rep.write(Format("10X, I5, F10.3"), {7, 1.5});
  rep.write(Format("/, /, 20X, '***LOADED AREA', I4, ' LIES OUTSIDE', /, 20X, 'X1-COOR.=', "
                   "F10.3, /, 20X, ' PROGRAM TERMINATED.', /, /, 20X, 'AFTER'"),
            {3, -2.0});
  try {
    STOP(rep, Ending::Refused);
    FAIL() << "STOP returned";
  } catch (const RunStopped& s) {
    EXPECT_EQ(s.ending, Ending::Refused);
    EXPECT_EQ(s.message, "LOADED AREA 3 LIES OUTSIDE X1-COOR.= -2.000");
  }
  // The older form of the message opens with two asterisks and keeps its closing ones.
  rep.write(Format("/, ' **NUMBER OF LOADED SUBAREAS EXCEEDS MAXSUB**', /, ' PROGRAM TERMINATED'"));
  EXPECT_EQ(rep.message(), "NUMBER OF LOADED SUBAREAS EXCEEDS MAXSUB**");
  try {
    STOP(rep, Ending::Finished);
  } catch (const RunStopped& s) {
    EXPECT_EQ(s.message, "");  // a finished run has no message
  }
}

TEST(ReportFormats, TitleAndHeadings) {
  // A blank title: two empty lines, then 19 blanks after the carriage character and 80 more.
  EXPECT_EQ(render("/, /, 20X, A80", {std::string(80, ' ')}),
            "\r\n\r\n\r\n" + std::string(99, ' '));
  EXPECT_EQ(render("' IT''S', I3", {5}), "\r\nIT'S  5");
  EXPECT_EQ(render("'+', 3X, 'TYPE =', I2, /, 2X, '*'", {7}), "\r   TYPE = 7\r\n *");
  EXPECT_EQ(render("/, 5X, 'R=', F8.5, /, '1'", {0.5}), "\r\n\r\n    R=  .50000\r\n\f\b \r");
}

TEST(ReportFormats, ItemsRunningOutStopAtTheNextDataDescriptor) {
  EXPECT_EQ(render("10X, 'A=', F6.2, ' B=', F6.2, ' END'", {1.0}), "\r\n         A=  1.00 B=");
  // An empty node list still prints the leading blanks.
  EXPECT_EQ(render("5X, 8(I5, F10.5)"), "\r\n    ");
  // A full list goes on through the slash to the blanks of the next line.
  std::vector<int> nodes(24, 1);
  std::string ones;
  for (int k = 0; k < 24; ++k) ones += "    1";
  EXPECT_EQ(render(Format("10(5X, 24I5, /)"), items(nodes)), "\r\n    " + ones + "\r\n    ");
  // The typical table line with four reals leaves the trailing blanks of 10X.
  EXPECT_EQ(render("10X, I5, 3(2X, F13.6), 14X, F10.3, 10X, F10.3", {3, 1.0, -2.0, 0.5, 7.25}),
            "\r\n" + std::string(9, ' ') + "    3" + "       1.000000" + "      -2.000000" +
                "        .500000" + std::string(14, ' ') + "     7.250" + std::string(10, ' '));
}

TEST(ReportFormats, Reversion) {
  std::vector<double> x(25);
  for (std::size_t k = 0; k < x.size(); ++k) x[k] = static_cast<double>(k + 1);
  std::string out = render(Format("10(3X, F10.3)"), items(x));
  auto line = [&](int from, int to, bool tail) {
    std::string s = "\r\n  ";
    for (int v = from; v <= to; ++v) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%10.3f", static_cast<double>(v));
      s += buf;
      if (v < to || tail) s += "   ";
    }
    return s;
  };
  EXPECT_EQ(out, line(1, 10, false) + line(11, 20, false) + line(21, 25, true));

  // No group: the whole format, heading included, starts again.
  std::vector<int> dowels(20);
  for (int k = 0; k < 20; ++k) dowels[static_cast<std::size_t>(k)] = k + 1;
  Format heading("10X, 'DOWELS AT', /, 10X, 16I5");
  std::string d = render(heading, items(dowels));
  std::string expect = "\r\n         DOWELS AT\r\n         ";
  for (int k = 1; k <= 16; ++k)
    expect += std::string(5 - std::to_string(k).size(), ' ') + std::to_string(k);
  expect += "\r\n         DOWELS AT\r\n         " + std::string("   17   18   19   20");
  EXPECT_EQ(d, expect);

  // Reversion starts at the last top-level group, so the leading 1X is not repeated; the
  // inner group repeats inside the outer one.
  EXPECT_EQ(render("1X, 2(I2, 2(I1))", {10, 1, 2, 20, 3, 4, 30, 5, 6}), "\r\n10122034\r\n056");
  EXPECT_EQ(render("(3X, 10(I3, 1X, I3, 1X, I3))", {1, 2, 3}), "\r\n    1   2   3");
}

TEST(ReportFormats, ProgrammingErrorsAreLogicErrors) {
  std::ostringstream out;
  Report rep(out);
  EXPECT_THROW(rep.write(Format("I5"), {1.5}), std::logic_error);
  EXPECT_THROW(rep.write(Format("F5.1"), {"x"}), std::logic_error);
  EXPECT_THROW(rep.write(Format("A5"), {1}), std::logic_error);
  EXPECT_THROW(rep.write(Format("'ONLY TEXT'"), {1}), std::logic_error);
  EXPECT_THROW(rep.write(Format("I5, 2('X')"), {1, 2}), std::logic_error);
}

}  // namespace
}  // namespace meridolan
