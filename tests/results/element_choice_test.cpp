// Which plate elements are averaged at each node, for one slab and several slabs,
// with and without symmetry lines.
#include <gtest/gtest.h>

#include <bit>

#include "model_fixture.h"
#include "results/curvature.h"

namespace meridolan::testing {
namespace {

using results::choose_elements;
using results::CornerMark;
using results::ElementChoice;
using results::LL;
using results::LR;
using results::node_place;
using results::UL;
using results::UR;

ElementChoice choice(const Control& C, int n) {
  return choose_elements(C, n, node_place(C, n));
}

// Position of node n inside its own slab (1-based column i of ni, row j of nj),
// counted from the node counts without the routine under test.
struct Local {
  int i, ni, j, nj;
};
Local local(const Control& C, int n) {
  int i = (n - 1) / C.NYT + 1, j = (n - 1) % C.NYT + 1, ic = 0, jr = 0;
  while (i > C.NNX[ic]) i -= C.NNX[ic++];
  while (j > C.NNY[jr]) j -= C.NNY[jr++];
  return {i, C.NNX[ic], j, C.NNY[jr]};
}

// Without symmetry: slab corners get nothing, edges the two elements inside the
// slab, interior nodes all four. Elements across a joint are never used.
void expect_free_slabs(const Control& C) {
  for (int n = 1; n <= C.NNODE; ++n) {
    const Local l = local(C, n);
    const ElementChoice ch = choice(C, n);
    const bool xe = l.i == 1 || l.i == l.ni, ye = l.j == 1 || l.j == l.nj;
    SCOPED_TRACE("node " + std::to_string(n));
    EXPECT_EQ(ch.mark, CornerMark::None);
    if (xe && ye) {
      EXPECT_EQ(ch.quadrants, 0u);
      continue;
    }
    unsigned want = UR | LR | UL | LL;
    if (l.j == l.nj)
      want = LR | LL;
    else if (l.i == l.ni)
      want = UL | LL;
    else if (l.j == 1)
      want = UR | UL;
    else if (l.i == 1)
      want = UR | LR;
    EXPECT_EQ(ch.quadrants, want);
    EXPECT_EQ(ch.DIVN, want == (UR | LR | UL | LL) ? 4.0 : 2.0);
  }
}

TEST(ElementChoice, FreeSlabsUseOnlyTheirOwnElements) {
  expect_free_slabs(make_model({5}, {4}).C);
  expect_free_slabs(make_model({3, 4}, {4, 3}).C);
  expect_free_slabs(make_model({3, 3, 4}, {5}).C);
  expect_free_slabs(make_model({4}, {3, 4, 3}).C);
}

TEST(ElementChoice, EdgeClassesOfAJointedLayout) {
  Model m = make_model({3, 4}, {4, 3});  // NYT = 7
  const Control& C = m.C;
  // Node 20: slab column 1, last node column, row 6 (slab row 2, row 2 of 3).
  results::NodePlace p = node_place(C, 20);
  EXPECT_EQ(p.r, 6);
  EXPECT_EQ(p.IC, 1);
  EXPECT_EQ(p.OFF, 0);
  EXPECT_EQ(p.JR, 2);
  EXPECT_EQ(p.YOFF, 4);
  EXPECT_TRUE(p.RE);
  EXPECT_FALSE(p.LE || p.BE || p.TE);
  // Node 22: first node column of slab column 2, bottom row.
  p = node_place(C, 22);
  EXPECT_EQ(p.IC, 2);
  EXPECT_EQ(p.OFF, 21);
  EXPECT_TRUE(p.LE && p.BE);
  EXPECT_FALSE(p.RE);
  // Node 26: row 5, the first row of slab row 2.
  p = node_place(C, 26);
  EXPECT_EQ(p.JR, 2);
  EXPECT_TRUE(p.BE && p.LE);
}

TEST(ElementChoice, SymmetryLinesKeepSingleElementsAtMeshCorners) {
  Model m = make_model({4}, {4});  // 16 nodes, NYT = 4
  Control& C = m.C;
  struct Case {
    int isym, n;
    unsigned quadrants;
    double divn;
  };
  const Case cases[] = {
      {1, 1, UR, 1},      {1, 13, UL, 1},
      {1, 4, 0, 1},       {1, 16, 0, 1},
      {1, 5, UR | UL, 2}, {2, 1, UR, 1},
      {2, 4, LR, 1},      {2, 13, 0, 1},
      {2, 2, UR | LR, 2}, {3, 1, UR, 1},
      {3, 4, LR, 1},      {3, 13, UL, 1},
      {3, 16, 0, 1},      {3, 6, UR | LR | UL | LL, 4},
  };
  for (const Case& c : cases) {
    C.ISYM = c.isym;
    const ElementChoice ch = choice(C, c.n);
    SCOPED_TRACE("ISYM " + std::to_string(c.isym) + " node " + std::to_string(c.n));
    EXPECT_EQ(ch.quadrants, c.quadrants);
    if (c.quadrants) {
      EXPECT_EQ(ch.DIVN, c.divn);
    }
    EXPECT_EQ(ch.mark, CornerMark::None);
  }
}

TEST(ElementChoice, SymmetryIndexOutsideZeroToThreeStaysOnTheMesh) {
  // The stiffness takes any other index as both symmetry lines; the element choice
  // must still never reach past the mesh edge.
  Model m = make_model({4}, {4});  // 16 nodes, NYT = NXT = 4
  Control& C = m.C;
  for (int isym : {4, -1}) {
    C.ISYM = isym;
    for (int n = 1; n <= C.NNODE; ++n) {
      const ElementChoice ch = choice(C, n);
      const int col = (n - 1) / C.NYT + 1, row = (n - 1) % C.NYT + 1;
      SCOPED_TRACE("ISYM " + std::to_string(isym) + " node " + std::to_string(n));
      unsigned off_mesh = 0;
      if (col == C.NXT) off_mesh |= UR | LR;
      if (col == 1) off_mesh |= UL | LL;
      if (row == C.NYT) off_mesh |= UR | UL;
      if (row == 1) off_mesh |= LR | LL;
      EXPECT_EQ(ch.quadrants & off_mesh, 0u);
      if (ch.quadrants != 0) {
        EXPECT_EQ(ch.DIVN, std::popcount(ch.quadrants));
      }
    }
  }
  // The mesh corners on the lines keep one element, as with index 3.
  C.ISYM = 4;
  EXPECT_EQ(choice(C, 4).quadrants, LR);
  EXPECT_EQ(choice(C, 13).quadrants, UL);
  EXPECT_EQ(choice(C, 13).DIVN, 1.0);
}

TEST(ElementChoice, JointCornersOnTheBottomSymmetryLine) {
  Model m = make_model({3, 3}, {4});  // NYT = 4, joint between node lines 3 and 4
  Control& C = m.C;
  C.ISYM = 1;
  ElementChoice ch = choice(C, 9);  // bottom of the last column of slab 1
  EXPECT_EQ(ch.quadrants, UL);
  EXPECT_EQ(ch.mark, CornerMark::JointCornerOnXLine);
  ch = choice(C, 13);  // bottom of the first column of slab 2
  EXPECT_EQ(ch.quadrants, UR);
  EXPECT_EQ(ch.mark, CornerMark::JointCornerOnXLine);
  ch = choice(C, 21);  // mesh corner on the symmetry line
  EXPECT_EQ(ch.quadrants, UL);
  EXPECT_EQ(ch.mark, CornerMark::None);
  EXPECT_EQ(choice(C, 12).quadrants, 0u);  // top corners stay free
  EXPECT_EQ(choice(C, 16).quadrants, 0u);
  // The left symmetry line alone leaves the joint corners free.
  C.ISYM = 2;
  EXPECT_EQ(choice(C, 9).quadrants, 0u);
  EXPECT_EQ(choice(C, 13).quadrants, 0u);
}

TEST(ElementChoice, SlabCornersOnTheLeftSymmetryLine) {
  Model m = make_model({4}, {3, 3});  // NYT = 6, slab rows of 3 node rows
  Control& C = m.C;
  C.ISYM = 2;
  ElementChoice ch = choice(C, 3);  // top of slab row 1 on the symmetry line
  EXPECT_EQ(ch.quadrants, LR);
  EXPECT_EQ(ch.mark, CornerMark::SlabCornerOnYLine);
  ch = choice(C, 4);  // bottom of slab row 2
  EXPECT_EQ(ch.quadrants, UR);
  EXPECT_EQ(ch.mark, CornerMark::SlabCornerOnYLine);
  ch = choice(C, 6);  // top of the mesh
  EXPECT_EQ(ch.quadrants, LR);
  EXPECT_EQ(ch.mark, CornerMark::SlabCornerOnYLine);
  EXPECT_EQ(choice(C, 1).quadrants, UR);
  // The slab corners away from the symmetry line get nothing.
  for (int n : {19, 21, 22, 24}) EXPECT_EQ(choice(C, n).quadrants, 0u) << n;
  C.ISYM = 0;
  for (int n : {3, 4}) EXPECT_EQ(choice(C, n).quadrants, 0u) << n;
}

}  // namespace
}  // namespace meridolan::testing
