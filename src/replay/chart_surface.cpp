// Pixel storage of the headless chart surface.
#include "replay/chart_surface.h"

#include <cstddef>

namespace telmor {

namespace {

std::size_t offset_of(int x, int y) {
  return (static_cast<std::size_t>(y) * ChartSurface::kWidth + static_cast<std::size_t>(x)) * 3;
}

}  // namespace

ChartSurface::ChartSurface() : pixels_(static_cast<std::size_t>(kWidth) * kHeight * 3) {
  fill(kBackground);
}

void ChartSurface::set_pixel(int x, int y, Rgb colour) {
  if (!contains(x, y)) return;
  const std::size_t at = offset_of(x, y);
  pixels_[at] = colour.red;
  pixels_[at + 1] = colour.green;
  pixels_[at + 2] = colour.blue;
}

Rgb ChartSurface::pixel(int x, int y) const {
  if (!contains(x, y)) return kBackground;
  const std::size_t at = offset_of(x, y);
  return Rgb{pixels_[at], pixels_[at + 1], pixels_[at + 2]};
}

void ChartSurface::fill(Rgb colour) {
  for (std::size_t at = 0; at < pixels_.size(); at += 3) {
    pixels_[at] = colour.red;
    pixels_[at + 1] = colour.green;
    pixels_[at + 2] = colour.blue;
  }
}

std::span<const std::uint8_t> ChartSurface::row(int y) const {
  return std::span<const std::uint8_t>(pixels_).subspan(offset_of(0, y),
                                                        static_cast<std::size_t>(kWidth) * 3);
}

}  // namespace telmor
