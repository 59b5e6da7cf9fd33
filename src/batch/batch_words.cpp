// The batch's catalogue of a language.
#include "batch_words.h"

#include "base/number_text.h"

namespace telmor {

const BatchWords& japanese_batch_words();
const BatchWords& english_batch_words();

const BatchWords& batch_words(Language language) {
  return language == Language::english ? english_batch_words() : japanese_batch_words();
}

std::vector<int> warned_leads(const std::vector<RangeWarning>& warnings, MarkKind kind) {
  std::vector<int> leads;
  for (const RangeWarning& w : warnings) {
    if (w.kind == kind) leads.push_back(w.lead);
  }
  return leads;
}

std::string format_bytes(std::size_t bytes, std::string_view byte_unit) {
  if (bytes >= (std::size_t{1} << 30) && bytes % (std::size_t{1} << 30) == 0)
    return format_integer(static_cast<std::int64_t>(bytes >> 30)) + " GiB";
  if (bytes >= (std::size_t{1} << 20) && bytes % (std::size_t{1} << 20) == 0)
    return format_integer(static_cast<std::int64_t>(bytes >> 20)) + " MiB";
  return format_integer(static_cast<std::int64_t>(bytes)) + " " + std::string(byte_unit);
}

}  // namespace telmor
