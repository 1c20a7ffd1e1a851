// Loaded areas cut into element subareas: edges on and between node lines, joint
// columns in multi-slab meshes, the subarea limit and areas off the mesh.
#include "loads/subare.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "base/stop.h"
#include "support/report_lines.h"

namespace meridolan {
namespace {

struct Area {
  double p, x1, x2, y1, y2;
};

struct Sub {
  int element;
  double p, x1, x2, y1, y2;
};

// A mesh given by its node lines, with the areas in the load segments and the
// subarea segments at their full MAXSUB length.
struct Model {
  Control C;
  Work w;
  std::ostringstream out;
  Report rep{out};

  Model(std::vector<double> xc, std::vector<double> yc, int nslab, const std::vector<Area>& areas) {
    C.NXT = static_cast<int>(xc.size());
    C.NYT = static_cast<int>(yc.size());
    C.NSLAB = nslab;
    C.NLAREA = static_cast<int>(areas.size());
    w.XC = std::move(xc);
    w.YC = std::move(yc);
    for (const Area& a : areas) {
      w.PA.push_back(a.p);
      w.XA1.push_back(a.x1);
      w.XA2.push_back(a.x2);
      w.YA1.push_back(a.y1);
      w.YA2.push_back(a.y2);
    }
    w.NES.assign(Control::MAXSUB, 0);
    for (auto* v : {&w.PS, &w.XS1, &w.XS2, &w.YS1, &w.YS2}) v->assign(Control::MAXSUB, 0.0);
  }

