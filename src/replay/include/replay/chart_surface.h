// The chart window's drawing surface held in memory: RGB pixels, origin top-left.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "replay/colour.h"

namespace telmor {

class ChartSurface {
 public:
  // Large enough for normalised x 1.0 (column 1000) and the click rows down to 350.
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 384;
  static constexpr Rgb kBackground{255, 255, 255};

  ChartSurface();

  static constexpr bool contains(int x, int y) {
    return x >= 0 && x < kWidth && y >= 0 && y < kHeight;
  }

  // Pixels outside the surface are ignored.
  void set_pixel(int x, int y, Rgb colour);
  // The background colour for positions outside the surface.
  Rgb pixel(int x, int y) const;
  void fill(Rgb colour);

  // Row y as kWidth * 3 bytes, red, green, blue per pixel.
  std::span<const std::uint8_t> row(int y) const;
  // All rows top to bottom, kWidth * kHeight * 3 bytes.
  std::span<const std::uint8_t> bytes() const { return pixels_; }

 private:
  std::vector<std::uint8_t> pixels_;
};

}  // namespace telmor
