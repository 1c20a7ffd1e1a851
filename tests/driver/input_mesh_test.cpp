// The mesh part of the deck: coordinates and node table, layer properties given once
// or per node, and every form of the subgrade echo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "driver/input.h"
#include "driver/input_fixture.h"
#include "support/deck_builder.h"

namespace meridolan {
namespace {

using testing::control;
using testing::fmt_e;
using testing::fmt_f;
using testing::fmt_i;
using testing::list8;
using testing::Reading;

Reading mesh(Control& C, Work& w, const std::string& deck,
             const std::function<void(Work&)>& prepare = {}) {
  return testing::read_with(C, w, deck, read_mesh, prepare);
}

std::string layer(double h, double e, double nu, double gam = 0, double dt = 0, double alf = 0) {
  return fmt_f(h) + fmt_e(e) + fmt_f(nu) + fmt_f(gam) + fmt_f(dt) + fmt_e(alf) + "\n";
}

const std::string kSlab8 = layer(8.0, 4.0e6, 0.15);

TEST(MeshEcho, CoordinatesTenPerLineAndDisplayCoordinates) {
  Control C = control({11}, {2});
  Work w;
  const std::vector<double> xc{-2.7, 0, 12.49, 12.5, 20, 30, 40, 50, 60, 70, 1000};
  const std::vector<double> yc{0, 999.6};
  // Eleven x-coordinates take two deck lines (8 + 3).
  Reading r = mesh(C, w, list8(xc) + list8(yc) + kSlab8 + "not a record\n");
  EXPECT_EQ(r.deck_lines, 4);
  const std::vector<std::string> want{
      "                   NO. OF NODES IN SLABS ALONG X-AXIS     =   11    0    0    0    0    0"
      "    0    0    0    0",
      "",
      "                   NO. OF NODES IN SLABS ALONG Y-AXIS     =    2    0    0    0    0    0"
      "    0    0    0    0",
      "",
      "",
      "         X-COORDINATES ARE:",
      "",
      "      -2.700         .000       12.490       12.500       20.000       30.000       40.000"
      "       50.000       60.000       70.000",
      "    1000.000   ",
      "",
      "",
      "         Y-COORDINATES ARE:",
      "",
      "        .000      999.600   ",
      "\f",
      "",
      "                   COORDINATES OF EACH NODE (NODE NUMBER, X-COORDINATE, Y-COORDINATE:",
      "",
      "",
      // 12.5 shows as 13, 12.49 as 12, -2.7 as -2; 999.6 and 1000 need four digits.
      "    1  -2   0  2  -2 ***  3   0   0  4   0 ***  5  12   0  6  12 ***  7  13   0  8  13 ***"
      "  9  20   0 10  20 ***",
      "   11  30   0 12  30 *** 13  40   0 14  40 *** 15  50   0 16  50 *** 17  60   0 18  60 ***"
      " 19  70   0 20  70 ***",
      "   21 ***   0 22 *** ***",
      "",
      "",
      "         NO. OF SLABS =    1",
      "",
      "         NO. OF LAYERS=    1",
      "",
      "       SYMMETRY INDEX =    0",
  };
  EXPECT_EQ(r.from("NO. OF NODES IN SLABS ALONG X-AXIS", want.size()), want);
  // Nodes run along y first; the display coordinates are the echo's own, and the
  // contact flags stay clear.
  EXPECT_EQ(w.XN[2], 0.0);
  EXPECT_EQ(w.YN[3], 999.6);
  EXPECT_EQ(w.XN[21], 1000.0);
  const NodeDisplay shown = node_display(w.XN, w.YN);
  EXPECT_EQ(shown.x[0], -2);
  EXPECT_EQ(shown.x[4], 12);
  EXPECT_EQ(shown.x[6], 13);
  EXPECT_EQ(shown.y[1], 1000);
  EXPECT_EQ(shown.x[20], 1000);
  EXPECT_TRUE(std::all_of(w.ICON.begin(), w.ICON.end(), [](int f) { return f == 0; }));
  EXPECT_TRUE(std::all_of(w.ICONP.begin(), w.ICONP.end(), [](int f) { return f == 0; }));
  // The title page comes after the coordinates and before this echo.
  EXPECT_LT(r.report.find("TOTAL MEMORY SPACES"), r.report.find("NO. OF NODES IN SLABS"));
}

TEST(MeshEcho, NodeNumbersOfFourDigitsShowAsAsterisks) {
  Control C = control({100}, {10});
  Work w;
  std::vector<double> xc, yc;
  for (int i = 0; i < 100; ++i) xc.push_back(i);
  for (int i = 0; i < 10; ++i) yc.push_back(i);
  Reading r = mesh(C, w, list8(xc) + list8(yc) + kSlab8);
  EXPECT_FALSE(r.stopped);
  const std::vector<std::string> last = r.from("  991  99   0", 1);
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(
      last[0],
      "  991  99   0992  99   1993  99   2994  99   3995  99   4996  99   5997  99   6998  99 "
      "  7999  99   8***  99   9");
}

TEST(LayerEcho, PerNodeThicknessAndSingleModulus) {
  Control C = control({3}, {3});
  Work w;
  const std::vector<double> th{8.0, 8.1, 8.2, 8.3, 8.4, 8.5, 8.6, 8.7, 8.8};
  // Density, temperature difference and expansion are dropped in a load analysis.
  const std::string deck = list8({0, 10, 20}) + list8({0, 10, 20}) +
                           layer(0.0, 8.0e6, 0.15, 150.0, 20.0, 5.5e-6) + list8(th);
  Reading r = mesh(C, w, deck);
  EXPECT_EQ(r.deck_lines, 5);
  const std::vector<std::string> want{
      "         PROPERTIES OF THE TOP LAYER:",
      "",
      "",
      "",
      "         POISSON RATIO OF TOP LAYER=      .150",
      "",
      "",
      "         THICKNESS OF TOP LAYER AT THE NODES IS:",
      "",
      "   1     8.000    2     8.100    3     8.200    4     8.300    5     8.400    6     8.500"
      "    7     8.600    8     8.700",
      "   9     8.800",
      "",
      "         MODULUS OF TOP LAYER      =  .800E+07",
      "",
      "",
      "",
      "",
      // No radius of relative stiffness: the thickness is not one value.
      "      MODULUS OF SUBGRADE REACTION =   200.000",
      "",
  };
  EXPECT_EQ(r.from("PROPERTIES OF THE TOP LAYER", 100), want);
  EXPECT_EQ(w.THN1[8], 8.8);
  EXPECT_EQ(w.EN1[0], 8.0e6);
  EXPECT_EQ(w.EN1[8], 8.0e6);
  EXPECT_EQ(C.GAM1, 0.0);
  EXPECT_EQ(C.DT1, 0.0);
  EXPECT_EQ(C.ALF1, 0.0);
  EXPECT_EQ(C.PR2, 0.0);
  EXPECT_EQ(C.RRS, 0.0);
}

TEST(LayerEcho, BottomLayerOnNewPageWithPerNodeModulus) {
  Control C = control({3}, {3});
  C.NLAYER = 2;
  C.ICOMP = 1;
  C.ICURL = 1;  // temperature data is kept
  Work w;
  std::string en2;
  for (int i = 0; i < 9; ++i) en2 += fmt_e(1.0e6 + 1.0e5 * i) + (i == 7 ? "\n" : "");
  en2 += "\n";
  const std::string deck = list8({0, 10, 20}) + list8({0, 10, 20}) +
                           layer(9.0, 4.0e6, 0.15, 0.087, -10.0, 5.5e-6) +
                           layer(6.0, 0.0, 0.2, 0.08, 3.0, 6.0e-6) + en2;
  Reading r = mesh(C, w, deck);
  EXPECT_EQ(r.deck_lines, 6);
  EXPECT_EQ(r.from("COMP. ACTION", 1), std::vector<std::string>{"         COMP. ACTION =    1"});
  const std::vector<std::string> want{
      "         MODULUS OF TOP LAYER      =  .400E+07",
      "\f",
      "",
      "",
      "",
      "         PROPERTIES OF THE BOTTOM LAYER :",
      "",
      "",
      "",
      "         POISSON RATIO OF BOTTOM LAYER=      .200",
      "",
      "         THICKNESS OF BOTTOM LAYER    =     6.000",
      "",
      "",
      "         MODULUS OF BOTTOM LAYER AT THE NODES IS:",
      "",
      "   1  .100E+07    2  .110E+07    3  .120E+07    4  .130E+07    5  .140E+07    6  .150E+07"
      "    7  .160E+07    8  .170E+07",
      "   9  .180E+07",
      "",
      "",
      "",
      "",
      // Two layers: no radius of relative stiffness.
      "      MODULUS OF SUBGRADE REACTION =   200.000",
      "",
  };
  EXPECT_EQ(r.from("MODULUS OF TOP LAYER", 100), want);
  EXPECT_EQ(C.GAM1, 0.087);
  EXPECT_EQ(C.DT1, -10.0);
  EXPECT_EQ(C.ALF2, 6.0e-6);
  EXPECT_EQ(w.THN2[8], 6.0);
  EXPECT_EQ(w.EN2[8], 1.8e6);
}

// Subgrade variants over a 3 x 2 mesh of one 8-inch layer.
std::string head32() {
  return list8({0, 10, 20}) + list8({0, 10}) + kSlab8;
}

TEST(SubgradeEcho, DenseLiquidPrintsItsRadius) {
  Control C = control({3}, {2});
  Work w;
  Reading r = mesh(C, w, head32());
  const std::vector<std::string> want{
      "      MODULUS OF SUBGRADE REACTION =   200.000", "", "", "", "",
      "         RADIUS OF RELAT. STIFFNESS=    30.567", ""};
  EXPECT_EQ(r.from("MODULUS OF SUBGRADE REACTION", 100), want);
  EXPECT_NEAR(C.RRS, 30.566835949408535, 1e-12);
  EXPECT_EQ(w.SKN[5], 200.0);
}

TEST(SubgradeEcho, PerNodeModulusAndVlasovLine) {
  {
    // Default 100, three nodes of their own; the later pair for node 2 wins.
    Control C = control({3}, {2});
    C.SUBK = 0.0;
    Work w;
    Reading r = mesh(C, w,
                     head32() + fmt_f(100.0) + fmt_i(3) + "\n" + fmt_i(2, 3) + fmt_f(150.0) +
                         fmt_i(5, 3) + fmt_f(300.0) + fmt_i(2, 3) + fmt_f(175.0) + "\n");
    EXPECT_EQ(r.deck_lines, 5);
    const std::vector<std::string> want{
        "                   SUBGRADE MODULUS AT THE NODES IS", "",
        "   1   100.000    2   175.000    3   100.000    4   100.000    5   300.000    6   100.000",
        ""};
    EXPECT_EQ(r.from("SUBGRADE MODULUS AT THE NODES IS", 100), want);
    EXPECT_EQ(w.SKN[1], 175.0);
    EXPECT_EQ(w.SKN[4], 300.0);
    EXPECT_EQ(C.RRS, 0.0);
  }
  {
    // No node of its own: no pair record, every node listed with the default.
    Control C = control({3}, {2});
    C.SUBK = 0.0;
    Work w;
    Reading r = mesh(C, w, head32() + fmt_f(90.0) + fmt_i(0) + "\nnot a record\n");
    EXPECT_EQ(r.deck_lines, 4);
    EXPECT_TRUE(r.has("    6    90.000"));
  }
  {
    // Vlasov foundation with moduli per node: seven pairs over two lines, then the
    // shear parameter; still no radius.
    Control C = control({3}, {2});
    C.SUBK = 0.0;
    C.ISUBGR = 9;
    C.VSHEAR = 1234.5;
    Work w;
    std::string pairs;
    for (int n = 1; n <= 6; ++n) pairs += fmt_i(n, 3) + fmt_f(10.0 * n);
    pairs += std::string("\n") + fmt_i(1, 3) + fmt_f(70.0) + "\n";
    Reading r = mesh(C, w, head32() + fmt_f(5.0) + fmt_i(7) + "\n" + pairs);
    EXPECT_EQ(r.deck_lines, 6);
    const std::vector<std::string> want{
        "                   SUBGRADE MODULUS AT THE NODES IS",
        "",
        "   1    70.000    2    20.000    3    30.000    4    40.000    5    50.000    6    60.000",
        "",
        "",
        "         VLASOV SHEAR PARAMETER =       1234.500",
        ""};
    EXPECT_EQ(r.from("SUBGRADE MODULUS AT THE NODES IS", 100), want);
  }
  {
    // Vlasov with one modulus and two layers: the echo ends after the modulus.
    Control C = control({3}, {2});
    C.ISUBGR = 9;
    C.VSHEAR = 1234.5;
    C.NLAYER = 2;
    Work w;
    Reading r = mesh(C, w, head32() + layer(6.0, 1.0e6, 0.2));
    const std::vector<std::string> want{"      MODULUS OF SUBGRADE REACTION =   200.000", ""};
    EXPECT_EQ(r.from("MODULUS OF SUBGRADE REACTION", 100), want);
    EXPECT_EQ(C.RRS, 0.0);
  }
}

TEST(SubgradeEcho, ModulusForANodeOutsideTheMeshStops) {
  Control C = control({3}, {2});
  C.SUBK = 0.0;
  Work w;
  Reading r =
      mesh(C, w, head32() + fmt_f(100.0) + fmt_i(1) + "\n" + fmt_i(7, 3) + fmt_f(1.0) + "\n");
  EXPECT_TRUE(r.stopped);
  EXPECT_TRUE(
      r.has("***NODE     7 OF THE SUBGRADE MODULUS RECORDS IS NOT A NODE OF THE MESH (1 TO"
            "     6)."));
}

TEST(SubgradeEcho, ElasticSolidHasItsOwnRadius) {
  Control C = control({3}, {2});
  C.ISUBGR = 8;
  C.SUBK = 0.0;  // no modulus records for the elastic solid
  C.ESUB = 20000.0;
  C.PRSUB = 0.3;
  Work w;
  Reading r = mesh(C, w, head32() + "not a record\n");
  EXPECT_EQ(r.deck_lines, 3);
  EXPECT_FALSE(r.has("MODULUS OF SUBGRADE REACTION"));
  const std::vector<std::string> want{"         YOUNG MODULUS OF SUBGRADE =  .200E+05",
                                      "",
                                      "         POISSON RATIO OF SUBGRADE =      .300",
                                      "",
                                      "",
                                      "",
                                      "",
                                      "         RADIUS OF RELAT. STIFFNESS=    25.140",
                                      ""};
  EXPECT_EQ(r.from("YOUNG MODULUS OF SUBGRADE", 100), want);
  // The cube root is taken with one third in single precision.
  EXPECT_NEAR(C.RRS, 25.139568507549463, 1e-10);
  EXPECT_EQ(w.SKN.size(), 1u);
}

TEST(ModeZero, OnlyCoordinatesAreReadAndSegmentsDecideTheEcho) {
  {
    Control C = control({3}, {2});
    C.INMODE = 0;
    C.NLAYER = 0;
    C.ISUBGR = 0;
    C.SUBK = 0.0;
    Work w;
    Reading r = mesh(C, w, list8({0, 10, 20}) + list8({0, 10}) + "not a record\n");
    EXPECT_EQ(r.deck_lines, 2);
    EXPECT_TRUE(r.has("COMP. ACTION =    0"));
    const std::vector<std::string> want{
        "         PROPERTIES OF THE TOP LAYER:",
        "",
        "",
        "",
        "         POISSON RATIO OF TOP LAYER=      .000",
        "",
        "         THICKNESS OF TOP LAYER    =      .000",
        "",
        "         MODULUS OF TOP LAYER      =  .000E+00",
        "\f",
        "",
        "",
        "",
        "         PROPERTIES OF THE BOTTOM LAYER :",
        "",
        "",
        "",
        "         POISSON RATIO OF BOTTOM LAYER=      .000",
        "",
        "         THICKNESS OF BOTTOM LAYER    =      .000",
        "",
        "         MODULUS OF BOTTOM LAYER      =  .000E+00",
        "",
        "",
        // A layer of no thickness has no stiffness: the echo ends with the refusal.
        "         ***TOP-LAYER THICKNESS RECORDS, NODE     1: THICKNESS =           .0000",
        "            A LAYER THICKNESS MUST BE POSITIVE.",
        "            (INPUT MODE 0 READS NO LAYER, SUBGRADE OR DOWEL RECORD: THOSE VALUES ARE "
        "ZERO.)",
        "          PROGRAM TERMINATED.",
        "Stop - Program terminated.",
        "",
    };
    EXPECT_EQ(r.from("PROPERTIES OF THE TOP LAYER", 100), want);
  }
  {
    // Segments that already differ between nodes are listed, not replaced.
    Control C = control({3}, {2});
    C.INMODE = 0;
    C.ISUBGR = 0;
    C.SUBK = 0.0;
    Work w;
    Reading r = mesh(C, w, list8({0, 10, 20}) + list8({0, 10}), [](Work& w) {
      w.THN1 = {8, 8, 8, 8, 8, 9};
      w.EN1 = {4e6, 4e6, 4e6, 4e6, 4e6, 5e6};
      w.SKN = {100, 100, 100, 100, 100, 50};
    });
    EXPECT_EQ(r.from("THICKNESS OF TOP LAYER", 4),
              (std::vector<std::string>{
                  "         THICKNESS OF TOP LAYER AT THE NODES IS:", "",
                  "   1     8.000    2     8.000    3     8.000    4     8.000    5     8.000    6"
                  "     9.000",
                  ""}));
    EXPECT_EQ(w.THN1[5], 9.0);
    const std::vector<std::string> want{
        "         SUBGRADE MODULUS AT THE NODES IS:", "",
        "   1   100.000    2   100.000    3   100.000    4   100.000    5   100.000    6    50.000",
        ""};
    EXPECT_EQ(r.from("SUBGRADE MODULUS AT THE NODES IS", 100), want);
  }
}

TEST(SubgradeType, UndefinedCodesStopAfterTheTitlePage) {
  for (int code : {-1, 10}) {
    Control C = control({3}, {2});
    C.ISUBGR = code;
    Work w;
    Reading r = mesh(C, w, head32());
    EXPECT_TRUE(r.stopped);
    const std::string type = code < 0 ? "  -1" : "  10";
    const std::vector<std::string> want{
        "                   --- NO CONTOURS REQUESTED ---",
        "",
        "",
        "                   ***SUBGRADE TYPE" + type + " IS NOT DEFINED; VALID TYPES ARE 0 TO 9.",
        "                    PROGRAM TERMINATED.",
        "",
        "",
        "Stop - Program terminated.",
        ""};
    EXPECT_EQ(r.from("--- NO CONTOURS REQUESTED ---", 100), want);
  }
}

}  // namespace
}  // namespace meridolan
