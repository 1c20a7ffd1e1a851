// The one contact iteration of the curling analyses, driven by a support whose
// classifications are scripted: the order of its steps, how it ends at its limit and
// on a repeated state, and the extra solution of a support that prints its results
// from a settled state.
#include "supports/contact_iteration.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/stop.h"

namespace meridolan {
namespace {

using Flags = std::vector<int>;

struct Solve {
  int step = 0;
  bool print = false;
  int NCHG = 0;
  Flags state;  // the contact state it was made with
};

// Each classification sets the next scripted state (the last one repeats).
class Scripted : public ContactSupport {
 public:
  Scripted(Work& w, std::vector<Flags> script, bool by_solution = false)
      : w_(w), script_(std::move(script)), by_solution_(by_solution) {}

  bool solve(Report&, int step, const ContactCounts& n, bool print) override {
    solves.push_back({step, print, n.NCHG, w_.ICON});
    return by_solution_ && n.NCHG == 0;
  }
  void measure() override { ++measures; }
  void classify(Report&) override { w_.ICON = script_[std::min(next_++, script_.size() - 1)]; }
  void back_to_last_state() override { w_.ICON = w_.ICONP; }
  bool settles_by_solution() const override { return by_solution_; }
  const ContactTexts& texts() const override {
    static const Format kCount("1X, 'CHANGED', I5");
    static const Format kChanged("1X, 'CHANGED NODES'");
    static const Format kOut("1X, 'NODES OUT'");
    static const Format kWarn("1X, 'LIMIT REACHED'");
    static const ContactTexts t{{kCount, kChanged, kOut}, kWarn};
    return t;
  }

  std::vector<Solve> solves;
  int measures = 0;

 private:
  Work& w_;
  std::vector<Flags> script_;
  std::size_t next_ = 0;
  bool by_solution_;
};

struct Iteration {
  Control C;
  Work w;
  Results res;
  std::ostringstream out;
  Report rep{out};

  explicit Iteration(int icycle, Flags start = {0, 0, 0}) {
    C.NNODE = 3;
    C.ICYCLE = icycle;
    w.ICON = std::move(start);
    w.ICONP.assign(3, 0);
    w.ICHG.assign(3, 0);
    w.R.assign(9, 1.0);
    w.RSAV.assign(9, 1.0);
  }
  bool run(Scripted& s) { return contact_iteration(rep, C, ContactState::of(w), s, res); }
  std::string report() {
    rep.complete_line();
    return out.str();
  }
};

TEST(ContactIteration, EndsOnTheFirstStepThatChangesNoNode) {
  Iteration it(10);
  Scripted s(it.w, {{0, 0, 1}, {0, 1, 1}, {0, 1, 1}});
  EXPECT_FALSE(it.run(s));
  // Solutions of steps 1 to 3, each of the state the step before classified.
  ASSERT_EQ(s.solves.size(), 3u);
  EXPECT_EQ(s.solves[0].state, (Flags{0, 0, 0}));
  EXPECT_EQ(s.solves[1].state, (Flags{0, 0, 1}));
  EXPECT_EQ(s.solves[2].state, (Flags{0, 1, 1}));
  for (const Solve& v : s.solves) EXPECT_TRUE(v.print);
  EXPECT_EQ(s.measures, 3);
  EXPECT_EQ(it.w.ICON, (Flags{0, 1, 1}));
  ASSERT_EQ(it.res.passes.size(), 3u);
  EXPECT_EQ(it.res.passes[0].nodes_changed, 1);
  EXPECT_EQ(it.res.passes[1].nodes_changed, 1);
  EXPECT_EQ(it.res.passes[2].nodes_changed, 0);
  EXPECT_EQ(it.res.passes[2].nodes_out, 2);
  EXPECT_EQ(it.report().find("LIMIT REACHED"), std::string::npos);
}

TEST(ContactIteration, AtTheLimitTheResultsKeepTheStateOfTheLastSolution) {
  Iteration it(2);
  Scripted s(it.w, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
  EXPECT_FALSE(it.run(s));
  ASSERT_EQ(s.solves.size(), 2u);  // ICYCLE solutions
  EXPECT_EQ(it.w.ICON, s.solves.back().state);
  EXPECT_EQ(it.w.ICON, (Flags{1, 0, 0}));
  EXPECT_NE(it.report().find("LIMIT REACHED"), std::string::npos);
}

TEST(ContactIteration, ARepeatedStateEndsWithTheStateTheCycleHoldsAtTheLimit) {
  // 0 -> A -> B -> A -> ...: at step 4 the state of step 2 comes back. At the limit of
  // 9 solutions the cycle of two holds the state of step 3 (B), which is solved once
  // more without its listing.
  const Flags A{1, 0, 0}, B{0, 1, 0};
  Iteration it(9);
  Scripted s(it.w, {A, B, A, B, A, B, A, B, A, B});
  EXPECT_FALSE(it.run(s));
  ASSERT_EQ(s.solves.size(), 4u);
  const Solve& last = s.solves.back();
  EXPECT_FALSE(last.print);
  EXPECT_EQ(last.step, 3);
  EXPECT_EQ(last.state, B);
  EXPECT_EQ(it.w.ICON, B);
  EXPECT_EQ(it.w.ICONP, B);
  EXPECT_EQ(s.measures, 4);  // the repeated solution is measured like the others
  EXPECT_NE(it.report().find("LIMIT REACHED"), std::string::npos);
}

TEST(ContactIteration, ASupportThatPrintsItsResultsGetsOneMoreSolution) {
  Iteration it(10);
  Scripted settled(it.w, {{0, 0, 1}, {0, 0, 1}}, true);
  EXPECT_TRUE(it.run(settled));
  ASSERT_EQ(settled.solves.size(), 3u);
  EXPECT_EQ(settled.solves[2].NCHG, 0);
  EXPECT_EQ(settled.solves[2].state, (Flags{0, 0, 1}));

  // At the limit too: the last solution's state, solved once more as settled.
  Iteration at_limit(2);
  Scripted limited(at_limit.w, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, true);
  EXPECT_TRUE(at_limit.run(limited));
  ASSERT_EQ(limited.solves.size(), 3u);
  EXPECT_EQ(limited.solves[2].NCHG, 0);
  EXPECT_EQ(limited.solves[2].state, (Flags{1, 0, 0}));
  EXPECT_NE(at_limit.report().find("LIMIT REACHED"), std::string::npos);
}

TEST(ContactIteration, NoNodeInContactEndsTheRunBeforeASolution) {
  Iteration it(10, {1, 1, 1});
  Scripted s(it.w, {{0, 0, 0}});
  EXPECT_THROW(it.run(s), RunStopped);
  EXPECT_TRUE(s.solves.empty());
  EXPECT_NE(
      it.report().find("NO NODE OF THE SLAB IS IN CONTACT WITH THE SUBGRADE IN ITERATION   1"),
      std::string::npos);
}

}  // namespace
}  // namespace meridolan
