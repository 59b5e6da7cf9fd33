// EDF, EDF+, BDF and GDF through libbiosig: the channels biosig reads as data
// (not EDF+ annotations), in physical units, with their labels and units,
// read a few records at a time.
#include <biosig.h>  // with biosig-dev.h: the header and channel fields read below

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "biosig_recording.h"

namespace telmor {
namespace {

struct Closer {
  void operator()(HDRTYPE* hdr) const {
    sclose(hdr);
    destructHDR(hdr);
  }
};

// About a million samples of every channel at a time.
constexpr std::size_t kSamplesPerRead = std::size_t{1} << 20;

std::string text_of(const char* s) { return s != nullptr ? std::string(s) : std::string(); }

std::string hz_text(double rate) { return format_fixed(rate, rate == std::floor(rate) ? 0 : 3) + " Hz"; }

// "V1 (2000 Hz), V2 (1000 Hz)": the data channels whose rate is not the file's.
std::string other_rates(HDRTYPE* hdr, double rate) {
  std::string text;
  for (int k = 0; k < static_cast<int>(hdr->NS); ++k) {
    if (hdr->CHANNEL[k].OnOff != 1) continue;
    const double own = biosig_get_channel_samplerate(hdr, k);
    if (own == rate) continue;
    if (!text.empty()) text += ", ";
    text += text_of(biosig_channel_get_label(biosig_get_channel(hdr, k))) + " (" + hz_text(own) + ")";
  }
  return text;
}

RecordingProblem unreadable(HDRTYPE* hdr) {
  RecordingProblem p{RecordingFault::format_unreadable};
  p.detail = hdr != nullptr ? text_of(biosig_get_errormsg(hdr)) : "biosig could not open the file";
  if (p.detail.empty()) p.detail = "biosig could not read the file";
  return p;
}

}  // namespace

RecordingProblem read_biosig_recording(const std::filesystem::path& file, const BiosigLayout& layout,
                                       const ReadOptions& options, RecordingSink& sink) {
  const std::unique_ptr<HDRTYPE, Closer> hdr(sopen(file.string().c_str(), "r", nullptr));
  if (hdr == nullptr || biosig_check_error(hdr.get())) return unreadable(hdr.get());
  const double rate = biosig_get_samplerate(hdr.get());
  if (const std::string others = other_rates(hdr.get(), rate); !others.empty()) {
    RecordingProblem p{RecordingFault::rates_differ};
    p.detail = others + "; " + hz_text(rate);
    return p;
  }
  std::vector<int> channels;
  for (int k = 0; k < static_cast<int>(hdr->NS); ++k)
    if (hdr->CHANNEL[k].OnOff == 1) channels.push_back(k);
  if (channels.empty()) return {RecordingFault::no_rows};
  // What biosig makes of the header must be what it was checked to say.
  const std::size_t records = std::min<std::size_t>(biosig_get_number_of_records(hdr.get()), layout.records);
  const std::size_t per_record = hdr->SPR;
  if (per_record == 0 || records == 0) return {RecordingFault::no_rows};
  std::uint64_t samples = 0;
  if (__builtin_mul_overflow(static_cast<std::uint64_t>(records), static_cast<std::uint64_t>(per_record), &samples))
    return {RecordingFault::beyond_limit, 0, 16, 0, "?"};

  std::vector<std::string> labels, units;
  for (const int k : channels) {
    CHANNEL_TYPE* channel = biosig_get_channel(hdr.get(), k);
    labels.push_back(text_of(biosig_channel_get_label(channel)));
    units.push_back(text_of(biosig_channel_get_physdim(channel)));
  }
  if (RecordingProblem p = sink.begin(channels.size(), samples, options.rate_hz.value_or(rate), std::move(labels),
                                      std::move(units)))
    return p;

  // One column per channel in physical units.
  hdr->FLAG.ROW_BASED_CHANNELS = 0;
  hdr->FLAG.UCAL = 0;
  // A sample at the end of the amplifier's range is clipped, not missing:
  // it stays the range's end rather than becoming NaN.
  hdr->FLAG.OVERFLOWDETECTION = 0;
  const std::size_t step = std::max<std::size_t>(1, kSamplesPerRead / per_record);
  std::vector<float> values;
  for (std::size_t start = 0; start < records; start += step) {
    const std::size_t wanted = std::min(step, records - start);
    const std::size_t got = sread(nullptr, start, wanted, hdr.get());
    if (biosig_check_error(hdr.get())) return unreadable(hdr.get());
    const std::size_t rows = hdr->data.size[0], columns = hdr->data.size[1];
    if (got != wanted || hdr->data.block == nullptr || columns != channels.size() || rows != wanted * per_record)
      return {RecordingFault::data_missing, static_cast<std::int64_t>(start + got),
              static_cast<std::int64_t>(records)};
    values.resize(rows);
    for (std::size_t c = 0; c < columns; ++c) {
      for (std::size_t i = 0; i < rows; ++i) {
        const double v = hdr->data.block[c * rows + i];
        if (!std::isfinite(v) || std::fabs(v) > 3.4028234663852886e38)
          return {RecordingFault::not_a_number, static_cast<std::int64_t>(start * per_record + i) + 1};
        values[i] = static_cast<float>(v);
      }
      if (RecordingProblem p = sink.append(static_cast<int>(c) + 1, values)) return p;
    }
  }
  return {};
}

}  // namespace telmor
