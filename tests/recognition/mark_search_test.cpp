// c's search of one beat: where AT and RT land in their ranges, ties, the
// edges of the ranges and of the recording, and the beats not searched.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "recognition/mark_search.h"

namespace telmor {
namespace {

constexpr int kSamples = 3000;

// A flat derivative of one lead with the given values at the given samples.
struct Derivative {
  std::vector<float> values = std::vector<float>(kSamples, 0.0f);
  Derivative& set(int sample, float v) {
    values[static_cast<std::size_t>(sample - 1)] = v;
    return *this;
  }
  DerivativeView view(int searched = kSamples) const { return {values.data(), kSamples, kSamples, searched}; }
};

struct Marks {
  float at = -1.0f, rt = -1.0f;
};

Marks search(const Derivative& at_d, const Derivative& rt_d, std::int32_t beat, int at_from = -10,
             int at_to = 10, int rt_from = 100, int rt_to = 200, int searched = kSamples) {
  Marks m;
  const MarkSearch s{kSamples, 1, at_from, at_to, rt_from, rt_to};
  const std::vector<std::int32_t> beats{beat};
  find_marks(at_d.view(searched), rt_d.view(searched), s, beats, {&m.at, 1}, {&m.rt, 1});
  return m;
}

TEST(MarkSearch, ATIsTheFirstOfTheDeepestMinimaInItsRange) {
  struct Case {
    const char* what;
    Derivative at;
    float expected;
  };
  const Case cases[] = {
      {"deepest of two", Derivative{}.set(995, -2.0f).set(1004, -3.0f), 1004.0f},
      {"first of a tie", Derivative{}.set(996, -3.0f).set(1007, -3.0f), 996.0f},
      {"range's first sample", Derivative{}.set(990, -1.0f), 990.0f},
      {"range's last sample", Derivative{}.set(1010, -1.0f), 1010.0f},
      {"outside the range is not seen", Derivative{}.set(989, -9.0f).set(1011, -9.0f).set(1000, -1.0f), 1000.0f},
      // Every value equal: the first sample of the range is the lowest.
      {"flat", Derivative{}, 990.0f},
  };
  for (const Case& c : cases) EXPECT_EQ(search(c.at, Derivative{}, 1000).at, c.expected) << c.what;
}

TEST(MarkSearch, RTIsTheFirstOfTheHighestStrictLocalMaxima) {
  struct Case {
    const char* what;
    Derivative rt;
    float expected;
  };
  const Case cases[] = {
      {"highest of two peaks", Derivative{}.set(1120, 1.0f).set(1150, 2.0f), 1150.0f},
      {"first of equal peaks", Derivative{}.set(1120, 2.0f).set(1150, 2.0f), 1120.0f},
      // A plateau has no strict maximum; the lower peak beside it is taken.
      {"plateau refused", Derivative{}.set(1130, 5.0f).set(1131, 5.0f).set(1170, 1.0f), 1170.0f},
      // The edge of the range may be a peak: its neighbour outside counts.
      {"a higher neighbour outside refuses the edge", Derivative{}.set(1100, 1.0f).set(1099, 3.0f), 0.0f},
      {"peak on the range's edge", Derivative{}.set(1100, 1.0f), 1100.0f},
      {"below zero is a peak too", Derivative{}.set(1140, -1.0f).set(1139, -2.0f).set(1141, -2.0f), 1140.0f},
      {"nothing but flat", Derivative{}, 0.0f},
  };
  for (const Case& c : cases) EXPECT_EQ(search(Derivative{}, c.rt, 1000).rt, c.expected) << c.what;
}

TEST(MarkSearch, BeatsTooEarlyOrTooLateAreNotSearched) {
  const Derivative at = Derivative{}.set(100, -1.0f).set(2800, -1.0f).set(2801, -1.0f);
  const Derivative rt = Derivative{}.set(205, 1.0f).set(2905, 1.0f);
  struct Case {
    std::int32_t beat;
    bool searched;
  };
  // The earliest beat searched is 101, the latest 200 samples before the end.
  for (const Case c : {Case{100, false}, Case{101, true}, Case{2800, true}, Case{2801, false}, Case{0, false}}) {
    const Marks m = search(at, rt, c.beat);
    EXPECT_EQ(m.at != 0.0f, c.searched) << c.beat;
    if (!c.searched) {
      EXPECT_EQ(m.rt, 0.0f) << c.beat;
    }
  }
}

TEST(MarkSearch, SamplesBeyondTheSearchedOnesAreSkippedAndStoredOnesEndInZeros) {
  Derivative rt;
  rt.set(1150, 1.0f);
  // Searched up to 1149: the peak and its right neighbour are beyond reach.
  EXPECT_EQ(search(Derivative{}, rt, 1000, -10, 10, 100, 200, 1149).rt, 0.0f);
  // A view storing fewer samples than it searches reads zeros after them.
  std::vector<float> stored(1100, 1.0f);
  const DerivativeView short_view{stored.data(), stored.size(), 1100, 2000};
  float at = -1.0f, rt_mark = -1.0f;
  const MarkSearch s{2000, 1, -10, 10, 90, 200};
  const std::vector<std::int32_t> beats{1095};
  find_marks(short_view, short_view, s, beats, {&at, 1}, {&rt_mark, 1});
  EXPECT_EQ(at, 1101.0f);    // the first zero, below the stored ones
  EXPECT_EQ(rt_mark, 0.0f);  // zeros make no strict maximum
}

}  // namespace
}  // namespace telmor
