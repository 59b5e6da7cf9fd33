// Signal preparation of a full-size recording (20 leads x 30 s = 600 000
// fits): the one-fit-per-sample reference against the fast path.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "fitting/prepare_signals.h"

namespace {

struct Discard : telmor::ConsoleOutput {
  void console_write(std::string_view) override {}
};

// A beat every 750 ms with a sharp downstroke and a T wave, lead by lead delayed.
std::unique_ptr<telmor::RunRecord> full_recording() {
  auto r = std::make_unique<telmor::RunRecord>();
  r->lead_count = telmor::kMaxLeads;
  r->record_seconds = 30;
  r->sample_count = telmor::kMaxSamples;
  r->smooth_points = 7;
  for (int j = 1; j <= telmor::kMaxLeads; ++j) {
    for (int i = 1; i <= telmor::kMaxSamples; ++i) {
      const double phase = std::fmod(i + 11.0 * j, 750.0);
      r->wave(j, i) = static_cast<float>(3.0 * std::exp(-0.01 * (phase - 200) * (phase - 200)) -
                                         4.0 * std::exp(-0.02 * (phase - 212) * (phase - 212)) +
                                         0.8 * std::exp(-0.0005 * (phase - 450) * (phase - 450)));
    }
  }
  return r;
}

void fast_on_every_core(telmor::RunRecord& r, telmor::ConsoleOutput& console) {
  telmor::prepare_signals(r, console);
}
template <telmor::PreparationIsa Isa>
void fast_on_one_thread(telmor::RunRecord& r, telmor::ConsoleOutput& console) {
  telmor::prepare_signals_on(Isa, r, console, 1);
}

template <void (*Prepare)(telmor::RunRecord&, telmor::ConsoleOutput&)>
void BM_Prepare(benchmark::State& state) {
  const auto original = full_recording();
  auto work = std::make_unique<telmor::RunRecord>();
  Discard console;
  for (auto _ : state) {
    state.PauseTiming();
    *work = *original;  // preparation works in place
    state.ResumeTiming();
    Prepare(*work, console);
    benchmark::DoNotOptimize(work->deriv(1, 1));
  }
}
BENCHMARK(BM_Prepare<telmor::prepare_signals_reference>)
    ->Name("PrepareSignals/reference")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Prepare<fast_on_every_core>)
    ->Name("PrepareSignals/fast")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Prepare<fast_on_one_thread<telmor::PreparationIsa::baseline>>)
    ->Name("PrepareSignals/one_thread/baseline")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Prepare<fast_on_one_thread<telmor::PreparationIsa::avx2>>)
    ->Name("PrepareSignals/one_thread/avx2")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Prepare<fast_on_one_thread<telmor::PreparationIsa::avx512>>)
    ->Name("PrepareSignals/one_thread/avx512")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
