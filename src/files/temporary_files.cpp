// Names of the temporaries beside a target, and the sweep of stale ones.
#include "files/temporary_files.h"

#include <random>

namespace telmor {
namespace {

using NativeString = std::filesystem::path::string_type;

constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kUniqueLength = 6;

// Seeded once per thread from the system's randomness and the clock, so that
// threads and processes draw different names even where one of them is weak.
std::mt19937_64& name_engine() {
  thread_local std::mt19937_64 engine = [] {
    std::random_device device;
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::seed_seq seed{device(), device(), device(), static_cast<unsigned>(ticks),
                       static_cast<unsigned>(static_cast<unsigned long long>(ticks) >> 32)};
    return std::mt19937_64(seed);
  }();
  return engine;
}

bool is_letter_or_digit(NativeString::value_type c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::filesystem::path folder_of(const std::filesystem::path& target) {
  return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

}  // namespace

std::filesystem::path temporary_name(const std::filesystem::path& target) {
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  std::string unique = ".";
  for (std::size_t i = 0; i < kUniqueLength; ++i) unique += kLetters[pick(name_engine())];
  unique += ".tmp";
  std::filesystem::path temporary = target;
  temporary += unique;
  return temporary;
}

bool is_temporary_of(const std::filesystem::path& target, const std::filesystem::path& name) {
  const NativeString base = target.filename().native();
  const NativeString candidate = name.filename().native();
  const NativeString tmp = std::filesystem::path(".tmp").native();
  if (base.empty() || !candidate.starts_with(base) || !candidate.ends_with(tmp)) return false;
  const std::size_t middle = candidate.size() - base.size() - tmp.size();
  if (middle == 0) return true;  // the one name of earlier versions
  if (middle != 1 + kUniqueLength || candidate[base.size()] != '.') return false;
  for (std::size_t i = base.size() + 1; i < base.size() + 1 + kUniqueLength; ++i) {
    if (!is_letter_or_digit(candidate[i])) return false;
  }
  return true;
}

std::vector<LeftTemporary> remove_stale_temporaries(const std::filesystem::path& target,
                                                    const FileAccess& files) {
  std::vector<std::filesystem::path> stale;
  if (target.filename().empty()) return {};
  const auto now = std::filesystem::file_time_type::clock::now();
  std::error_code error;
  // A folder that cannot be listed holds nothing to sweep; the save itself
  // then says what is wrong with the folder.
  for (std::filesystem::directory_iterator it(folder_of(target), error), end; !error && it != end;
       it.increment(error)) {
    const std::filesystem::directory_entry& entry = *it;
    if (!is_temporary_of(target, entry.path())) continue;
    std::error_code ignored;
    if (entry.is_symlink(ignored) || ignored) continue;
    const auto written = entry.last_write_time(ignored);
    if (ignored || now - written < kStaleTemporaryAge) continue;
    stale.push_back(entry.path());
  }
  std::vector<LeftTemporary> left;
  for (const std::filesystem::path& path : stale) {
    if (const std::error_code failed = files.remove(path)) left.push_back({path, failed});
  }
  return left;
}

}  // namespace telmor
