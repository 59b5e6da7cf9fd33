// Looking at a file to tell later whether someone else has changed it.
#include "files/file_seen_now.h"

#include <algorithm>
#include <array>
#include <memory>
#include <system_error>

namespace telmor {
namespace {

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ull;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ull;

std::uint64_t fnv1a(std::uint64_t hash, std::string_view bytes) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= kFnvPrime;
  }
  return hash;
}

}  // namespace

FileSeen see_file(const std::filesystem::path& path, const FileAccess& files) {
  FileSeen seen;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    seen.kind = FileSeen::Kind::missing;
    return seen;
  }
  if (error) {
    seen.kind = FileSeen::Kind::unreadable;
    return seen;
  }
  if (status.type() != std::filesystem::file_type::regular) {
    seen.kind = FileSeen::Kind::other;
    return seen;
  }
  const std::unique_ptr<std::istream> in = files.open_read(path, error);
  if (!in) {
    seen.kind = FileSeen::Kind::unreadable;
    return seen;
  }
  seen.kind = FileSeen::Kind::regular;
  seen.hash = kFnvOffset;
  std::array<char, 65536> block{};
  while (seen.size < kSeenBytes) {
    const auto wanted = static_cast<std::streamsize>(std::min<std::uint64_t>(block.size(), kSeenBytes - seen.size));
    in->read(block.data(), wanted);
    const std::streamsize got = in->gcount();
    if (got <= 0) break;
    seen.hash = fnv1a(seen.hash, std::string_view(block.data(), static_cast<std::size_t>(got)));
    seen.size += static_cast<std::uint64_t>(got);
  }
  if (in->bad()) {
    seen = FileSeen{};
    seen.kind = FileSeen::Kind::unreadable;
    return seen;
  }
  // Past what is read, the size still tells two files apart.
  if (seen.size == kSeenBytes) {
    const std::uintmax_t whole = std::filesystem::file_size(path, error);
    if (!error) seen.size = whole;
  }
  return seen;
}

FileSeen seen_content(std::string_view content) {
  FileSeen seen;
  seen.kind = FileSeen::Kind::regular;
  seen.hash = fnv1a(kFnvOffset, content.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(content.size(), kSeenBytes))));
  seen.size = content.size();
  return seen;
}

}  // namespace telmor
