// Signal preparation, fast path: the part of each fit that depends only on
// the window (abscissae, normal matrix, its factor and inverse) is the same for
// every lead and for every second of a kind (the first, the inner ones, the
// last), so it is computed once per block index and kind; per sample only the
// stages that involve the data remain, and those run for several leads at
// once, one lead per vector lane. Seconds of lead groups are spread over
// threads. The operations are those of the one-fit-per-sample path, in the
// same order, so derivative and messages are the same bits and lines.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "fitting/centred_derivative.h"
#include "fitting/prepare_signals.h"
#include "lane_kernels.h"
#include "preparation_steps.h"
#include "window_plans.h"

namespace telmor {
namespace {

constexpr int kMaxLanes = 8;

// One second of one group of leads: the leads' samples that the second's
// windows take go side by side into the kernel; the slopes go straight into
// the leads' rows of deriv (a last, partial second's through spare rows, of
// which only the recording's samples are kept), the messages into flags.
// ys holds (kFitBlockSamples + 2 * reach) * lanes values: the thread's own work list.
void prepare_block(const SignalTables& t, const WindowPlans& plans, const WindowPlans::Kind& kind,
                   const LaneKernel& kernel, int first_lead, int second, double* ys,
                   std::uint8_t* flags) {
  const int lanes = kernel.lanes;
  const int offset = (second - 1) * kFitBlockSamples;
  const int kept = std::min(kFitBlockSamples, t.sample_count - offset);
  double* const block = ys + static_cast<std::size_t>(plans.reach) * static_cast<std::size_t>(lanes);
  const auto at = [&](int i, int lane) { return static_cast<std::ptrdiff_t>(i - 1) * lanes + lane; };
  std::uint8_t block_flags[kFitBlockSamples * kMaxLanes] = {};
  float spare[kMaxLanes][kFitBlockSamples];  // lanes past the last lead, and a partial second
  float* rows[kMaxLanes] = {};
  for (int lane = 0; lane < lanes; ++lane) {
    const int lead = first_lead + lane;
    if (lead > t.lead_count) {
      // Lanes past the last lead fit zeros: flat, no message, nothing kept.
      for (int i = kind.cuts.low; i <= kind.cuts.high; ++i) block[at(i, lane)] = 0.0;
      rows[lane] = spare[lane];
      continue;
    }
    const float* const wave = t.wave + t.at(lead, offset + 1);
    for (int i = kind.cuts.low; i <= kind.cuts.high; ++i)
      block[at(i, lane)] = static_cast<double>(wave[i - 1]);
    rows[lane] = kept == kFitBlockSamples ? t.deriv + t.at(lead, offset + 1) : spare[lane];
  }
  kernel.fit_block(plans, kind.plan.data(), block, rows, block_flags);

  const std::size_t per_lead = static_cast<std::size_t>(t.seconds()) * kFitBlockSamples;
  for (int lane = 0; lane < lanes && first_lead + lane <= t.lead_count; ++lane) {
    if (kept < kFitBlockSamples)
      std::copy_n(spare[lane], kept, t.deriv + t.at(first_lead + lane, offset + 1));
    std::uint8_t* const lead_flags =
        flags + static_cast<std::size_t>(first_lead + lane - 1) * per_lead + static_cast<std::size_t>(offset);
    for (int m = 1; m <= kept; ++m) lead_flags[m - 1] = block_flags[(m - 1) * lanes + lane];
  }
}

// The plans for smooth_points with the kinds of seconds of cuts: the cache's
// when they serve, else the cache's made anew with the kinds it knew and
// these (a batch prepares many recordings with the same width and mostly the
// same length, and the plans are the same for all).
const WindowPlans& plans_for(int smooth_points, const std::vector<BlockCuts>& cuts,
                             std::unique_ptr<WindowPlans>& cached) {
  std::vector<BlockCuts> wanted;
  if (cached && cached->smooth_points == smooth_points) {
    for (const WindowPlans::Kind& kind : cached->kinds) wanted.push_back(kind.cuts);
  }
  const std::size_t known = wanted.size();
  for (const BlockCuts& c : cuts) {
    if (std::find(wanted.begin(), wanted.end(), c) == wanted.end()) wanted.push_back(c);
  }
  if (!cached || cached->smooth_points != smooth_points || wanted.size() != known) {
    auto plans = std::make_unique<WindowPlans>();
    make_window_plans(smooth_points, wanted, *plans);
    cached = std::move(plans);
  }
  return *cached;
}

FitMessageCounts replay_messages(const SignalTables& t, const std::vector<std::uint8_t>& flags,
                                 ConsoleOutput& console) {
  FitMessageCounts counts;
  const std::size_t per_lead = static_cast<std::size_t>(t.seconds()) * kFitBlockSamples;
  for (std::size_t at = 0; at < flags.size(); ++at) {
    const std::uint8_t flag = flags[at];
    if (flag == 0) continue;
    const int sample = static_cast<int>(at % per_lead);  // from 0
    const int m = sample % kFitBlockSamples + 1;
    if (flag & kParameterError) {
      const FitWindow w = fit_window(m, t.smooth_points, sample - (m - 1), t.sample_count);
      write_parameter_error(console, w.first, w.last, kPreparationDegree);
      ++counts.parameter_errors;
    }
    if (flag & kXWarning) {
      write_x_warning(console);
      ++counts.x_warnings;
    }
    if (flag & kYWarning) {
      write_y_warning(console);
      ++counts.y_warnings;
    }
    if (flag & kNotPositiveDefinite) {
      write_not_positive_definite(console);
      ++counts.not_positive_definite;
    }
  }
  return counts;
}

}  // namespace

FitMessageCounts differentiate_on(PreparationIsa isa, const SignalTables& t, ConsoleOutput& console,
                                  int threads, PreparationCache* cache);

struct PlansAccess {
  static std::unique_ptr<WindowPlans>& of(PreparationCache& cache) { return cache.plans_; }
};

PreparationCache::PreparationCache() = default;
PreparationCache::~PreparationCache() = default;

FitMessageCounts prepare_signal_tables(const SignalTables& tables, ConsoleOutput& console,
                                       int threads, PreparationCache* cache) {
  return prepare_signal_tables_on(available_isas().back(), tables, console, threads, cache);
}

FitMessageCounts prepare_signal_tables_on(PreparationIsa isa, const SignalTables& t,
                                          ConsoleOutput& console, int threads,
                                          PreparationCache* cache) {
  if (t.lead_count < 1 || t.sample_count < 1) return {};
  // For the whole recording before any fit: a fit window reaches into the
  // neighbouring seconds, which must be baseline-corrected already.
  remove_baselines(t.wave, t.lead_stride, t.lead_count, t.sample_count);
  return differentiate_on(isa, t, console, threads, cache);
}

FitMessageCounts differentiate_signal_tables(const SignalTables& tables, ConsoleOutput& console,
                                             int threads, PreparationCache* cache) {
  return differentiate_on(available_isas().back(), tables, console, threads, cache);
}

FitMessageCounts differentiate_on(PreparationIsa isa, const SignalTables& t, ConsoleOutput& console,
                                  int threads, PreparationCache* cache) {
  if (t.lead_count < 1 || t.sample_count < 1) return {};
  const int seconds = t.seconds();
  std::vector<BlockCuts> cuts;
  for (int k = 1; k <= seconds; ++k)
    cuts.push_back(block_cuts((k - 1) * kFitBlockSamples, t.sample_count, t.smooth_points));
  PreparationCache own;
  const WindowPlans& plans_made =
      plans_for(t.smooth_points, cuts, PlansAccess::of(cache != nullptr ? *cache : own));
  const WindowPlans* const plans = &plans_made;
  std::vector<const WindowPlans::Kind*> kinds;
  for (const BlockCuts& c : cuts) kinds.push_back(&plans->kind(c));
  // Every sample of every lead gets its slope below, so deriv needs no clearing.

  const std::size_t per_lead = static_cast<std::size_t>(seconds) * kFitBlockSamples;
  std::vector<std::uint8_t> flags(static_cast<std::size_t>(t.lead_count) * per_lead, 0);
  // Groups of leads, as many as the kernel of isa takes; the leads left over
  // go to the narrowest kernel that takes them all, so few lanes run idle.
  struct Group {
    int first_lead;
    LaneKernel kernel;
  };
  std::vector<Group> groups;
  const LaneKernel widest = lane_kernel(isa);
  int lead = 1;
  for (; lead + widest.lanes - 1 <= t.lead_count; lead += widest.lanes) groups.push_back({lead, widest});
  if (lead <= t.lead_count) {
    LaneKernel rest = widest;
    for (const PreparationIsa other : available_isas()) {
      const LaneKernel candidate = lane_kernel(other);
      if (other <= isa && candidate.lanes >= t.lead_count - lead + 1 && candidate.lanes < rest.lanes)
        rest = candidate;
    }
    groups.push_back({lead, rest});
  }
  const std::int64_t blocks = static_cast<std::int64_t>(groups.size()) * seconds;

  std::atomic<std::int64_t> next{0};
  auto work = [&] {
    std::vector<double> ys(static_cast<std::size_t>(kFitBlockSamples + 2 * plans->reach) *
                           static_cast<std::size_t>(widest.lanes));
    for (std::int64_t b = next++; b < blocks; b = next++) {
      const Group& group = groups[static_cast<std::size_t>(b / seconds)];
      const int second = static_cast<int>(b % seconds) + 1;
      prepare_block(t, *plans, *kinds[static_cast<std::size_t>(second - 1)], group.kernel,
                    group.first_lead, second, ys.data(), flags.data());
    }
  };
  const int wanted = threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency());
  const int workers = static_cast<int>(std::clamp<std::int64_t>(wanted, 1, blocks));
  {
    std::vector<std::jthread> helpers;
    try {
      for (int w = 1; w < workers; ++w) helpers.emplace_back(work);
    } catch (const std::system_error&) {
      // No more threads to be had: the blocks left are done on fewer.
    }
    work();
  }
  return replay_messages(t, flags, console);
}

}  // namespace telmor
