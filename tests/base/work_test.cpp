// The work array's band vectors arrive zeroed without a pass over them: the allocator
// must hand out zero memory every time, also after a block of the same size was
// written and freed, and a work array made twice must start from zero both times.
#include "base/work.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "base/band_allocator.h"
#include "support/dimensions.h"

namespace meridolan {
namespace {

bool all_zero(const BandVector& v) {
  return std::all_of(v.begin(), v.end(), [](double x) { return x == 0.0; });
}

TEST(BandVectorTest, SmallAndHugeBlocksArriveZeroAfterEarlierBlocksWereDirtied) {
  for (std::size_t n :
       {std::size_t{1}, std::size_t{1000}, std::size_t{300000}, std::size_t{1} << 20}) {
    for (int round = 0; round < 3; ++round) {
      BandVector v(n);
      ASSERT_EQ(v.size(), n);
      EXPECT_TRUE(all_zero(v)) << n << " words, round " << round;
      std::fill(v.begin(), v.end(), -1.5);  // freed dirty, for the next round
    }
  }
  // Large blocks are aligned to the huge-page size and usable to their last word.
  BandVector big((std::size_t{3} << 20) / sizeof(double) + 7);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(big.data()) % BandAllocator<double>::kHuge, 0u);
  big.back() = 2.0;
  EXPECT_EQ(big.back(), 2.0);
}

TEST(BandVectorTest, WorkArrayMadeTwiceStartsFromZero) {
  Control C;
  C.NLAYER = 1, C.ISUBGR = 5;
  testing::dimension(C, {20}, {20});
  Work w;
  allocate(w, C);
  ASSERT_EQ(w.SK.size(), static_cast<std::size_t>(C.NBAND));
  std::fill(w.SK.begin(), w.SK.end(), 3.0);
  std::fill(w.SKR.begin(), w.SKR.end(), 4.0);
  allocate(w, C);
  EXPECT_TRUE(all_zero(w.SK));
  EXPECT_TRUE(all_zero(w.SKR));
}

}  // namespace
}  // namespace meridolan