  std::vector<Sub> subareas() const {
    std::vector<Sub> s;
    for (int k = 0; k < C.NSUB; ++k)
      s.push_back({w.NES[k], w.PS[k], w.XS1[k], w.XS2[k], w.YS1[k], w.YS2[k]});
    return s;
  }
};

void expect_subs(const std::vector<Sub>& got, const std::vector<Sub>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < want.size(); ++k) {
    SCOPED_TRACE("subarea " + std::to_string(k + 1));
    EXPECT_EQ(got[k].element, want[k].element);
    EXPECT_DOUBLE_EQ(got[k].p, want[k].p);
    EXPECT_DOUBLE_EQ(got[k].x1, want[k].x1);
    EXPECT_DOUBLE_EQ(got[k].x2, want[k].x2);
    EXPECT_DOUBLE_EQ(got[k].y1, want[k].y1);
    EXPECT_DOUBLE_EQ(got[k].y2, want[k].y2);
  }
}

std::vector<std::string> lines(const std::string& report) {
  return testing::report_lines(report);
}

const std::vector<double> kX4{0, 10, 20, 30};
const std::vector<double> kY3{0, 10, 20};

TEST(Subare, EdgesBetweenAndOnNodeLines) {
  {
    // Edges inside elements: three columns, the outer two cut.
    Model m(kX4, kY3, 1, {{50, 5, 25, 0, 10}});
    SUBARE(m.rep, m.C, m.w);
    expect_subs(m.subareas(), {{1, 50, 5, 10, 0, 10}, {3, 50, 0, 10, 0, 10}, {5, 50, 0, 5, 0, 10}});
  }
  {
    // Edges on node lines: the load starts right of x = 10 and stops left of x = 20.
    Model m(kX4, kY3, 1, {{50, 10, 20, 0, 10}});
    SUBARE(m.rep, m.C, m.w);
    expect_subs(m.subareas(), {{3, 50, 0, 10, 0, 10}});
  }
  {
    // Both edges inside one element.
    Model m(kX4, kY3, 1, {{50, 12, 18, 0, 10}});
    SUBARE(m.rep, m.C, m.w);
    expect_subs(m.subareas(), {{3, 50, 2, 8, 0, 10}});
  }
  {
    // Two rows and two columns: column by column, rows increasing within a column;
    // a column that is both first and last takes both edges.
    Model m(kX4, kY3, 1, {{7, 12, 18, 5, 15}, {9, 25, 30, 20, 20}});
    SUBARE(m.rep, m.C, m.w);
    expect_subs(m.subareas(), {{3, 7, 2, 8, 5, 10}, {4, 7, 2, 8, 0, 5}});
    // The second area is a line on the upper mesh edge: no rows, no subareas.
    EXPECT_EQ(m.C.NSUB, 2);
  }
}

TEST(Subare, JointColumnsGoOnlyInMultiSlabMeshes) {
  const std::vector<double> x{0, 10, 20, 20, 30, 40};  // joint at x = 20
  {
    Model m(x, kY3, 2, {{100, 15, 25, 0, 10}, {60, 20, 30, 10, 20}});
    SUBARE(m.rep, m.C, m.w);
    // Columns 2, 3 (the joint) and 4 for the first area; the second starts on the
    // joint's first line and so includes the joint column too. Both joint pieces go.
    expect_subs(m.subareas(),
                {{3, 100, 5, 10, 0, 10}, {7, 100, 0, 5, 0, 10}, {8, 60, 0, 10, 0, 10}});
  }
  {
    // A zero-width area given last, inside one element over two rows: both of its
    // subareas go and the list ends with the previous area's.
    Model m(x, kY3, 2, {{100, 5, 8, 0, 10}, {100, 15, 15, 0, 20}});
    SUBARE(m.rep, m.C, m.w);
    expect_subs(m.subareas(), {{1, 100, 5, 8, 0, 10}});
  }
  {
    // Subareas of zero pressure are not tested.
    Model m(x, kY3, 2, {{0, 15, 25, 0, 10}});
    SUBARE(m.rep, m.C, m.w);
    EXPECT_EQ(m.C.NSUB, 3);
  }
  {
    // One slab: zero-width subareas stay (they carry no load).
    Model m(kX4, kY3, 1, {{100, 15, 15, 0, 20}});
    SUBARE(m.rep, m.C, m.w);
    expect_subs(m.subareas(), {{3, 100, 5, 5, 0, 10}, {4, 100, 5, 5, 0, 10}});
  }
}

TEST(Subare, MoreThanMaxsubStopsWithTheFullCount) {
  // Node lines 0..10 across x with a joint at 5 (eleven element columns, one of them
  // the joint), 0..10 across y.
  std::vector<double> x{0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9, 10};
  std::vector<double> y{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  // 11 x 9 = 99 subareas, then 2 more: 101, although the joint column would have
  // removed ten of them.
  Model m(x, y, 2, {{10, 0, 10, 0, 9}, {10, 5, 5.5, 9, 10}});
  EXPECT_THROW(SUBARE(m.rep, m.C, m.w), RunStopped);
  const std::vector<std::string> want{"",
                                      "",
                                      "",
                                      "",
                                      "**NUMBER OF LOADED SUBAREAS EXCEEDS MAXSUB**",
                                      "",
                                      " NLSATT=  101  MAXSUB=  100",
                                      "",
                                      "PROGRAM TERMINATED",
                                      "Stop - Program terminated.",
                                      ""};
  EXPECT_EQ(lines(m.out.str()), want);
  // The first hundred are stored in order; the hundredth is the second area's first.
  EXPECT_EQ(m.w.NES[98], 10 * 10 + 9);  // first area, column 11, row 9
  EXPECT_EQ(m.w.NES[99], 5 * 10 + 10);  // second area, joint column 6, row 10
  EXPECT_DOUBLE_EQ(m.w.XS2[99], 0.0);
}

TEST(Subare, AreaOffTheMeshStopsNamingTheArea) {
  struct Case {
    Area a;
    std::string limits;
  };
  const std::vector<Case> cases{
      {{10, -1, 5, 0, 10},
       "X1-COOR.=    -1.000  X2-COOR.=     5.000  Y1-COOR.=      .000  Y2-COOR.=    10.000"},
      {{10, 5, 31, 0, 10},
       "X1-COOR.=     5.000  X2-COOR.=    31.000  Y1-COOR.=      .000  Y2-COOR.=    10.000"},
      {{10, 5, 8, 15, 10},
       "X1-COOR.=     5.000  X2-COOR.=     8.000  Y1-COOR.=    15.000  Y2-COOR.=    10.000"},
      {{10, 8, 5, 0, 10},
       "X1-COOR.=     8.000  X2-COOR.=     5.000  Y1-COOR.=      .000  Y2-COOR.=    10.000"},
      {{10, 5, 8, 0, 20.5},
       "X1-COOR.=     5.000  X2-COOR.=     8.000  Y1-COOR.=      .000  Y2-COOR.=    20.500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limits);
    // The bad area comes second: the first one is fine and is processed first.
    Model m(kX4, kY3, 1, {{50, 12, 18, 0, 10}, c.a});
    EXPECT_THROW(SUBARE(m.rep, m.C, m.w), RunStopped);
    const std::vector<std::string> l = lines(m.out.str());
    ASSERT_EQ(l.size(), 11u);
    EXPECT_EQ(l[3],
              "                   ***LOADED AREA   2 LIES OUTSIDE THE MESH OR HAS A LOWER LIMIT "
              "ABOVE ITS UPPER ONE:");
    EXPECT_EQ(l[4], "                   " + c.limits);
    EXPECT_EQ(l[5],
              "                   THE MESH SPANS X FROM      .000 TO    30.000 AND Y FROM      "
              ".000 TO    20.000");
    EXPECT_EQ(l[6], "                    PROGRAM TERMINATED.");
    EXPECT_EQ(l[9], "Stop - Program terminated.");
  }
}

}  // namespace
}  // namespace meridolan
