// Physically impossible decks end with a message naming the record, the field and
// the value, before any analysis; unusual but possible ones run as before; values
// that overflow never reach the report as NaN or Inf.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/deck_builder.h"
#include "support/deck_properties.h"
#include "support/run_deck.h"

namespace meridolan {
namespace {

using testing::fmt_e;
using testing::fmt_f;
using testing::JointRecords;
using testing::Layer;
using testing::Load;
using testing::read_file;
using testing::RunResult;
using testing::SlabDeck;
using testing::small_slab;

const std::string kBanner = "I T E R A T I O N";

// A run whose contour data (several decks request them) go to a stream, not a file.
RunResult run_streams(const std::string& deck) {
  std::istringstream in(deck);
  std::ostringstream out, err, contour;
  ContourFile to_stream;
  to_stream.stream = &contour;
  RunResult r;
  r.status = run(in, out, err, to_stream);
  r.report = out.str();
  r.errors = err.str();
  return r;
}

// Two slab columns joined by dowels and aggregate interlock.
SlabDeck two_slabs() {
  SlabDeck d = small_slab();
  d.xc = {0, 30, 60, 60, 90, 120};
  d.nnx = {3, 3};
  d.loads = {Load{75.0, 48.0, 60.0, 42.0, 54.0}};
  return d;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// The refusal: status 3, the stop line, no analysis, no number that is not finite.
// Returns the message lines from the one starting with "***" up to the stop line.
std::vector<std::string> refusal(const std::string& deck) {
  const RunResult r = run_streams(deck);
  EXPECT_EQ(r.status, kExitRefused) << r.errors;
  EXPECT_EQ(testing::check_deck(deck).problem, "");
  EXPECT_FALSE(r.contains(kBanner));
  std::vector<std::string> msg;
  for (const std::string& line : r.lines()) {
    if (line.find("***") != std::string::npos && line.find("*****") == std::string::npos)
      msg.clear(), msg.push_back(line);
    else if (!msg.empty() && !line.empty())
      msg.push_back(line);
  }
  EXPECT_FALSE(msg.empty()) << r.report.substr(r.report.size() > 800 ? r.report.size() - 800 : 0);
  return msg;
}

std::string first(const std::vector<std::string>& msg) {
  return msg.empty() ? "" : msg[0];
}

void expect_runs(const std::string& deck) {
  const RunResult r = run_streams(deck);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.contains(kBanner)) << r.report.substr(r.report.size() - 600);
  EXPECT_EQ(testing::check_deck(deck).problem, "");
}

TEST(PropertyChecks, MistypedPoissonRatiosOfTheExampleAreNamed) {
  const std::string example = read_file(MERIDOLAN_EXAMPLES "/interior_load.dat");
  const std::string layer = "     8.000 4.000E+06     0.150";
  const std::vector<std::string> msg =
      refusal(replaced(example, layer, "     8.000 4.000E+06    70.150"));
  EXPECT_EQ(msg, (std::vector<std::string>{
                     "         ***TOP LAYER RECORD, COLUMNS 21-30: POISSON RATIO =         70.1500",
                     "            A POISSON RATIO MUST LIE ABOVE -1 AND NOT ABOVE 0.5 (ISOTROPIC "
                     "MATERIAL).",
                     "          PROGRAM TERMINATED.", "Stop - Program terminated."}));
  EXPECT_EQ(first(refusal(replaced(example, layer, "     8.000 4.000E+06    51.0  "))),
            "         ***TOP LAYER RECORD, COLUMNS 21-30: POISSON RATIO =         51.0000");
  // The slip that looks plausible: 0.9 has no isotropic material behind it.
  EXPECT_EQ(first(refusal(replaced(example, layer, "     8.000 4.000E+06     0.900"))),
            "         ***TOP LAYER RECORD, COLUMNS 21-30: POISSON RATIO =           .9000");
  // A modulus of 35 is concrete in GPa: the program has no units, so it runs.
  const RunResult r = run_streams(replaced(example, layer, "     8.000    35.000     0.150"));
  EXPECT_TRUE(r.contains("RADIUS OF RELAT. STIFFNESS=     1.662"));
  EXPECT_TRUE(r.contains(kBanner));
}

TEST(PropertyChecks, LayerRecordsAtAndBeyondTheLimits) {
  struct Case {
    Layer top;
    std::string message;  // empty: the deck runs
  };
  const std::vector<Case> cases{
      {{8.0, 4.0e6, 0.5}, ""},
      {{8.0, 4.0e6, -0.3}, ""},  // unusual (auxetic) but possible
      {{8.0, 4.0e6, -1.0},
       "         ***TOP LAYER RECORD, COLUMNS 21-30: POISSON RATIO =         -1.0000"},
      {{8.0, 4.0e6, 0.501},
       "         ***TOP LAYER RECORD, COLUMNS 21-30: POISSON RATIO =           .5010"},
      {{-8.0, 4.0e6, 0.15},
       "         ***TOP LAYER RECORD, COLUMNS 1-10: THICKNESS =         -8.0000"},
      {{8.0, -4.0e6, 0.15},
       "         ***TOP LAYER RECORD, COLUMNS 11-20: MODULUS =   -4000000.0000"},
  };
  for (const Case& c : cases) {
    SlabDeck d = small_slab();
    d.layers = {c.top};
    if (c.message.empty())
      expect_runs(d.text());
    else
      EXPECT_EQ(first(refusal(d.text())), c.message);
  }
  SlabDeck two = small_slab();
  two.layers = {Layer{6.0, 4.0e6, 0.15}, Layer{5.0, 1.0e6, 0.6}};
  EXPECT_EQ(first(refusal(two.text())),
            "         ***BOTTOM LAYER RECORD, COLUMNS 21-30: POISSON RATIO =           .6000");
}

TEST(PropertyChecks, PerNodeValuesNameTheNode) {
  // A zero thickness selects the per-node records; node 10 reads 0 there.
  SlabDeck d = small_slab();
  d.layers = {Layer{0.0, 4.0e6, 0.15}};
  std::vector<double> th(49, 8.0);
  th[9] = 0.0;
  const std::string layer = fmt_f(0.0) + fmt_e(4.0e6) + fmt_f(0.15);
  std::string deck = d.text();
  const std::size_t end = deck.find('\n', deck.find(layer)) + 1;
  deck.insert(end, testing::list8(th));
  EXPECT_EQ(refusal(deck),
            (std::vector<std::string>{
                "         ***TOP-LAYER THICKNESS RECORDS, NODE    10: THICKNESS =           .0000",
                "            A LAYER THICKNESS MUST BE POSITIVE.", "          PROGRAM TERMINATED.",
                "Stop - Program terminated."}));
  th[9] = 8.0;
  std::string sound = d.text();
  sound.insert(end, testing::list8(th));
  expect_runs(sound);

  // Subgrade moduli per node: the default and the pairs; zero is an unsupported node.
  SlabDeck k = small_slab();
  k.k = 0.0;
  const std::string none = fmt_f(0.0) + testing::fmt_i(0) + "\n";
  EXPECT_EQ(first(refusal(replaced(k.text(), none, fmt_f(-5.0) + testing::fmt_i(0) + "\n"))),
            "         ***SUBGRADE MODULUS RECORD, COLUMNS 1-10: DEFAULT MODULUS =         -5.0000");
  EXPECT_EQ(
      first(refusal(replaced(k.text(), none,
                             fmt_f(200.0) + testing::fmt_i(2) + "\n  7   150.000 12  -100.000\n"))),
      "         ***SUBGRADE MODULUS RECORDS, NODE    12: MODULUS =       -100.0000");
}

TEST(PropertyChecks, SubgradeRecords) {
  SlabDeck d = small_slab();
  d.k = -200.0;
  EXPECT_EQ(first(refusal(d.text())),
            "         ***CONTROL RECORD 6, COLUMNS 11-20: MODULUS OF SUBGRADE REACTION =       "
            "-200.0000");
  SlabDeck v = small_slab();
  v.isubgr = 9;
  v.vshear = -500.0;
  EXPECT_EQ(
      first(refusal(v.text())),
      "         ***CONTROL RECORD 6, COLUMNS 21-30: VLASOV SHEAR PARAMETER =       -500.0000");

  // The elastic solid: its modulus and Poisson ratio, refused before its radius.
  const std::string solid = read_file(MERIDOLAN_TEST_DATA "/elastic_solid_memreq_60307.dat");
  const std::string rec6 = "    2    1     0.000 30000.000     0.400";
  EXPECT_EQ(first(refusal(replaced(solid, rec6, "    2    1     0.000     0.000     0.400"))),
            "         ***CONTROL RECORD 6, COLUMNS 21-30: YOUNG MODULUS OF SUBGRADE =           "
            ".0000");
  EXPECT_EQ(first(refusal(replaced(solid, rec6, "    2    1     0.000 30000.000     1.000"))),
            "         ***CONTROL RECORD 6, COLUMNS 31-40: POISSON RATIO OF SUBGRADE =          "
            "1.0000");
  // Incompressible soil is possible: the deck is analysed.
  const std::string soil = replaced(solid, rec6, "    2    1     0.000 30000.000     0.500");
  EXPECT_TRUE(run_streams(soil).contains("DEFLECTION"));
  EXPECT_EQ(testing::check_deck(soil).problem, "");
}

TEST(PropertyChecks, JointRecords) {
  struct Case {
    std::function<void(JointRecords&)> change;
    std::string message;
  };
  const std::vector<Case> cases{
      {[](JointRecords& j) { j.di = 1.25; },
       "         ***X-DIRECTION DOWEL RECORD, COLUMNS 1-10: INSIDE DIAMETER =          1.2500"},
      {[](JointRecords& j) { j.dout = 0.0; },
       "         ***X-DIRECTION DOWEL RECORD, COLUMNS 11-20: OUTSIDE DIAMETER =           .0000"},
      {[](JointRecords& j) { j.wj = -0.25; },
       "         ***X-DIRECTION DOWEL RECORD, COLUMNS 41-50: JOINT WIDTH =          -.2500"},
      {[](JointRecords& j) { j.prd = 1.0; },
       "         ***X-DIRECTION DOWEL RECORD, COLUMNS 51-60: POISSON RATIO =          1.0000"},
      {[](JointRecords& j) { j.agg = -5.0e4; },
       "         ***X-DIRECTION AGGREGATE INTERLOCK RECORD, COLUMNS 1-10: AGGREGATE INTERLOCK "
       "FACTOR =     -50000.0000"},
      // Dowels that are not placed carry no load: their values are not judged.
      {[](JointRecords& j) { j.sp = -12.0, j.dout = 0.0, j.prd = 3.0; }, ""},
      // A hollow bar and a zero width (taken at the floor) are sound.
      {[](JointRecords& j) { j.di = 0.5, j.wj = 0.0; }, ""},
  };
  for (const Case& c : cases) {
    SlabDeck d = two_slabs();
    c.change(d.jx);
    if (c.message.empty())
      expect_runs(d.text());
    else
      EXPECT_EQ(first(refusal(d.text())), c.message);
  }
  // The same values in the y records of four slabs are judged there, the x records
  // being sound, and named as y records.
  for (const Case& c : cases) {
    SlabDeck d = two_slabs();
    d.yc = {0, 30, 60, 60, 90, 120};
    d.nny = {3, 3};
    c.change(d.jy);
    std::string message = c.message;
    if (const std::size_t at = message.find("X-DIRECTION"); at != std::string::npos)
      message[at] = 'Y';
    if (message.empty())
      expect_runs(d.text());
    else
      EXPECT_EQ(first(refusal(d.text())), message);
  }
}

TEST(PropertyChecks, SymmetryIndexOutsideZeroToThree) {
  for (int isym : {-1, 4, 7}) {
    SlabDeck d = small_slab();
    d.isym = isym;
    const std::vector<std::string> msg = refusal(d.text());
    EXPECT_EQ(first(msg), "         ***CONTROL RECORD 3, COLUMNS 6-10: SYMMETRY INDEX =" +
                              testing::fmt_i(isym, 11));
    ASSERT_GE(msg.size(), 2u);
    EXPECT_EQ(msg[1], "            THE SYMMETRY INDEX MUST BE 0 (NONE), 1, 2 OR 3 (BOTH LINES).");
  }
  SlabDeck d = small_slab();
  d.isym = 3;
  expect_runs(d.text());
}

TEST(PropertyChecks, TemperatureAndGapRecords) {
  const std::string curl = read_file(MERIDOLAN_TEST_DATA "/input_curling_gaps.dat");
  const std::string t1 = "    2    7   10";
  // A negative count would read no list but consume its line.
  EXPECT_EQ(first(refusal(replaced(curl, t1, "   -2    7   10"))),
            "         ***TEMPERATURE AND GAP RECORD, COLUMNS 1-5: NODES WITH ZERO REACTIVE "
            "PRESSURE =         -2");
  EXPECT_EQ(first(refusal(replaced(curl, t1, "    2   -7   10"))),
            "         ***TEMPERATURE AND GAP RECORD, COLUMNS 6-10: NODES WITH A GAP =         -7");
  // Curling decks carry densities: a negative one is refused.
  EXPECT_EQ(first(refusal(replaced(curl, "     0.087", "    -0.087"))),
            "         ***TOP LAYER RECORD, COLUMNS 31-40: DENSITY =          -.0870");
}

TEST(PropertyChecks, ValuesBeyondTheRangeOfNumbersAreNeverPrinted) {
  const std::string example = read_file(MERIDOLAN_EXAMPLES "/interior_load.dat");
  // Thickness cubed times modulus overflows: the radius cannot be formed.
  EXPECT_EQ(first(refusal(replaced(example, "     8.000 4.000E+06", "1.0000E+10 1.00E+300"))),
            "         ***THE RADIUS OF RELATIVE STIFFNESS COULD NOT BE COMPUTED: IT IS NOT A "
            "FINITE NUMBER.");
  // A pressure near the largest number: the total load overflows.
  EXPECT_EQ(first(refusal(replaced(example, "    62.500    84.000", " 1.70E+308    84.000"))),
            "         ***A VALUE COULD NOT BE COMPUTED AS A FINITE NUMBER: TOTAL APPLIED LOAD IS");
  // A huge load on a nearly weightless slab: the displacements overflow.
  std::string soft = replaced(example, "    1    0   200.000", "    1    0 1.00E-100");
  soft = replaced(soft, "     8.000 4.000E+06", "     1.000 1.00E-100");
  soft = replaced(soft, "    62.500    84.000", " 1.00E+300    84.000");
  EXPECT_EQ(first(refusal(soft)),
            "         ***THE DISPLACEMENTS COULD NOT BE COMPUTED: THE DEFLECTION OF NODE      1 IS "
            "NOT A FINITE NUMBER.");
  // No stresses in the report (pass limit 0), but the contour data need them: a very
  // thin, very stiff slab under a huge pressure has finite deflections and stresses
  // beyond the range. The contour data are refused like a report line.
  std::string thin =
      replaced(example, "\n    5    1              0\n", "\n    5    0              0\n");
  thin = replaced(thin, "     8.000 4.000E+06", "1.0000E-100 1.00E+300");
  thin = replaced(thin, "    62.500    84.000", " 1.00E+290    84.000");
  const RunResult r = run_streams(thin);
  EXPECT_TRUE(
      r.contains("\r\n         ***A VALUE COULD NOT BE COMPUTED AS A FINITE NUMBER: THE "
                 "CONTOUR DATA (NODAL STRESSES)\r\n"));
  // No file written, none announced: standard error repeats the message alone, after
  // the warning of the thickness that runs past its columns.
  EXPECT_TRUE(r.errors.ends_with(
      "\nmeridolan: A VALUE COULD NOT BE COMPUTED AS A FINITE NUMBER: THE CONTOUR DATA (NODAL "
      "STRESSES) IT LIES BEYOND THE RANGE OF NUMBERS OF THE PROGRAM (ABOUT 1E-308 TO "
      "1E+308): THE VALUES OF THE DECK ARE TOO LARGE (OR TOO SMALL) FOR THIS COMPUTATION.\n"))
      << r.errors;
  EXPECT_EQ(r.errors.find("contour data written"), std::string::npos);
  EXPECT_EQ(testing::check_deck(thin).problem, "");
}

TEST(PropertyChecks, ElementsOfNoWidthOnlyAtJoints) {
  // Two slab columns, one slab row: a repeated y-coordinate is no joint.
  SlabDeck d = two_slabs();
  d.yc = {0, 24, 24, 48, 60, 72, 96};
  EXPECT_EQ(
      refusal(d.text()),
      (std::vector<std::string>{
          "         ***Y-COORDINATES OF NODE LINES   2 AND   3 ARE    24.000 AND    24.000:",
          "          WITHIN A SLAB THE COORDINATES MUST STRICTLY INCREASE; ONLY THE LAST NODE "
          "LINE",
          "          OF A SLAB AND THE FIRST OF THE NEXT MAY SHARE ONE (A JOINT).",
          "          PROGRAM TERMINATED.", "Stop - Program terminated."}));
  // Between two slabs the lines may coincide (a joint) or leave a strip, never cross.
  d = two_slabs();
  d.xc = {0, 30, 60, 55, 90, 120};
  EXPECT_EQ(first(refusal(d.text())),
            "         ***X-COORDINATES OF NODE LINES   3 AND   4 ARE    60.000 AND    55.000:");
  d.xc = {0, 30, 60, 66, 90, 120};
  expect_runs(d.text());
}

}  // namespace
}  // namespace meridolan
