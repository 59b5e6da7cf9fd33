// What the search says of a mark besides its time: why a beat has none, or
// why it asks for a look, and the T wave around an RT.
#pragma once

#include <cstdint>
#include <string_view>

namespace telmor {

// Why a beat has no mark of a kind in a lead, or why its mark asks for a look.
enum class MarkFlag : std::uint8_t {
  none,
  near_edge,  // a mark within 1 % of its window's length (one sample at least) of an end
  edge,       // no mark: the extremum lies at the window's first or last sample
  flat,       // no mark: the derivative has one value over the whole window
  no_window,  // no mark: no room for a window (the lead's next AT too near, or no AT to count from)
};

// "", "near_edge", "edge", "flat", "no_window".
constexpr std::string_view mark_flag_name(MarkFlag flag) {
  switch (flag) {
    case MarkFlag::near_edge:
      return "near_edge";
    case MarkFlag::edge:
      return "edge";
    case MarkFlag::flat:
      return "flat";
    case MarkFlag::no_window:
      return "no_window";
    case MarkFlag::none:
      break;
  }
  return "";
}
// The flags that leave a beat without a mark.
constexpr bool flag_leaves_no_mark(MarkFlag flag) {
  return flag == MarkFlag::edge || flag == MarkFlag::flat || flag == MarkFlag::no_window;
}

// The T wave around an RT mark (see t_polarity).
enum class TPolarity : std::uint8_t { none, positive, negative, biphasic };

// "", "positive", "negative", "biphasic".
constexpr std::string_view t_polarity_name(TPolarity polarity) {
  switch (polarity) {
    case TPolarity::positive:
      return "positive";
    case TPolarity::negative:
      return "negative";
    case TPolarity::biphasic:
      return "biphasic";
    case TPolarity::none:
      break;
  }
  return "";
}

}  // namespace telmor
