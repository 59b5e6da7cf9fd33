// Writes the bundled sample recording: a synthetic unipolar electrogram of
// 8 leads and 10 s at 1 kHz, a beat every 600-900 ms with a sharp activation
// downstroke and a T wave, a slow baseline drift and small noise.
//
//   generate_sample OUTPUT [LEADS SECONDS [SEED]]
//
// Without a seed it writes the bundled sample; other seeds give other
// recordings of the same kind (the benchmarks make sets of them).
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

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

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: generate_sample OUTPUT [LEADS SECONDS [SEED]]\n");
    return 2;
  }
  const int leads = argc >= 4 ? std::atoi(argv[2]) : 8;
  const int seconds = argc >= 4 ? std::atoi(argv[3]) : 10;
  const std::uint64_t seed = argc == 5 ? std::strtoull(argv[4], nullptr, 10) : 0;
  if (leads < 1 || leads > 20 || seconds < 1 || seconds > 30) {
    std::fprintf(stderr, "generate_sample: 1-20 leads, 1-30 seconds\n");
    return 2;
  }
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
      double v = 0.15 * std::sin(2.0 * M_PI * t / 5200.0 + j);  // baseline drift
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
      auto [end, ec] = std::to_chars(buf, buf + sizeof buf, row[j], std::chars_format::fixed, 4);
      if (ec != std::errc{}) return 1;
      if (j > 0) out += ' ';
      out.append(buf, end);
    }
    out += '\n';
  }
  std::ofstream file(argv[1], std::ios::binary);
  file << out;
  return file ? 0 : 1;
}
