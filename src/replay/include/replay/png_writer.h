// A dependency-free PNG encoder for 8-bit RGB images, using stored (uncompressed) deflate blocks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace telmor {

class ChartSurface;

// The PNG file of an RGB image: rgb holds height rows of width * 3 bytes
// (red, green, blue), top row first. Requires rgb.size() == width * height * 3.
std::vector<std::uint8_t> encode_png_rgb(int width, int height, std::span<const std::uint8_t> rgb);

// Writes the surface as it stands to path; false when the file can't be written.
bool write_png(const std::filesystem::path& path, const ChartSurface& surface);

}  // namespace telmor
