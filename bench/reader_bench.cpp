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
#include "analysis/waveform_rows.h"

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

void BM_ParseFromMemory(benchmark::State& state) {
  const std::string text = full_size_text();
  auto record = std::make_unique<telmor::RunRecord>();
  for (auto _ : state) {
    std::istringstream in(text);
    auto status = telmor::parse_waveform_rows(in, telmor::kMaxLeads, telmor::kMaxSamples, *record);
    benchmark::DoNotOptimize(status);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseFromMemory)->Unit(benchmark::kMillisecond);

void BM_ParseFromFile(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "telmor_reader_bench.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << full_size_text();
  }
  auto record = std::make_unique<telmor::RunRecord>();
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    auto status = telmor::parse_waveform_rows(in, telmor::kMaxLeads, telmor::kMaxSamples, *record);
    benchmark::DoNotOptimize(status);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_ParseFromFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
