// The strict PNG reader of the replay tests, with a stored-block inflater.
#include "support/png_test_reader.h"

#include <cstddef>
#include <stdexcept>

namespace telmor::test {

namespace {

[[noreturn]] void defect(const std::string& what) { throw std::runtime_error("PNG: " + what); }

std::uint32_t be32(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (at + 4 > bytes.size()) defect("truncated");
  return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
         (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

// Inflates a zlib stream that may hold only stored blocks.
std::vector<std::uint8_t> inflate_stored(std::span<const std::uint8_t> z, int& blocks) {
  if (z.size() < 6) defect("zlib stream too short");
  const unsigned cmf = z[0];
  const unsigned flg = z[1];
  if ((cmf & 0x0Fu) != 8) defect("zlib method is not deflate");
  if ((cmf >> 4) > 7) defect("zlib window too large");
  if ((cmf * 256 + flg) % 31 != 0) defect("zlib header check fails");
  if ((flg & 0x20u) != 0) defect("zlib preset dictionary");

  std::vector<std::uint8_t> out;
  std::size_t at = 2;
  blocks = 0;
  for (bool final_block = false; !final_block;) {
    // A stored block's 3 header bits start a byte here, since every block
    // before it was stored and ended on a byte boundary.
    if (at >= z.size()) defect("deflate data ends before the final block");
    const unsigned header = z[at];
    final_block = (header & 1u) != 0;
    if (((header >> 1) & 3u) != 0) defect("a deflate block is not stored");
    if ((header >> 3) != 0) defect("padding bits after a stored block header are not zero");
    ++at;
    if (at + 4 > z.size()) defect("stored block header truncated");
    const unsigned length = z[at] | (unsigned{z[at + 1]} << 8);
    const unsigned nlength = z[at + 2] | (unsigned{z[at + 3]} << 8);
    if ((length ^ 0xFFFFu) != nlength) defect("LEN and NLEN are not complementary");
    at += 4;
    if (at + length > z.size()) defect("stored block data truncated");
    out.insert(out.end(), z.begin() + static_cast<std::ptrdiff_t>(at),
               z.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
    ++blocks;
  }
  if (be32(z, at) != reference_adler32(out)) defect("Adler-32 does not match");
  if (at + 4 != z.size()) defect("bytes after the zlib stream");
  return out;
}

}  // namespace

std::uint32_t DecodedPng::pixel(std::uint32_t x, std::uint32_t y) const {
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
  return (std::uint32_t{rgb.at(at)} << 16) | (std::uint32_t{rgb.at(at + 1)} << 8) |
         std::uint32_t{rgb.at(at + 2)};
}

std::uint32_t reference_crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      const std::uint32_t mask = 0u - (crc & 1u);
      crc = (crc >> 1) ^ (0xEDB88320u & mask);
    }
  }
  return ~crc;
}

std::uint32_t reference_adler32(std::span<const std::uint8_t> bytes) {
  std::uint64_t a = 1, b = 0;
  for (std::uint8_t byte : bytes) {
    a += byte;
    b += a;
    a %= 65521;
    b %= 65521;
  }
  return static_cast<std::uint32_t>((b << 16) | a);
}

DecodedPng decode_stored_png(std::span<const std::uint8_t> file) {
  static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 8) defect("shorter than the signature");
  for (std::size_t i = 0; i < 8; ++i) {
    if (file[i] != kSignature[i]) defect("bad signature");
  }
  DecodedPng png;
  std::vector<std::uint8_t> idat;
  std::size_t at = 8;
  bool ended = false;
  while (at < file.size()) {
    if (ended) defect("bytes after IEND");
    const std::uint32_t length = be32(file, at);
    if (at + 12 + std::size_t{length} > file.size()) defect("chunk truncated");
    const auto typed = file.subspan(at + 4, 4 + std::size_t{length});
    const std::string type(typed.begin(), typed.begin() + 4);
    const auto data = typed.subspan(4);
    if (be32(file, at + 8 + length) != reference_crc32(typed)) defect("bad CRC in " + type);
    if (png.chunk_types.empty() && type != "IHDR") defect("first chunk is not IHDR");
    png.chunk_types.push_back(type);
    if (type == "IHDR") {
      if (png.chunk_types.size() != 1) defect("IHDR not first");
      if (length != 13) defect("IHDR length is not 13");
      png.width = be32(data, 0);
      png.height = be32(data, 4);
      png.bit_depth = data[8];
      png.colour_type = data[9];
      png.compression = data[10];
      png.filter = data[11];
      png.interlace = data[12];
    } else if (type == "IDAT") {
      idat.insert(idat.end(), data.begin(), data.end());
    } else if (type == "IEND") {
      if (length != 0) defect("IEND has data");
      ended = true;
    } else {
      defect("unexpected chunk " + type);
    }
    at += 12 + std::size_t{length};
  }
  if (!ended) defect("no IEND");
  if (png.bit_depth != 8 || png.colour_type != 2) defect("not 8-bit RGB");

  const std::vector<std::uint8_t> rows = inflate_stored(idat, png.stored_blocks);
  const std::size_t row_bytes = std::size_t{png.width} * 3;
  if (rows.size() != (row_bytes + 1) * png.height) defect("image data size does not match IHDR");
  png.rgb.reserve(row_bytes * png.height);
  for (std::size_t y = 0; y < png.height; ++y) {
    const std::size_t row_at = y * (row_bytes + 1);
    if (rows[row_at] != 0) defect("row filter is not 0");
    png.rgb.insert(png.rgb.end(), rows.begin() + static_cast<std::ptrdiff_t>(row_at + 1),
                   rows.begin() + static_cast<std::ptrdiff_t>(row_at + 1 + row_bytes));
  }
  return png;
}

DecodedPng decode_stored_png(const std::string& file) {
  return decode_stored_png(std::span<const std::uint8_t>(
      reinterpret_cast<const std::uint8_t*>(file.data()), file.size()));
}

}  // namespace telmor::test
