// The generator of synthetic recordings like the bundled sample: a unipolar
// electrogram at 1 kHz, a beat every 600-900 ms with a sharp activation
// downstroke and a T wave, a slow baseline drift and small noise, as the
// text a recording file holds (one row per millisecond, leads side by side);
// and the model's own activation and recovery times of every beat and lead,
// the ground truth an analysis is measured against.
#pragma once

#include <cstdint>
#include <string>

namespace telmor {

enum class TWaveShape { positive, negative, biphasic };

// What a recording is made of, beyond the sample's own kind (the defaults).
struct RecordingConditions {
  // Standard deviation of white Gaussian noise, as a share of each lead's RS
  // amplitude (0.01: 1 %); below 0, the sample's own small uniform noise
  // (about 0.1 % of the RS amplitude).
  double noise = -1.0;
  TWaveShape t_wave = TWaveShape::positive;
  double t_wave_scale = 1.0;  // the T wave's height against the sample's (0.2: a low T wave)
  bool wander = false;        // a baseline wander of about a third of the RS amplitude
  // Mean time between beats in ms, each interval within +-5 % of it, the
  // T wave nearer the downstroke as the rate rises; 0: the sample's 600-900 ms.
  double beat_interval = 0.0;
  // Samples per second: the model sampled at this rate (not a resampled copy
  // of the 1 kHz recording); sample i lies at i × 1000 / rate ms.
  double rate_hz = 1000.0;
  // How long the T wave lasts in ms (where it stands above 5 % of its height,
  // before a faster rate shortens it); 0: the sample's, about 156 ms.
  double t_wave_ms = 0.0;
};

// Seed 0 with 8 leads and 10 s and the default conditions is the bundled
// sample; other seeds give other recordings of the same kind. leads 1-20
// (more for the tests of larger recordings), seconds 1-30 (or more).
std::string sample_recording_text(int leads, int seconds, std::uint64_t seed,
                                  const RecordingConditions& conditions = {});

// The model times of the same recording, as CSV (LF line ends): the header
// `beat,lead,at_ms,rt_ms`, then one line per beat and lead, beats in time
// order from 1, leads from 1, times in ms from the recording's start (sample
// i lies at i ms) with three decimals. AT is the steepest fall of the
// noise-free signal's RS downstroke, RT the steepest rise of its T wave
// (after the trough of a negative T wave, between the lobes of a biphasic one).
std::string sample_model_times_csv(int leads, int seconds, std::uint64_t seed,
                                   const RecordingConditions& conditions = {});

}  // namespace telmor
