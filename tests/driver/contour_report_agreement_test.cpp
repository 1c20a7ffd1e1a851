// The contour data file of every bundled example (and of a contact analysis on the
// elastic solid) holds, node by node, the deflection
// and the stresses at the bottom of the top layer that its report prints last.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using namespace testing;

// The data part of a contour file: everything after the four header lines.
std::vector<double> contour_values(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  for (int i = 0; i < 4 && std::getline(in, line); ++i) {
  }
  std::vector<double> v;
  for (double x; in >> x;) v.push_back(x);
  return v;
}

// The report from the last deflection table on (a stress-dependent run prints one per
// pass; the file holds the last).
std::vector<std::string> last_pass(const std::vector<std::string>& lines) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find("DEFLECTION     X-ROTATION") != std::string::npos) at = i;
  return {lines.begin() + static_cast<std::ptrdiff_t>(at), lines.end()};
}

// Every value of the contour file against the report's last deflection and stress
// tables.
void expect_agreement(const std::filesystem::path& deck) {
  SCOPED_TRACE(deck.filename().string());
  const RunResult r = run_file(deck.string());
  ASSERT_EQ(r.status, 0);
  ASSERT_FALSE(r.contour.empty()) << "the deck requests contours";
  const auto lines = last_pass(r.lines());
  const auto defl = deflections(lines);
  const auto str = stresses(lines);
  const std::vector<double> v = contour_values(r.contour);
  const int N = static_cast<int>(defl.size());
  ASSERT_GT(N, 0);
  ASSERT_EQ(v.size(), 1 + 6 * static_cast<std::size_t>(N));
  ASSERT_EQ(str.size(), defl.size());
  // The report prints six decimals, the file eight significant digits: the two
  // agree to half a unit of the report's last digit plus the file's rounding.
  const auto near = [](double file, double printed) {
    return std::abs(file - printed) <= 0.5e-6 + 5e-8 * std::abs(printed) + 1e-12;
  };
  int off = 0;
  for (int n = 1; n <= N; ++n) {
    if (!near(v[1 + 2 * N + (n - 1)], defl.at(n).w)) ++off;
    const std::vector<double>& bottom = str.at(n).at(1);  // bottom of the top layer
    if (!near(v[1 + 3 * N + (n - 1)], bottom[1])) ++off;
    if (!near(v[1 + 4 * N + (n - 1)], bottom[4])) ++off;
    if (!near(v[1 + 5 * N + (n - 1)], bottom[5])) ++off;
  }
  EXPECT_EQ(off, 0) << "values in the file that differ from the report";
}

TEST(ContourFileAgreesWithReport, EveryBundledExample) {
  std::vector<std::filesystem::path> decks;
  for (const auto& e : std::filesystem::directory_iterator(MERIDOLAN_EXAMPLES))
    if (e.path().extension() == ".dat") decks.push_back(e.path());
  std::sort(decks.begin(), decks.end());
  ASSERT_GE(decks.size(), 9u);
  for (const auto& deck : decks) expect_agreement(deck);
}

// The elastic solid prints the results of a contact analysis from its last solution:
// the file must hold that solution's deflections (and not the load vector).
TEST(ContourFileAgreesWithReport, ContactAnalysisOnTheElasticSolid) {
  expect_agreement(MERIDOLAN_TEST_DATA "/contact_solid_contour.dat");
}

}  // namespace
}  // namespace meridolan
