// CRC-32 and Adler-32 against published check values and bitwise references.
#include "replay/checksums.h"

#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/png_test_reader.h"

namespace telmor {
namespace {

std::span<const std::uint8_t> bytes_of(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Checksums, Crc32CheckValue) {
  EXPECT_EQ(crc32(bytes_of("123456789")), 0xCBF43926u);
  EXPECT_EQ(crc32(bytes_of("")), 0u);
  EXPECT_EQ(crc32(bytes_of("IEND")), 0xAE426082u);  // the CRC every PNG ends with
}

TEST(Checksums, Crc32ContinuesOverParts) {
  EXPECT_EQ(crc32(bytes_of("6789"), crc32(bytes_of("12345"))), 0xCBF43926u);
}

TEST(Checksums, Adler32CheckValue) {
  EXPECT_EQ(adler32(bytes_of("Wikipedia")), 0x11E60398u);
  EXPECT_EQ(adler32(bytes_of("")), 1u);
  EXPECT_EQ(adler32(bytes_of("ki"), adler32(bytes_of("Wi"))), adler32(bytes_of("Wiki")));
}

TEST(Checksums, MatchBitwiseReferencesOnLongRandomData) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> data(200000);
  for (auto& byte : data) byte = static_cast<std::uint8_t>(random());
  EXPECT_EQ(crc32(data), test::reference_crc32(data));
  EXPECT_EQ(adler32(data), test::reference_adler32(data));
  // All 0xFF: both sums wrap past the modulus many times.
  std::vector<std::uint8_t> ones(100000, 0xFF);
  EXPECT_EQ(adler32(ones), test::reference_adler32(ones));
}

}  // namespace
}  // namespace telmor
