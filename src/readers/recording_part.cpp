#include "readers/recording_part.h"

#include <cmath>
#include <numeric>
#include <string>

#include "base/number_text.h"

namespace telmor {
namespace {

std::string stretch_text(double start_s, std::optional<double> seconds) {
  return format_fixed(start_s, 3) + "–" + (seconds ? format_fixed(start_s + *seconds, 3) : std::string());
}

}  // namespace

RecordingProblem take_part(const RecordingPart& part, Recording& recording) {
  for (const int lead : part.leads) {
    if (lead < 1 || lead > recording.lead_count) {
      RecordingProblem p{RecordingFault::lead_outside};
      p.leads = lead;
      p.count = recording.lead_count;
      return p;
    }
  }
  // Samples from the one nearest the start, as many as the stretch holds.
  const double rate = recording.rate_hz;
  const double first = std::round(part.start_s * rate);
  const double length = part.seconds ? std::round(*part.seconds * rate) : recording.sample_count - first;
  if (!(part.start_s >= 0.0) || !(length >= 1.0) || !(first + length <= recording.sample_count)) {
    RecordingProblem p{RecordingFault::time_outside};
    p.detail = stretch_text(part.start_s, part.seconds);
    p.count = std::llround(1000.0 * recording.sample_count / rate);
    return p;
  }
  std::vector<int> leads = part.leads;
  if (leads.empty()) {
    leads.resize(static_cast<std::size_t>(recording.lead_count));
    std::iota(leads.begin(), leads.end(), 1);
  }
  const int from = static_cast<int>(first) + 1, count = static_cast<int>(length);
  Recording taken(static_cast<int>(leads.size()), count);
  taken.rate_hz = rate;
  taken.source = recording.source;
  for (std::size_t k = 0; k < leads.size(); ++k) {
    const auto lead = recording.lead(leads[k]).subspan(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(count));
    std::copy(lead.begin(), lead.end(), taken.values.begin() + static_cast<std::ptrdiff_t>(k * static_cast<std::size_t>(count)));
    const auto j = static_cast<std::size_t>(leads[k] - 1);
    if (!recording.labels.empty()) taken.labels.push_back(j < recording.labels.size() ? recording.labels[j] : "");
    if (!recording.units.empty()) taken.units.push_back(j < recording.units.size() ? recording.units[j] : "");
  }
  recording = std::move(taken);
  return {};
}

RecordingProblem take_first(std::optional<int> leads, std::optional<int> seconds, Recording& recording) {
  if (!leads && !seconds) return {};
  RecordingPart part;
  if (leads) {
    // Leads 1..N; beyond the recording, N alone names what is missing.
    if (*leads >= 1 && *leads <= recording.lead_count) {
      part.leads.resize(static_cast<std::size_t>(*leads));
      std::iota(part.leads.begin(), part.leads.end(), 1);
    } else {
      part.leads = {*leads};
    }
  }
  if (seconds) part.seconds = *seconds;
  return take_part(part, recording);
}

}  // namespace telmor
