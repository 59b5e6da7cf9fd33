// PNG encoding: signature, IHDR, one IDAT of stored deflate blocks, IEND.
#include "replay/png_writer.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <string_view>

#include "replay/chart_surface.h"
#include "replay/checksums.h"
#include "files/file_replace.h"

namespace telmor {

namespace {

constexpr std::size_t kMaxStoredBlock = 65535;

void put_u32_be(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 24));
  out.push_back(static_cast<std::uint8_t>(value >> 16));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void put_u16_le(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// Appends one chunk: length, type, data, CRC over type and data.
void put_chunk(std::vector<std::uint8_t>& out, std::string_view type,
               std::span<const std::uint8_t> data) {
  put_u32_be(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t type_at = out.size();
  for (char c : type) out.push_back(static_cast<std::uint8_t>(c));
  out.insert(out.end(), data.begin(), data.end());
  const std::span<const std::uint8_t> covered(out.data() + type_at, out.size() - type_at);
  put_u32_be(out, crc32(covered));
}

// The scanlines as the image data expects them: a filter byte 0 before each row.
std::vector<std::uint8_t> filtered_rows(int width, int height, std::span<const std::uint8_t> rgb) {
  const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
  std::vector<std::uint8_t> rows;
  rows.reserve((row_bytes + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    rows.push_back(0);
    const auto row = rgb.subspan(static_cast<std::size_t>(y) * row_bytes, row_bytes);
    rows.insert(rows.end(), row.begin(), row.end());
  }
  return rows;
}

// A zlib stream (no preset dictionary) holding data in stored deflate blocks.
std::vector<std::uint8_t> zlib_stored(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  out.reserve(data.size() + data.size() / kMaxStoredBlock * 5 + 16);
  out.push_back(0x78);  // deflate, 32 KiB window
  out.push_back(0x01);  // fastest level; (0x78 << 8 | 0x01) is a multiple of 31
  std::size_t at = 0;
  do {
    const std::size_t length = std::min(kMaxStoredBlock, data.size() - at);
    const bool final_block = at + length == data.size();
    out.push_back(final_block ? 1 : 0);  // BFINAL, BTYPE 00, padded to the byte
    put_u16_le(out, static_cast<std::uint16_t>(length));
    put_u16_le(out, static_cast<std::uint16_t>(~length & 0xFFFFu));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
               data.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < data.size());
  put_u32_be(out, adler32(data));
  return out;
}

}  // namespace

std::vector<std::uint8_t> encode_png_rgb(int width, int height, std::span<const std::uint8_t> rgb) {
  if (width <= 0 || height <= 0 ||
      rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
    throw std::invalid_argument("encode_png_rgb: image size does not match the pixel data");
  }
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

  std::vector<std::uint8_t> header;
  put_u32_be(header, static_cast<std::uint32_t>(width));
  put_u32_be(header, static_cast<std::uint32_t>(height));
  header.push_back(8);  // bit depth
  header.push_back(2);  // colour type: RGB
  header.push_back(0);  // compression: deflate
  header.push_back(0);  // filter method 0
  header.push_back(0);  // no interlace
  put_chunk(png, "IHDR", header);

  put_chunk(png, "IDAT", zlib_stored(filtered_rows(width, height, rgb)));
  put_chunk(png, "IEND", {});
  return png;
}

bool write_png(const std::filesystem::path& path, const ChartSurface& surface) {
  const std::vector<std::uint8_t> png =
      encode_png_rgb(ChartSurface::kWidth, ChartSurface::kHeight, surface.bytes());
  // Saved as every file is: whole, and never through a link at a temporary's name.
  const std::string_view bytes(reinterpret_cast<const char*>(png.data()), png.size());
  return !replace_file_contents(path, bytes);
}

}  // namespace telmor
