// The window layer's colours: 24-bit RGB packed as 0x00BBGGRR, split into
// bytes by every layer alike.
#pragma once

#include <cstdint>

namespace telmor {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Splits a 0x00BBGGRR colour: red is the low byte; the high byte is ignored.
constexpr Rgb rgb_from_colorref(std::uint32_t colour) {
  return Rgb{static_cast<std::uint8_t>(colour & 0xFFu),
             static_cast<std::uint8_t>((colour >> 8) & 0xFFu),
             static_cast<std::uint8_t>((colour >> 16) & 0xFFu)};
}

}  // namespace telmor
