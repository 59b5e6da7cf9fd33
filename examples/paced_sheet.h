// A paced sheet of tissue as unipolar electrodes on a grid see it: the wave
// starts at lead 1 and reaches the farthest electrode spread_ms later; every
// site has its own activation-recovery interval, which shortens with the
// diastolic interval before it (restitution), so that at short cycle lengths
// late sites recover after lead 1's next beat has begun; T waves positive,
// negative or biphasic. Like the sample's generator it writes the recording
// as text and, beside it, the model's own times: the ground truth the
// analysis is measured against where fixed ranges fail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace telmor {

enum class SheetPolarity { positive, negative, biphasic, mixed };

struct SheetConditions {
  int columns = 5;            // electrodes per row: lead n at column (n - 1) mod columns
  double pitch_mm = 7.0;      // between neighbouring electrodes
  double spread_ms = 90.0;    // activation of the farthest electrode after lead 1's
  // Cycle lengths in ms, repeated to the recording's end; empty: the
  // restitution protocol, 10 beats at 600 ms, then one at each of 575, 550,
  // ... 350 ms, again and again.
  std::vector<double> cycle_lengths;
  double ari_shortest_ms = 220.0;  // steady-state ARI at 600 ms over the sites, shortest
  double ari_longest_ms = 342.0;   // and longest
  double restitution_slope = 0.3;  // d ARI / d DI
  SheetPolarity polarity = SheetPolarity::mixed;  // mixed: leads 1, 4, 7... positive, 2, 5... negative, 3, 6... biphasic
  double t_width_ms = 40.0;   // the T wave's Gaussian width
  double qrs_scale = 1.0;     // the QRS's widths (1: about 40 ms)
  int flat_lead = 0;          // a lead whose signal is zero throughout (from 1; 0: none)
  double noise = 0.0;         // white noise, standard deviation as a share of each lead's RS amplitude
  double rate_hz = 1000.0;    // sample i lies at i × 1000 / rate ms
};

// A small heart's pace: cycle length 150 ms, activation spread 8 ms, ARIs of
// 40-60 ms, narrow QRS and T waves.
SheetConditions rodent_sheet();

// The recording as text: one row per sample, leads side by side.
std::string sheet_recording_text(int leads, int seconds, std::uint64_t seed, const SheetConditions& conditions);

// The model times as CSV (LF line ends): `beat,lead,at_ms,rt_ms,t_polarity`,
// one line per beat and lead, beats in time order from 1, times in ms from
// the start with three decimals. AT is the steepest fall of the noise-free
// signal's RS downstroke, RT the steepest rise of its T wave (positive: before
// its peak; negative: after its trough; biphasic: between its lobes). A flat
// lead's times are empty.
std::string sheet_model_times_csv(int leads, int seconds, std::uint64_t seed, const SheetConditions& conditions);

}  // namespace telmor
