// CRC-32 (as PNG chunks use it) and Adler-32 (as zlib streams use it).
#pragma once

#include <cstdint>
#include <span>

namespace telmor {

// CRC-32 with the reflected polynomial 0xEDB88320; pass the previous result
// as crc to continue over more bytes.
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

// Adler-32; pass the previous result as adler to continue over more bytes.
std::uint32_t adler32(std::span<const std::uint8_t> bytes, std::uint32_t adler = 1);

}  // namespace telmor
