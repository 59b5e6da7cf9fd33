#include "driver/opened_recording.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "base/utf8_path.h"
#include "readers/recording_formats.h"
#include "readers/recording_rate.h"
#include "session/part_file.h"
#include "words/words.h"

namespace telmor {
namespace {

constexpr double kProgramRateHz = 1000.0;

std::string stem_of(const std::filesystem::path& file) {
  const std::string name = utf8_from_path(file.filename());
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string describe(const std::filesystem::path& file, const Recording& whole, const OpenRequest& request,
                     const Recording& part) {
  const double duration = whole.sample_count / whole.rate_hz;
  const int seconds = part.sample_count / 1000;
  std::string text = utf8_from_path(file.filename()) + ": " + format_integer(whole.lead_count) + " チャンネル、" +
                     format_fixed(whole.rate_hz, whole.rate_hz == std::floor(whole.rate_hz) ? 0 : 1) + " Hz、" +
                     format_fixed(duration, 1) + " 秒のうち、" + format_integer(part.lead_count) + " チャンネルの " +
                     format_fixed(request.start_s, 1) + "〜" + format_fixed(request.start_s + seconds, 1) + " 秒を";
  text += whole.rate_hz == kProgramRateHz ? "開きました。" : " 1 kHz にして開きました。";
  text += "時刻はその区間の始まりからです。";
  return text;
}

// The part as its results file records it. The whole file at the part it
// opens with (its first channels, up to 20, from its start for as many whole
// seconds as it holds, up to 30) is the default part.
RecordedPart recorded_part(const std::filesystem::path& file, const Recording& whole, const OpenRequest& request,
                           const Recording& part, bool& default_part) {
  RecordedPart recorded;
  recorded.source = utf8_from_path(file.filename());
  recorded.channels = request.leads;
  std::vector<int> first(static_cast<std::size_t>(std::min(whole.lead_count, kMaxLeads)));
  std::iota(first.begin(), first.end(), 1);
  if (recorded.channels.empty()) recorded.channels = first;
  recorded.start_s = request.start_s;
  recorded.seconds = part.sample_count / 1000;
  recorded.rate_hz = whole.rate_hz;
  recorded.dataset = request.dataset;
  recorded.orientation = request.orientation;
  const double duration = whole.sample_count / whole.rate_hz;
  const double most = std::min(std::floor(duration + 1e-9), kMaxSamples / 1000.0);
  default_part = recorded.channels == first && recorded.start_s == 0.0 && static_cast<double>(recorded.seconds) == most;
  return recorded;
}

}  // namespace

RecordingProblem opened_part(const Recording& whole, const OpenRequest& request, Recording& part) {
  RecordingPart chosen{request.leads, request.start_s, std::nullopt};
  if (chosen.leads.empty()) {
    chosen.leads.resize(static_cast<std::size_t>(std::min(whole.lead_count, kMaxLeads)));
    std::iota(chosen.leads.begin(), chosen.leads.end(), 1);
  }
  if (chosen.leads.size() > static_cast<std::size_t>(kMaxLeads)) {
    RecordingProblem p{RecordingFault::lead_outside};
    p.leads = kMaxLeads + 1;
    p.count = kMaxLeads;
    return p;
  }
  const double left = whole.sample_count / whole.rate_hz - request.start_s;
  const double seconds = request.seconds ? *request.seconds : std::min(std::floor(left + 1e-9), kMaxSamples / 1000.0);
  if (!(seconds >= 1.0 && seconds <= kMaxSamples / 1000)) {
    RecordingProblem p{RecordingFault::time_outside};
    p.detail = format_fixed(request.start_s, 3) + "–" + format_fixed(request.start_s + seconds, 3);
    p.count = std::llround(1000.0 * whole.sample_count / whole.rate_hz);
    return p;
  }
  chosen.seconds = seconds;
  return part_at_rate(whole, chosen, kProgramRateHz, part);
}

bool take_opened_recording(WindowLayer& layer, RunRecord& record, const OpenRequest& request) {
  const std::string shown = utf8_from_path(request.file);
  std::shared_ptr<const Recording> whole = request.whole;
  RecordingProblem problem;
  if (!whole) {
    auto read = std::make_shared<Recording>();
    ReadOptions options;
    options.dataset = request.dataset;
    options.rate_hz = request.rate_hz;
    options.orientation = static_cast<Orientation>(request.orientation);
    problem = read_recording_at(request.file, options, *read);
    whole = std::move(read);
  }
  Recording part;
  if (!problem) problem = opened_part(*whole, request, part);
  if (problem) {
    layer.console_write(shown + "が読めません。");
    layer.console_write(japanese().recording_problem(problem));
    return false;
  }
  const std::string name = stem_of(request.file);
  record.at_from = -80;
  record.at_to = 80;
  record.rt_from = 100;
  record.rt_to = 200;
  record.drive.assign("d");
  record.file_name.assign(name);
  record.recording_name = name;
  record.data_file = request.file;
  // Each part of the file has results of its own; the default part keeps
  // the name a results file always had.
  bool default_part = false;
  record.part = recorded_part(request.file, *whole, request, part, default_part);
  const std::string suffix = default_part ? std::string() : part_name_suffix(*record.part);
  record.results_file = request.file.parent_path() / path_from_utf8(name + "ari" + suffix + ".csv");
  record.shown_data_path = shown;
  record.shown_result_path = utf8_from_path(record.results_file);
  record.lead_count = part.lead_count;
  record.sample_count = part.sample_count;
  record.record_seconds = part.sample_count / 1000;
  for (int j = 1; j <= part.lead_count; ++j) {
    for (int i = 1; i <= part.sample_count; ++i) record.wave(j, i) = part.value(j, i);
    const auto k = static_cast<std::size_t>(j - 1);
    record.lead_labels[k] = k < part.labels.size() ? part.labels[k] : std::string();
    record.lead_units[k] = k < part.units.size() ? part.units[k] : std::string();
  }
  layer.console_write("波形データ" + shown + "を読み込みました。");
  layer.show_note(describe(request.file, *whole, request, part));
  return true;
}

}  // namespace telmor
