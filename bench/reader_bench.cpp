// Time to read a full-size recording: 20 leads x 30 s = 30000 lines.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "record/run_record.h"
#include "readers/layout_file.h"
#include "readers/waveform_rows.h"

namespace {

std::string full_size_text() {
  std::string text;
  for (int i = 1; i <= telmor::kMaxSamples; ++i) {
    for (int j = 0; j < telmor::kMaxLeads; ++j) {
      char buf[32];
      const double v = 3.0 * std::sin(i * 0.01 + j) - 0.25 * j;
      auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
      (void)ec;
      if (j > 0) text += ' ';
      text.append(buf, end);
    }
    text += '\n';
  }
  return text;
}

// The straightforward reader: a line at a time, every number through parse_real.
void BM_ReferenceFromMemory(benchmark::State& state) {
  const std::string text = full_size_text();
  auto record = std::make_unique<telmor::RunRecord>();
  for (auto _ : state) {
    std::istringstream in(text);
    auto status = telmor::parse_waveform_rows(in, telmor::kMaxLeads, telmor::kMaxSamples, {&record->wave_table[0][0], telmor::kMaxSamples});
    benchmark::DoNotOptimize(status);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ReferenceFromMemory)->Unit(benchmark::kMillisecond);

// The reader of the programs: the whole text in memory, short decimals on
// their fast path.
void BM_FastFromMemory(benchmark::State& state) {
  const std::string text = full_size_text();
  auto record = std::make_unique<telmor::RunRecord>();
  for (auto _ : state) {
    auto rows = telmor::read_waveform_rows(text, telmor::kMaxLeads, telmor::kMaxSamples, {&record->wave_table[0][0], telmor::kMaxSamples});
    benchmark::DoNotOptimize(rows);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_FastFromMemory)->Unit(benchmark::kMillisecond);

void BM_ReferenceFromFile(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "telmor_reader_bench.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << full_size_text();
  }
  auto record = std::make_unique<telmor::RunRecord>();
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    auto status = telmor::parse_waveform_rows(in, telmor::kMaxLeads, telmor::kMaxSamples, {&record->wave_table[0][0], telmor::kMaxSamples});
    benchmark::DoNotOptimize(status);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReferenceFromFile)->Unit(benchmark::kMillisecond);

// A layout file of the most electrodes a layout takes, on a jittered grid:
// its checks (no lead twice, none closer than 1 µm) are linear.
void BM_LargestLayout(benchmark::State& state) {
  std::string text = "lead,x_mm,y_mm\n";
  for (int lead = 1; lead <= telmor::kMaxLayoutElectrodes; ++lead) {
    text += std::to_string(lead) + "," + std::to_string((lead % 100) * 0.5 + lead * 1e-6) + "," +
            std::to_string((lead / 100) * 0.5) + "\n";
  }
  for (auto _ : state) {
    const telmor::LayoutReading reading = telmor::parse_layout_csv(text);
    benchmark::DoNotOptimize(reading.layout.electrodes.data());
  }
}
BENCHMARK(BM_LargestLayout)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
