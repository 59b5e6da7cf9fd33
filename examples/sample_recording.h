// The generator of synthetic recordings like the bundled sample: a unipolar
// electrogram at 1 kHz, a beat every 600-900 ms with a sharp activation
// downstroke and a T wave, a slow baseline drift and small noise, as the
// text a recording file holds (one row per millisecond, leads side by side).
#pragma once

#include <cstdint>
#include <string>

namespace telmor {

// Seed 0 with 8 leads and 10 s is the bundled sample; other seeds give other
// recordings of the same kind. leads 1-20, seconds 1-30.
std::string sample_recording_text(int leads, int seconds, std::uint64_t seed);

}  // namespace telmor
