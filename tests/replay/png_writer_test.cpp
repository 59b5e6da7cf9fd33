// The PNG writer's files, read back by the strict stored-block reader.
#include "replay/png_writer.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "support/png_test_reader.h"
#include "replay/chart_surface.h"
#include "replay/line_raster.h"
#include "support/test_files.h"

namespace telmor {
namespace {

std::vector<std::uint8_t> pattern(int width, int height) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return rgb;
}

TEST(PngWriter, SignatureAndHeaderChunk) {
  const std::vector<std::uint8_t> png = encode_png_rgb(3, 2, pattern(3, 2));
  const std::vector<std::uint8_t> start = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                           0,    0,   0,   13,  'I',  'H',  'D',  'R',
                                           0,    0,   0,   3,   0,    0,    0,    2,
                                           8,    2,   0,   0,   0};
  ASSERT_GE(png.size(), start.size());
  EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 29), start);

  const test::DecodedPng decoded = test::decode_stored_png(png);
  EXPECT_EQ(decoded.width, 3u);
  EXPECT_EQ(decoded.height, 2u);
  EXPECT_EQ(decoded.bit_depth, 8);
  EXPECT_EQ(decoded.colour_type, 2);
  EXPECT_EQ(decoded.compression, 0);
  EXPECT_EQ(decoded.filter, 0);
  EXPECT_EQ(decoded.interlace, 0);
  EXPECT_EQ(decoded.chunk_types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
}

TEST(PngWriter, StoredBlocksInflateToTheRows) {
  const std::vector<std::uint8_t> rgb = pattern(3, 2);
  const test::DecodedPng decoded = test::decode_stored_png(encode_png_rgb(3, 2, rgb));
  EXPECT_EQ(decoded.stored_blocks, 1);
  EXPECT_EQ(decoded.rgb, rgb);
}

TEST(PngWriter, ImageLargerThanOneStoredBlock) {
  // 200 rows of 601 bytes: 120200 bytes, two stored blocks.
  const std::vector<std::uint8_t> rgb = pattern(200, 200);
  const test::DecodedPng decoded = test::decode_stored_png(encode_png_rgb(200, 200, rgb));
  EXPECT_EQ(decoded.stored_blocks, 2);
  EXPECT_EQ(decoded.rgb, rgb);
}

TEST(PngWriter, ExactlyOneFullStoredBlock) {
  // 1 + 3 * 21845 = 65536 bytes: one byte more than a block holds.
  const std::vector<std::uint8_t> rgb = pattern(21845, 1);
  const test::DecodedPng decoded = test::decode_stored_png(encode_png_rgb(21845, 1, rgb));
  EXPECT_EQ(decoded.stored_blocks, 2);
  EXPECT_EQ(decoded.rgb, rgb);
}

TEST(PngWriter, ReaderRejectsACorruptedFile) {
  std::vector<std::uint8_t> png = encode_png_rgb(3, 2, pattern(3, 2));
  EXPECT_NO_THROW(test::decode_stored_png(png));
  png[png.size() - 20] ^= 0x01;  // a pixel byte inside IDAT
  EXPECT_THROW(test::decode_stored_png(png), std::runtime_error);
}

TEST(PngWriter, RejectsPixelDataOfTheWrongSize) {
  EXPECT_THROW(encode_png_rgb(3, 2, pattern(3, 1)), std::invalid_argument);
  EXPECT_THROW(encode_png_rgb(0, 0, {}), std::invalid_argument);
}

TEST(PngWriter, WritesTheChartSurface) {
  test::ScratchDir dir;
  ChartSurface surface;
  draw_line(surface, 0, 0, 999, 0, Rgb{255, 0, 0});
  draw_line(surface, 1000, 383, 1023, 383, Rgb{0, 0, 240});
  ASSERT_TRUE(write_png(dir / "chart.png", surface));

  const test::DecodedPng decoded = test::decode_stored_png(test::read_whole_file(dir / "chart.png"));
  EXPECT_EQ(decoded.width, 1024u);
  EXPECT_EQ(decoded.height, 384u);
  EXPECT_EQ(decoded.pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(decoded.pixel(999, 0), 0xFF0000u);
  EXPECT_EQ(decoded.pixel(1000, 0), 0xFFFFFFu);
  EXPECT_EQ(decoded.pixel(1000, 383), 0x0000F0u);
  EXPECT_EQ(decoded.pixel(500, 200), 0xFFFFFFu);
  EXPECT_TRUE(std::equal(decoded.rgb.begin(), decoded.rgb.end(), surface.bytes().begin(),
                         surface.bytes().end()));
}

TEST(PngWriter, ReportsAFileThatCannotBeWritten) {
  test::ScratchDir dir;
  EXPECT_FALSE(write_png(dir / "no-such-folder" / "chart.png", ChartSurface{}));
}

}  // namespace
}  // namespace telmor
