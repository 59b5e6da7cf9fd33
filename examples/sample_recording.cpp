// Synthetic recordings, the same on every machine.
#include "sample_recording.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <vector>

namespace telmor {
namespace {

// Small deterministic generator, so the sample is the same on every machine.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  double uniform() {  // [0, 1)
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<double>(state_ >> 11) * 0x1.0p-53;
  }

 private:
  std::uint64_t state_;
};

double bump(double t, double centre, double width) {
  const double u = (t - centre) / width;
  return std::exp(-u * u);
}

}  // namespace

std::string sample_recording_text(int leads, int seconds, std::uint64_t seed) {
  const int samples = seconds * 1000;
  Random random(0x5EED1234ABCDull + seed * 0x9E3779B97F4A7C15ull);

  std::vector<double> beats;
  for (double t = 400.0; t < samples; t += 600.0 + 300.0 * random.uniform()) beats.push_back(t);

  // Each lead sees the wave a little later and with its own amplitudes.
  std::vector<double> delay(leads), depth(leads), t_height(leads), t_offset(leads);
  for (int j = 0; j < leads; ++j) {
    delay[j] = 4.0 * j + 6.0 * random.uniform();
    depth[j] = 3.0 + 2.0 * random.uniform();
    t_height[j] = 0.6 + 0.4 * random.uniform();
    t_offset[j] = 170.0 + 40.0 * random.uniform();
  }

  std::vector<double> row(leads);
  std::string out;
  out.reserve(static_cast<std::size_t>(samples) * leads * 9);
  for (int i = 1; i <= samples; ++i) {
    const double t = i;
    for (int j = 0; j < leads; ++j) {
      double v = 0.15 * std::sin(2.0 * std::numbers::pi * t / 5200.0 + j);  // baseline drift
      for (double b : beats) {
        const double a = b + delay[j];
        if (t < a - 100.0 || t > a + 500.0) continue;
        // Positive deflection, then the steep intrinsic downstroke at a.
        v += 0.4 * depth[j] * bump(t, a - 6.0, 6.0) - depth[j] * bump(t, a + 9.0, 8.0);
        v += t_height[j] * bump(t, a + t_offset[j], 45.0);  // T wave
      }
      v += 0.02 * (random.uniform() - 0.5);
      row[j] = v;
    }
    for (int j = 0; j < leads; ++j) {
      char buf[32];
      // 32 characters hold any value of this size with four decimals.
      char* const end = std::to_chars(buf, buf + sizeof buf, row[j], std::chars_format::fixed, 4).ptr;
      if (j > 0) out += ' ';
      out.append(buf, end);
    }
    out += '\n';
  }
  return out;
}

}  // namespace telmor
