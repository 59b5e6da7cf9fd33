#include "readers/recording_rate.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace telmor {
namespace {

constexpr double kContextSeconds = 0.5;

// Every lead of r at rate_hz, time-aligned: input sample k (from 0) and
// output sample m lie at k / r.rate_hz and m / rate_hz.
RecordingProblem resampled(const Recording& r, double rate_hz, Recording& out) {
  const auto length = static_cast<std::size_t>(std::llround(r.sample_count * rate_hz / r.rate_hz));
  out = Recording(r.lead_count, static_cast<int>(length));
  out.rate_hz = rate_hz;
  std::vector<const float*> in(static_cast<std::size_t>(r.lead_count));
  std::vector<float*> to(in.size());
  for (int j = 1; j <= r.lead_count; ++j) {
    in[static_cast<std::size_t>(j - 1)] = r.lead(j).data();
    to[static_cast<std::size_t>(j - 1)] = out.values.data() + out.index(j, 1);
  }
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_S, SOXR_FLOAT32_S);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ | SOXR_LINEAR_PHASE, 0);
  std::size_t done = 0;
  const soxr_error_t error =
      soxr_oneshot(r.rate_hz, rate_hz, static_cast<unsigned>(r.lead_count), in.data(),
                   static_cast<std::size_t>(r.sample_count), nullptr, to.data(), length, &done, &io, &quality, nullptr);
  if (error != nullptr) {
    RecordingProblem p{RecordingFault::format_unreadable};
    p.detail = std::string("libsoxr: ") + error;
    return p;
  }
  // Fewer than asked: the rest is not known, so it is not kept.
  if (done < length) return take_part({{}, 0.0, static_cast<double>(done) / rate_hz}, out);
  return {};
}

}  // namespace

bool resampling_available() { return true; }

RecordingProblem part_at_rate(const Recording& whole, const RecordingPart& part, double rate_hz, Recording& out) {
  Recording check = whole;
  if (const RecordingProblem p = take_part(part, check)) return p;
  if (whole.rate_hz == rate_hz) {
    out = std::move(check);
    return {};
  }
  const double end_s = whole.sample_count / whole.rate_hz;
  const double seconds = part.seconds.value_or(end_s - part.start_s);
  // The part with its context, at the recording's samples.
  const double from_s = std::max(0.0, part.start_s - kContextSeconds);
  const double to_s = std::min(end_s, part.start_s + seconds + kContextSeconds);
  Recording context = whole;
  const int first = static_cast<int>(std::floor(from_s * whole.rate_hz));
  const int last = static_cast<int>(std::ceil(to_s * whole.rate_hz));
  if (const RecordingProblem p = take_part({part.leads, first / whole.rate_hz,
                                            (std::min(last, whole.sample_count) - first) / whole.rate_hz},
                                           context))
    return p;
  Recording fast;
  if (const RecordingProblem p = resampled(context, rate_hz, fast)) return p;
  // The part within the resampled context, from the part's first sample.
  const double part_first = std::round(part.start_s * whole.rate_hz);
  const auto samples = static_cast<int>(std::llround(seconds * rate_hz));
  const int skip = static_cast<int>(std::llround((part_first - first) / whole.rate_hz * rate_hz));
  if (skip + samples > fast.sample_count) {
    RecordingProblem p{RecordingFault::time_outside};
    p.detail = "resampled";
    p.count = std::llround(1000.0 * fast.sample_count / rate_hz);
    return p;
  }
  out = Recording(fast.lead_count, samples);
  out.rate_hz = rate_hz;
  for (int j = 1; j <= fast.lead_count; ++j) {
    const auto lead = fast.lead(j).subspan(static_cast<std::size_t>(skip), static_cast<std::size_t>(samples));
    std::copy(lead.begin(), lead.end(), out.values.begin() + static_cast<std::ptrdiff_t>(out.index(j, 1)));
  }
  out.labels = check.labels;
  out.units = check.units;
  out.source = whole.source;
  return {};
}

}  // namespace telmor
