// One update of the stress-dependent subgrade, on nodal values set by hand.
#include "supports/iterat.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/stop.h"
#include "support/report_lines.h"

namespace meridolan {
namespace {

struct Update {
  std::istringstream in;
  Deck deck{in};
  std::ostringstream out;
  Report rep{out};
  Control C;
  std::vector<double> R, SKN;
  std::vector<int> ISOIL;
  SoilCurves curves;

  Update(int isubgr, std::vector<double> skn, std::vector<int> isoil, std::string cards = "")
      : in(cards), SKN(std::move(skn)), ISOIL(std::move(isoil)) {
    C.ISUBGR = isubgr, C.NNODE = int(SKN.size()), C.IPRIT = 1, C.TOL1 = 0.25;
    R.assign(3 * SKN.size(), 0.0);
  }
  double run() { return ITERAT(deck, rep, C, R, SKN, ISOIL, curves); }
  std::vector<std::string> lines() {
    rep.complete_line();
    return testing::report_lines(out.str());
  }
};

std::string card(double klin, double dy, double rexp = 0.0) {
  char b[80];
  std::snprintf(b, sizeof b, "%10.5f%10.5f%10.5f%10.5f%10.5f%10.5f\n", 1.0, rexp, 0.01, 0.0, klin,
                dy);
  return b;
}

TEST(SoilCurve, BuiltInConstantsActInSinglePrecision) {
  const SoilCurve c1 = builtin_class(1);
  EXPECT_NEAR(secant_modulus(c1, 0.001), 297.4999971, 1e-7);
  EXPECT_LT(secant_modulus(c1, 0.0), 297.49999999);  // not 11.9/0.04
  EXPECT_EQ(secant_modulus(c1, -0.02), linear_modulus(c1));
  const double w = c1.XLIN * c1.DY * (1 + 1e-9);  // just past the linear range
  EXPECT_NEAR(secant_modulus(c1, w), 2.0 / w, 1e-5);
  EXPECT_NEAR(secant_modulus(c1, w) / linear_modulus(c1), 1.0, 1e-3);
}

TEST(Iterat, BandBoundsInsideAndNonFiniteRatiosOff) {
  // Ratios 1.25 and .75 sit on the bounds; 5/3.99, 0/0 and 297.5/0 are off. The
  // code-6 node is left alone. The cards belong to nodes 1 to 4.
  Update u(0, {4, 4, 3.99, 0, 0, 7}, {5, 5, 5, 5, 1, 6},
           card(5, 1) + card(3, 1) + card(5, 1) + card(0, 1));
  EXPECT_DOUBLE_EQ(u.run(), 0.5);
  const std::vector<double> after{5, 3, 5, 0, linear_modulus(builtin_class(1)), 7};
  EXPECT_EQ(u.SKN, after);
  std::vector<std::string> nodes;
  for (const std::string& l : u.lines())
    if (l.size() == 104) nodes.push_back(l.substr(19, 5) + l.substr(84));
  EXPECT_EQ(nodes,
            (std::vector<std::string>{"    1                   0", "    2                   0",
                                      "    3                   1", "    4                   2",
                                      "    5                   3"}));

  // A later update reads no card (the deck is used up) and applies each node's own
  // curve: the cards stay with their nodes, node 6 stays untouched.
  u.SKN = {1, 1, 1, 1, 1, 1};
  u.run();
  EXPECT_EQ(u.SKN, (std::vector<double>{5, 3, 5, 0, after[4], 1}));
}

TEST(Iterat, PageThrowAfterEveryFiftyNodesAndTheRatioLine) {
  for (int iprit : {0, 1}) {
    Update u(2, std::vector<double>(120, linear_modulus(builtin_class(2))), {0});
    u.C.IPRIT = iprit;
    EXPECT_EQ(u.run(), 0.0);
    std::vector<int> per_page{0};
    for (const std::string& l : u.lines()) {
      if (l == "\f") per_page.push_back(0);
      if (l.size() == 104) ++per_page.back();
    }
    const std::vector<int> want =
        iprit ? std::vector<int>{50, 50, 20, 0, 0} : std::vector<int>{0, 0, 0, 0, 0};
    EXPECT_EQ(per_page, want) << "three node pages, the ratio line's page throw";
    EXPECT_NE(u.out.str().find("    RATIO OF NO. OF PTS OFF TOL1 TO TOTAL NO. OF NODES=         "
                               ".00000\r\n\f\b \r"),
              std::string::npos);
  }
}

TEST(Iterat, CurvesWithoutMeaningStopTheRun) {
  Update blank(0, {1, 1}, {1, 5}, "\n");
  EXPECT_THROW(blank.run(), RunStopped);
  EXPECT_NE(blank.out.str().find("***THE SOIL PARAMETER CARD OF NODE     2 DOES NOT DEFINE"),
            std::string::npos);

  Update overflow(0, {1}, {5}, card(1, 1, -1000));
  overflow.R[0] = 5.0;
  EXPECT_THROW(overflow.run(), RunStopped);
  EXPECT_NE(overflow.out.str().find("***THE SOIL CURVE OF NODE     1 GIVES NO FINITE"),
            std::string::npos);
}

TEST(Iterat, UnreadCardsAreSkippedUpToTheNextRecord) {
  Update u(0, {1, 1, 1}, {5, 1, 5}, card(1, 1) + card(2, 1) + "NEXT\n");
  skip_unread_cards(u.deck, u.C, u.ISOIL, u.curves);
  std::string next;
  u.deck.read(Format("A4"), {next});
  EXPECT_EQ(next, "NEXT");
}

}  // namespace
}  // namespace meridolan
