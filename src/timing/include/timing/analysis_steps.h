// The steps an analysis is made of, on tables laid out by whoever holds them:
// a recording sized to its samples (analyse) or the interactive program's
// fixed 30-second tables (the desktop's c). Both run these, so the
// derivative, the beats and c's search are made one way for every program.
// Lengths in the settings are ms; the steps turn them into samples of
// rate_hz.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/console_output.h"
#include "base/fit_messages.h"
#include "timing/analysis.h"
#include "timing/cycle_search.h"

namespace telmor {

// Every lead's samples and derivatives: lead j, sample i at
// [(j - 1) * stride + (i - 1)] for i = 1..sample_count. rt_deriv is RT's own
// derivative (centred): where the settings smooth RT as AT it receives a
// copy of deriv; nullptr where RT is read from deriv.
struct LeadTables {
  float* wave = nullptr;
  float* deriv = nullptr;
  float* rt_deriv = nullptr;
  std::size_t stride = 0;
  int lead_count = 0;
  int sample_count = 0;
};

// Whether RT is found on a derivative of its own smoothing (centred with an
// RT half width other than AT's at rate_hz).
bool own_rt_derivative(const AnalysisSettings& settings, double rate_hz);

// Each lead's baseline removed, then its derivatives as the settings'
// estimator makes them: the AT derivative's fit messages to console, RT's
// own unshown; threads for the fits (0: one per core).
FitMessageCounts prepare_leads(const LeadTables& tables, const AnalysisSettings& settings, double rate_hz,
                               ConsoleOutput& console, int threads, AnalysisWorkspace* workspace = nullptr);
// The derivatives alone, of samples whose baseline is removed already: after
// the estimator or the RT smoothing changed.
FitMessageCounts differentiate_leads(const LeadTables& tables, const AnalysisSettings& settings, double rate_hz,
                                     ConsoleOutput& console, int threads, AnalysisWorkspace* workspace = nullptr);

// The beats (samples, in the search's order: not sorted) of the beat lead's
// derivative, at most `most`: the settings' amplitude ratio and blanking and,
// for centred, a slope that stands out of noise (the lead's
// derivative_noise).
std::vector<int> search_beats(std::span<const float> beat_lead_deriv, const AnalysisSettings& settings,
                              double rate_hz, double noise, int most);

// The ranges searched, in ms from a beat: the settings' or those suggested.
struct SearchRanges {
  std::int32_t at_from = 0, at_to = 0, rt_from = 0, rt_to = 0;
};

// The centred search of the settings at these ranges, in samples of rate_hz
// (a recording of sample_count samples).
CycleSearch cycle_search_for(const AnalysisSettings& settings, const SearchRanges& ranges, int sample_count,
                             double rate_hz);

// c's rows of every lead: lead j, row k at [(j - 1) * rows + (k - 1)]; 0.0
// empty, else a sample.
struct MarkTableView {
  float* at = nullptr;
  float* rt = nullptr;
  std::size_t rows = 0;
};

// The derivatives as c reads them: lead j, sample i at [(j - 1) * stride +
// (i - 1)] for i = 1..stored; samples stored + 1..searched read as 0 (the
// interactive program's tables are 30 s long whatever the recording's
// length, and c searches them as they stand).
struct SearchedDerivatives {
  const float* at = nullptr;
  const float* rt = nullptr;
  std::size_t stride = 0;
  int stored = 0;
  int searched = 0;
};

// The legacy c, as specified: rows 1..row_beats.size() of every lead, row k
// from the beat row_beats[k - 1] (a sample; 0 leaves the row empty), for a
// recording of sample_count samples and lead_count leads.
void legacy_find(const SearchedDerivatives& deriv, const SearchRanges& ranges, int lead_count, int sample_count,
                 double rate_hz, std::span<const std::int32_t> row_beats, MarkTableView marks);
// Then, of two marks of a lead in rows 1..rows at most 50 ms apart, the one at
// the lower derivative (AT) or the higher (RT) kept.
void legacy_drop_near_duplicates(const SearchedDerivatives& deriv, int lead_count, int rows, double rate_hz,
                                 MarkTableView marks);

}  // namespace telmor
