// A strict reader of the replay's PNG files, written apart from the writer to check it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace telmor::test {

struct DecodedPng {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bit_depth = 0;
  int colour_type = 0;
  int compression = 0;
  int filter = 0;
  int interlace = 0;
  std::vector<std::string> chunk_types;  // in file order
  int stored_blocks = 0;
  std::vector<std::uint8_t> rgb;  // rows top to bottom, width * 3 bytes each

  // Red, green and blue of pixel (x, y) as 0xRRGGBB.
  std::uint32_t pixel(std::uint32_t x, std::uint32_t y) const;
};

// Decodes the file; throws std::runtime_error naming the first defect (bad
// signature or CRC, a chunk out of place, a compressed block, LEN and NLEN
// not complementary, a wrong Adler-32, a row filter other than 0, a size
// that does not match the header).
DecodedPng decode_stored_png(std::span<const std::uint8_t> file);
DecodedPng decode_stored_png(const std::string& file);

// Bitwise references, independent of the table-driven ones under test.
std::uint32_t reference_crc32(std::span<const std::uint8_t> bytes);
std::uint32_t reference_adler32(std::span<const std::uint8_t> bytes);

}  // namespace telmor::test
