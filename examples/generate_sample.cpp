// Writes the bundled sample recording (8 leads, 10 s), or another of its kind,
// and beside it the model's AT and RT of every beat and lead.
//
//   generate_sample OUTPUT [LEADS SECONDS [SEED]] [--noise PERCENT]
//                   [--t-wave positive|negative|biphasic] [--t-scale FACTOR]
//                   [--wander] [--interval MS] [--rate HZ] [--t-duration MS]
//   generate_sample OUTPUT [LEADS SECONDS [SEED]] --sheet|--rodent [--noise PERCENT]
//                   [--t-wave positive|negative|biphasic|mixed] [--interval MS]
//                   [--spread MS] [--flat-lead N] [--rate HZ]
//
// Without a seed it writes the bundled sample; other seeds give other
// recordings of the same kind (the benchmarks make sets of them). The options
// change the kind: white noise of PERCENT of each lead's RS amplitude (instead
// of the sample's own small noise), the T wave's shape and height, a baseline
// wander, beats every MS ms, the rate, how long the T wave lasts. --sheet
// makes a paced sheet instead (paced_sheet.h: the restitution protocol,
// activation spread over --spread ms, late-recovering sites, T waves of
// mixed polarity by default, a --flat-lead), --rodent its small-heart pace
// (cycle length 150 ms). The model times go to OUTPUT without its ".txt",
// followed by "model.csv" (sample.txt: samplemodel.csv).
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "paced_sheet.h"
#include "sample_recording.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: generate_sample OUTPUT [LEADS SECONDS [SEED]] [--noise PERCENT]\n"
               "                       [--t-wave positive|negative|biphasic] [--t-scale FACTOR]\n"
               "                       [--wander] [--interval MS] [--rate HZ] [--t-duration MS]\n"
               "       generate_sample OUTPUT [LEADS SECONDS [SEED]] --sheet|--rodent [--noise PERCENT]\n"
               "                       [--t-wave positive|negative|biphasic|mixed] [--interval MS]\n"
               "                       [--spread MS] [--flat-lead N] [--rate HZ]\n");
  return 2;
}

template <class Number>
bool parse(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::string model_path(std::string output) {
  if (output.size() >= 4 && output.compare(output.size() - 4, 4, ".txt") == 0) output.resize(output.size() - 4);
  return output + "model.csv";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> positional;
  telmor::RecordingConditions conditions;
  telmor::SheetConditions sheet;
  bool sheet_wanted = false;
  for (int a = 1; a < argc; ++a) {
    const std::string_view arg = argv[a];
    const bool has_value = a + 1 < argc;
    if (arg == "--wander") {
      conditions.wander = true;
    } else if (arg == "--sheet") {
      sheet_wanted = true;
    } else if (arg == "--rodent") {
      sheet_wanted = true;
      const telmor::SheetConditions rodent = telmor::rodent_sheet();
      sheet.cycle_lengths = rodent.cycle_lengths;
      sheet.spread_ms = rodent.spread_ms;
      sheet.ari_shortest_ms = rodent.ari_shortest_ms;
      sheet.ari_longest_ms = rodent.ari_longest_ms;
      sheet.restitution_slope = rodent.restitution_slope;
      sheet.polarity = rodent.polarity;
      sheet.t_width_ms = rodent.t_width_ms;
      sheet.qrs_scale = rodent.qrs_scale;
    } else if (arg == "--noise" && has_value) {
      double percent = 0.0;
      if (!parse(argv[++a], percent) || percent < 0.0) return usage();
      conditions.noise = percent / 100.0;
      sheet.noise = conditions.noise;
    } else if (arg == "--rate" && has_value) {
      if (!parse(argv[++a], conditions.rate_hz) || conditions.rate_hz < 100.0 || conditions.rate_hz > 20000.0)
        return usage();
      sheet.rate_hz = conditions.rate_hz;
    } else if (arg == "--t-duration" && has_value) {
      if (!parse(argv[++a], conditions.t_wave_ms) || conditions.t_wave_ms < 20.0 || conditions.t_wave_ms > 400.0)
        return usage();
    } else if (arg == "--t-scale" && has_value) {
      if (!parse(argv[++a], conditions.t_wave_scale)) return usage();
    } else if (arg == "--interval" && has_value) {
      if (!parse(argv[++a], conditions.beat_interval) || conditions.beat_interval < 100.0)
        return usage();
      sheet.cycle_lengths = {conditions.beat_interval};
    } else if (arg == "--spread" && has_value) {
      if (!parse(argv[++a], sheet.spread_ms) || sheet.spread_ms < 0.0) return usage();
    } else if (arg == "--flat-lead" && has_value) {
      if (!parse(argv[++a], sheet.flat_lead) || sheet.flat_lead < 1) return usage();
    } else if (arg == "--t-wave" && has_value) {
      const std::string_view shape = argv[++a];
      if (shape == "positive") {
        conditions.t_wave = telmor::TWaveShape::positive;
        sheet.polarity = telmor::SheetPolarity::positive;
      } else if (shape == "negative") {
        conditions.t_wave = telmor::TWaveShape::negative;
        sheet.polarity = telmor::SheetPolarity::negative;
      } else if (shape == "biphasic") {
        conditions.t_wave = telmor::TWaveShape::biphasic;
        sheet.polarity = telmor::SheetPolarity::biphasic;
      } else if (shape == "mixed") {
        sheet.polarity = telmor::SheetPolarity::mixed;
      } else {
        return usage();
      }
    } else if (arg.starts_with("--")) {
      return usage();
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 1 && positional.size() != 3 && positional.size() != 4) return usage();
  int leads = 8, seconds = 10;
  std::uint64_t seed = 0;
  if (positional.size() >= 3 && (!parse(positional[1], leads) || !parse(positional[2], seconds)))
    return usage();
  if (positional.size() == 4 && !parse(positional[3], seed)) return usage();
  if (leads < 1 || leads > 20 || seconds < 1 || seconds > 30) {
    std::fprintf(stderr, "generate_sample: 1-20 leads, 1-30 seconds\n");
    return 2;
  }
  const std::string output(positional[0]);
  std::ofstream file(output, std::ios::binary);
  std::ofstream model(model_path(output), std::ios::binary);
  if (sheet_wanted) {
    file << telmor::sheet_recording_text(leads, seconds, seed, sheet);
    model << telmor::sheet_model_times_csv(leads, seconds, seed, sheet);
  } else {
    file << telmor::sample_recording_text(leads, seconds, seed, conditions);
    model << telmor::sample_model_times_csv(leads, seconds, seed, conditions);
  }
  return file && model ? 0 : 1;
}
