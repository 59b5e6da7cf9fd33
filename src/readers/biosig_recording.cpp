// EDF, EDF+, BDF and GDF through libbiosig: the channels biosig reads as data
// (not EDF+ annotations), in physical units, with their labels and units.
#include <biosig.h>  // with biosig-dev.h: the header and channel fields read below

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "biosig_recording.h"
#include "readers/recording_shape.h"

namespace telmor {
namespace {

struct Closer {
  void operator()(HDRTYPE* hdr) const {
    sclose(hdr);
    destructHDR(hdr);
  }
};

std::string text_of(const char* s) { return s != nullptr ? std::string(s) : std::string(); }

// "V1 (2000 Hz), V2 (1000 Hz)": the data channels whose rate is not the file's.
std::string other_rates(HDRTYPE* hdr, double rate) {
  std::string text;
  for (int k = 0; k < static_cast<int>(hdr->NS); ++k) {
    if (hdr->CHANNEL[k].OnOff != 1) continue;
    const double own = biosig_get_channel_samplerate(hdr, k);
    if (own == rate) continue;
    if (!text.empty()) text += ", ";
    text += text_of(biosig_channel_get_label(biosig_get_channel(hdr, k))) + " (" + std::to_string(own) + " Hz)";
  }
  return text;
}

}  // namespace

RecordingProblem read_biosig_recording(const std::filesystem::path& file, const ReadOptions& options,
                                       Recording& recording) {
  const std::unique_ptr<HDRTYPE, Closer> hdr(sopen(file.string().c_str(), "r", nullptr));
  if (hdr == nullptr || biosig_check_error(hdr.get())) {
    RecordingProblem p{RecordingFault::format_unreadable};
    p.detail = hdr != nullptr ? text_of(biosig_get_errormsg(hdr.get())) : "biosig could not open the file";
    return p;
  }
  const double rate = biosig_get_samplerate(hdr.get());
  if (const std::string others = other_rates(hdr.get(), rate); !others.empty()) {
    RecordingProblem p{RecordingFault::rates_differ};
    p.detail = others + "; the file's rate is " + std::to_string(rate) + " Hz";
    return p;
  }
  // One column per channel in physical units, read whole.
  hdr->FLAG.ROW_BASED_CHANNELS = 0;
  hdr->FLAG.UCAL = 0;
  // A sample at the end of the amplifier's range is clipped, not missing:
  // it stays the range's end rather than becoming NaN.
  hdr->FLAG.OVERFLOWDETECTION = 0;
  const std::size_t records = biosig_get_number_of_records(hdr.get());
  sread(nullptr, 0, records, hdr.get());
  if (biosig_check_error(hdr.get())) {
    RecordingProblem p{RecordingFault::format_unreadable};
    p.detail = text_of(biosig_get_errormsg(hdr.get()));
    return p;
  }
  const std::size_t samples = hdr->data.size[0], channels = hdr->data.size[1];
  if (channels == 0 || samples == 0 || hdr->data.block == nullptr) return {RecordingFault::no_rows};
  if (channels > static_cast<std::size_t>(kMaxRecordingLeads))
    return {RecordingFault::first_line_values, 0, static_cast<int>(channels)};
  recording = Recording(static_cast<int>(channels), static_cast<int>(samples));
  recording.rate_hz = options.rate_hz.value_or(rate);
  if (!(recording.rate_hz > 0.0) || !std::isfinite(recording.rate_hz)) {
    RecordingProblem p{RecordingFault::rate_invalid};
    p.detail = std::to_string(recording.rate_hz);
    return p;
  }
  for (std::size_t c = 0; c < channels; ++c) {
    for (std::size_t i = 0; i < samples; ++i) {
      const double v = hdr->data.block[c * samples + i];
      if (!std::isfinite(v) || std::fabs(v) > 3.4028234663852886e38)
        return {RecordingFault::not_a_number, static_cast<int>(i) + 1};
      recording.value(static_cast<int>(c) + 1, static_cast<int>(i) + 1) = static_cast<float>(v);
    }
  }
  for (int k = 0; k < static_cast<int>(hdr->NS); ++k) {
    if (hdr->CHANNEL[k].OnOff != 1) continue;
    CHANNEL_TYPE* channel = biosig_get_channel(hdr.get(), k);
    recording.labels.push_back(text_of(biosig_channel_get_label(channel)));
    recording.units.push_back(text_of(biosig_channel_get_physdim(channel)));
  }
  recording.labels.resize(channels);
  recording.units.resize(channels);
  return {};
}

}  // namespace telmor
