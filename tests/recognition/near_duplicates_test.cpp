// The removal of near-duplicate marks that looks only at rows near each
// other clears exactly what the pass over every pair of rows clears.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "recognition/mark_search.h"

namespace telmor {
namespace {

TEST(NearDuplicates, NearbyRowsClearWhatEveryPairClears) {
  std::mt19937 random(17);
  for (int trial = 0; trial < 300; ++trial) {
    const int rows = 1 + static_cast<int>(random() % 120);
    const int leads = 1 + static_cast<int>(random() % 3);
    const int samples = 2000 + static_cast<int>(random() % 30000);
    // Few distinct derivative values, so that equal ones (which clear
    // nothing) come up often; marks crowded so that many lie within 50 ms.
    std::vector<float> deriv(static_cast<std::size_t>(leads * samples));
    for (float& v : deriv) v = static_cast<float>(static_cast<int>(random() % 7) - 3);
    const DerivativeView view{deriv.data(), static_cast<std::size_t>(samples), samples, samples + 500};
    std::vector<float> at(static_cast<std::size_t>(leads * rows)), rt(at.size());
    const int spread = 1 + static_cast<int>(random() % (rows * 60));
    for (float& t : at) t = random() % 5 == 0 ? 0.0f : static_cast<float>(1 + random() % spread);
    for (float& t : rt) t = random() % 5 == 0 ? 0.0f : static_cast<float>(1 + random() % (samples + 400));
    std::vector<float> at_pairs = at, rt_pairs = rt;
    const auto stride = static_cast<std::size_t>(rows);
    drop_near_duplicate_marks(view, view, leads, rows, {at.data(), stride}, {rt.data(), stride});
    drop_near_duplicate_marks_by_pairs(view, view, leads, rows, {at_pairs.data(), stride}, {rt_pairs.data(), stride});
    ASSERT_EQ(at, at_pairs) << "trial " << trial;
    ASSERT_EQ(rt, rt_pairs) << "trial " << trial;
  }
}

}  // namespace
}  // namespace telmor
