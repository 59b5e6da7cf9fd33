// Colours 0x00BBGGRR split into RGB and written as RRGGBB hex.
#include "replay/colour.h"

#include <gtest/gtest.h>

namespace telmor {
namespace {

TEST(Colour, RedIsTheLowByte) {
  EXPECT_EQ(rgb_from_colorref(0x0000FF), (Rgb{255, 0, 0}));
  EXPECT_EQ(rgb_from_colorref(0xF00000), (Rgb{0, 0, 0xF0}));
  EXPECT_EQ(rgb_from_colorref(0x123456), (Rgb{0x56, 0x34, 0x12}));
}

TEST(Colour, HighByteIsIgnored) {
  EXPECT_EQ(rgb_from_colorref(0x0FFFFF00), (Rgb{0, 255, 255}));
  EXPECT_EQ(rgb_from_colorref(0xFF000000), (Rgb{0, 0, 0}));
}

TEST(Colour, HexIsRedFirstUpperCase) {
  EXPECT_EQ(hex_rrggbb(rgb_from_colorref(0x0000FF)), "FF0000");
  EXPECT_EQ(hex_rrggbb(rgb_from_colorref(0xF00000)), "0000F0");
  EXPECT_EQ(hex_rrggbb(rgb_from_colorref(0x0FFFFF00)), "00FFFF");
  EXPECT_EQ(hex_rrggbb(rgb_from_colorref(0x00ABCDEF)), "EFCDAB");
  EXPECT_EQ(hex_rrggbb(rgb_from_colorref(0)), "000000");
}

}  // namespace
}  // namespace telmor
