// Signal preparation of a full-size recording (20 leads x 30 s = 600 000
// fits): the one-fit-per-sample reference against the fast path.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "fitting/centred_derivative.h"
#include "fitting/prepare_signals.h"

namespace {

struct Discard : telmor::ConsoleOutput {
  void console_write(std::string_view) override {}
};

constexpr int kLeads = 20;
constexpr int kSamples = 30000;

// A whole recording of the desktop's size, lead by lead.
struct Recording {
  std::vector<float> wave = std::vector<float>(static_cast<std::size_t>(kLeads) * kSamples);
  std::vector<float> deriv = std::vector<float>(wave.size());
  telmor::SignalTables tables() {
    return {wave.data(), deriv.data(), kSamples, kLeads, kSamples, 7};
  }
};

// A beat every 750 ms with a sharp downstroke and a T wave, lead by lead delayed.
Recording full_recording() {
  Recording r;
  for (int j = 1; j <= kLeads; ++j) {
    for (int i = 1; i <= kSamples; ++i) {
      const double phase = std::fmod(i + 11.0 * j, 750.0);
      r.wave[static_cast<std::size_t>(j - 1) * kSamples + static_cast<std::size_t>(i - 1)] =
          static_cast<float>(3.0 * std::exp(-0.01 * (phase - 200) * (phase - 200)) -
                             4.0 * std::exp(-0.02 * (phase - 212) * (phase - 212)) +
                             0.8 * std::exp(-0.0005 * (phase - 450) * (phase - 450)));
    }
  }
  return r;
}

void reference(const telmor::SignalTables& t, telmor::ConsoleOutput& console) {
  telmor::prepare_signal_tables_reference(t, console);
}
void fast_on_every_core(const telmor::SignalTables& t, telmor::ConsoleOutput& console) {
  telmor::prepare_signal_tables(t, console);
}
template <telmor::PreparationIsa Isa>
void fast_on_one_thread(const telmor::SignalTables& t, telmor::ConsoleOutput& console) {
  telmor::prepare_signal_tables_on(Isa, t, console, 1);
}

template <void (*Prepare)(const telmor::SignalTables&, telmor::ConsoleOutput&)>
void BM_Prepare(benchmark::State& state) {
  const Recording original = full_recording();
  Recording work;
  Discard console;
  for (auto _ : state) {
    state.PauseTiming();
    work.wave = original.wave;  // preparation works in place
    state.ResumeTiming();
    Prepare(work.tables(), console);
    benchmark::DoNotOptimize(work.deriv.data());
  }
}
BENCHMARK(BM_Prepare<reference>)
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

// The centred derivative of the same recording, one thread, with a half
// width of state.range(0) samples (7: the dialogue's default; wider: the RT
// derivative's).
template <telmor::PreparationIsa Isa>
void BM_Centred(benchmark::State& state) {
  Recording r = full_recording();
  Discard console;
  const telmor::DerivativeRequest request{r.wave.data(), r.deriv.data(), kSamples, kLeads, kSamples,
                                          static_cast<int>(state.range(0)), 1.0};
  for (auto _ : state) {
    telmor::centred_derivative_on(Isa, request, console, 1);
    benchmark::DoNotOptimize(r.deriv.data());
  }
}
BENCHMARK(BM_Centred<telmor::PreparationIsa::baseline>)->Name("Centred/one_thread/baseline")->Arg(7)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Centred<telmor::PreparationIsa::avx2>)->Name("Centred/one_thread/avx2")->Arg(7)->Arg(35)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Centred<telmor::PreparationIsa::avx512>)->Name("Centred/one_thread/avx512")->Arg(7)->Arg(35)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CentredReference(benchmark::State& state) {
  Recording r = full_recording();
  Discard console;
  const telmor::DerivativeRequest request{r.wave.data(), r.deriv.data(), kSamples, kLeads, kSamples, 7, 1.0};
  for (auto _ : state) {
    telmor::centred_derivative_reference(request, console);
    benchmark::DoNotOptimize(r.deriv.data());
  }
}
BENCHMARK(BM_CentredReference)->Name("Centred/reference")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
