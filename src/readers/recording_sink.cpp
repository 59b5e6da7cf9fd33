// Building a recording from checked pieces.
#include "readers/recording_sink.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/printable_text.h"
#include "readers/recording_limits.h"

namespace telmor {
namespace {

std::vector<std::string> one_per_lead(std::vector<std::string> names, std::size_t leads) {
  if (names.size() == 1 && leads > 1) names.assign(leads, names.front());
  names.resize(leads);
  for (std::string& name : names) name = label_from_bytes(name);
  return names;
}

}  // namespace

RecordingProblem RecordingBuilder::begin(std::uint64_t leads, std::uint64_t samples, double rate_hz,
                                         std::vector<std::string> labels, std::vector<std::string> units) {
  if (begun_) return {RecordingFault::format_unreadable, 0, 0, 0, "the recording began twice"};
  if (RecordingProblem p = check_declared_shape(leads, samples)) return p;
  if (leads * samples > most_bytes_ / sizeof(float)) {
    RecordingProblem p{RecordingFault::beyond_limit};
    p.detail = std::to_string(leads) + " × " + std::to_string(samples);
    p.count = kLargestRecordingGiB;
    return p;
  }
  if (!(rate_hz > 0.0) || !std::isfinite(rate_hz)) {
    RecordingProblem p{RecordingFault::rate_invalid};
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, rate_hz);
    p.detail = error == std::errc() ? std::string(text, end) : std::string("?");
    return p;
  }
  if (labels.size() > leads || units.size() > leads)
    return {RecordingFault::format_unreadable, 0, 0, 0, "more channel names than channels"};
  recording_ = Recording(static_cast<int>(leads), static_cast<int>(samples));
  recording_.rate_hz = rate_hz;
  recording_.labels = one_per_lead(std::move(labels), leads);
  recording_.units = one_per_lead(std::move(units), leads);
  filled_.assign(leads, 0);
  begun_ = true;
  return {};
}

RecordingProblem RecordingBuilder::append(int lead, std::span<const float> values) {
  if (!begun_) return {RecordingFault::format_unreadable, 0, 0, 0, "values before the recording's shape"};
  if (lead < 1 || lead > recording_.lead_count)
    return {RecordingFault::format_unreadable, 0, 0, 0, "values of a lead the recording does not have"};
  std::uint64_t& filled = filled_[static_cast<std::size_t>(lead - 1)];
  const auto samples = static_cast<std::uint64_t>(recording_.sample_count);
  if (values.size() > samples - filled)
    return {RecordingFault::format_unreadable, 0, 0, 0, "more values than the recording's samples"};
  const auto bad = std::find_if(values.begin(), values.end(), [](float v) { return !std::isfinite(v); });
  if (bad != values.end())
    return {RecordingFault::not_a_number, static_cast<std::int64_t>(filled) + (bad - values.begin()) + 1};
  std::copy(values.begin(), values.end(),
            recording_.values.begin() + static_cast<std::ptrdiff_t>(recording_.index(lead, 1) + filled));
  filled += values.size();
  return {};
}

RecordingProblem RecordingBuilder::finish(Recording& recording) {
  if (!begun_) return {RecordingFault::no_rows};
  const auto samples = static_cast<std::uint64_t>(recording_.sample_count);
  const auto short_lead = std::find_if(filled_.begin(), filled_.end(), [&](std::uint64_t f) { return f < samples; });
  if (short_lead != filled_.end()) return {RecordingFault::end_of_file, static_cast<std::int64_t>(*short_lead) + 1};
  recording = std::move(recording_);
  recording_ = {};
  begun_ = false;
  return {};
}

}  // namespace telmor
