// Synthetic recordings and their model times, the same on every machine.
#include "sample_recording.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "synthetic_shapes.h"

namespace telmor {
namespace {

using synthetic::bump;
using synthetic::bump_slope;
using synthetic::kTwoPi;
using synthetic::Random;

// R peak minus S trough of the QRS 0.4 bump(t, -6, 6) - bump(t, 9, 8) of depth 1.
double rs_amplitude_per_depth() {
  double high = -1.0, low = 1.0;
  for (double t = -40.0; t <= 40.0; t += 0.01) {
    const double v = 0.4 * bump(t, -6.0, 6.0) - bump(t, 9.0, 8.0);
    high = std::max(high, v);
    low = std::min(low, v);
  }
  return high - low;
}

// The noise-free recording: its beats and every lead's shape. The random
// draws for the sample's own kind come first and in the sample's order, so the
// default conditions give the bundled sample to the bit; what the other
// conditions add comes from a second stream.
class Model {
 public:
  // The QRS's two bumps (widths 6 and 8 ms around a − 6 and a + 9) have
  // fallen below e^-40 of their height 60 ms after the downstroke.
  static constexpr double kQrsEndMs = 60.0;

  Model(int leads, int seconds, std::uint64_t seed, const RecordingConditions& c)
      : leads_(leads),
        samples_(static_cast<int>(std::lround(seconds * c.rate_hz))),
        conditions_(c),
        random_(0x5EED1234ABCDull + seed * 0x9E3779B97F4A7C15ull),
        extra_(0xC0FFEE5EEDull + seed * 0xD1B54A32D192ED03ull) {
    const double length_ms = seconds * 1000.0;
    for (double t = 400.0; t < length_ms; t += next_interval()) beats_.push_back(t);
    // A faster rate brings the T wave nearer, as the QT interval shortens.
    const double qt = c.beat_interval > 0.0 ? std::sqrt(std::min(c.beat_interval / 750.0, 1.0)) : 1.0;
    // A Gaussian bump stands above 5 % of its height over 2 sqrt(ln 20) widths.
    const double width = c.t_wave_ms > 0.0 ? c.t_wave_ms / (2.0 * std::sqrt(std::log(20.0))) : 45.0;
    t_width_ = width * qt;
    // Each lead sees the wave a little later and with its own amplitudes.
    for (int j = 0; j < leads; ++j) {
      Lead lead;
      lead.delay = 4.0 * j + 6.0 * random_.uniform();
      lead.depth = 3.0 + 2.0 * random_.uniform();
      lead.t_height = (0.6 + 0.4 * random_.uniform()) * c.t_wave_scale;
      lead.t_offset = (170.0 + 40.0 * random_.uniform()) * qt;
      lead.rs = lead.depth * rs_amplitude_per_depth();
      leads_data_.push_back(lead);
    }
    if (c.wander) {
      for (Lead& lead : leads_data_) {
        lead.wander = 0.25 * lead.rs;
        lead.wander_phase[0] = kTwoPi * extra_.uniform();
        lead.wander_phase[1] = kTwoPi * extra_.uniform();
      }
    }
  }

  int leads() const { return leads_; }
  int samples() const { return samples_; }
  const std::vector<double>& beats() const { return beats_; }

  // The noise-free value of lead j (from 0) at t ms.
  double value(int j, double t) const {
    const Lead& lead = leads_data_[static_cast<std::size_t>(j)];
    double v = 0.15 * std::sin(kTwoPi * t / 5200.0 + j);  // baseline drift
    if (conditions_.wander) {
      v += lead.wander * (std::sin(kTwoPi * t / 4100.0 + lead.wander_phase[0]) +
                          0.5 * std::sin(kTwoPi * t / 1700.0 + lead.wander_phase[1]));
    }
    for (double b : beats_) {
      const double a = b + lead.delay;
      if (t < a - 100.0 || t > a + 500.0) continue;
      // Positive deflection, then the steep intrinsic downstroke at a.
      v += 0.4 * lead.depth * bump(t, a - 6.0, 6.0) - lead.depth * bump(t, a + 9.0, 8.0);
      v += t_wave(lead, t, a);
    }
    return v;
  }

  // Its slope in amplitude units per ms.
  double slope(int j, double t) const {
    const Lead& lead = leads_data_[static_cast<std::size_t>(j)];
    double d = 0.15 * kTwoPi / 5200.0 * std::cos(kTwoPi * t / 5200.0 + j);
    if (conditions_.wander) {
      d += lead.wander * (kTwoPi / 4100.0 * std::cos(kTwoPi * t / 4100.0 + lead.wander_phase[0]) +
                          0.5 * kTwoPi / 1700.0 * std::cos(kTwoPi * t / 1700.0 + lead.wander_phase[1]));
    }
    for (double b : beats_) {
      const double a = b + lead.delay;
      if (t < a - 100.0 || t > a + 500.0) continue;
      d += 0.4 * lead.depth * bump_slope(t, a - 6.0, 6.0) - lead.depth * bump_slope(t, a + 9.0, 8.0);
      d += t_wave(lead, t, a, bump_slope);
    }
    return d;
  }

  // Steepest fall of the RS downstroke of beat k (from 0) in lead j.
  double activation(int j, std::size_t k) const {
    const double a = beats_[k] + leads_data_[static_cast<std::size_t>(j)].delay;
    return extreme(j, a - 15.0, a + 15.0, -1.0);
  }

  // Steepest rise of the T wave of beat k in lead j: searched over the T
  // wave, but never before the QRS has ended (a wide T wave's search would
  // otherwise reach back to the rise out of the S trough).
  double recovery(int j, std::size_t k) const {
    const Lead& lead = leads_data_[static_cast<std::size_t>(j)];
    const double a = beats_[k] + lead.delay;
    const double centre = a + lead.t_offset;
    return extreme(j, std::max(centre - 2.5 * t_width_, a + kQrsEndMs), centre + 2.5 * t_width_, 1.0);
  }

  // The noise of the next value of lead j, drawn in row order.
  double noise(int j) {
    if (conditions_.noise < 0.0) return 0.02 * (random_.uniform() - 0.5);
    return conditions_.noise * leads_data_[static_cast<std::size_t>(j)].rs * extra_.gaussian();
  }

 private:
  struct Lead {
    double delay = 0.0, depth = 0.0, t_height = 0.0, t_offset = 0.0;
    double rs = 0.0;  // RS amplitude
    double wander = 0.0;
    double wander_phase[2] = {};
  };

  double next_interval() {
    const double u = random_.uniform();
    if (conditions_.beat_interval > 0.0) return conditions_.beat_interval * (0.95 + 0.1 * u);
    return 600.0 + 300.0 * u;
  }

  // The T wave of a beat at a, at t: its height with shape = bump, its slope
  // with shape = bump_slope.
  double t_wave(const Lead& lead, double t, double a,
                double (*shape)(double, double, double) = bump) const {
    const double centre = a + lead.t_offset;
    switch (conditions_.t_wave) {
      case TWaveShape::negative:
        return -lead.t_height * shape(t, centre, t_width_);
      case TWaveShape::biphasic:
        return -0.6 * lead.t_height * shape(t, centre - 0.55 * t_width_, 0.65 * t_width_) +
               lead.t_height * shape(t, centre + 0.45 * t_width_, 0.8 * t_width_);
      case TWaveShape::positive:
        break;
    }
    return lead.t_height * shape(t, centre, t_width_);
  }

  // Where sign * slope of lead j is largest in [from, to]: a search on a
  // 0.1 ms grid, then a golden-section search around the best grid point.
  double extreme(int j, double from, double to, double sign) const {
    constexpr double kStep = 0.1;
    double best = from;
    double best_value = sign * slope(j, from);
    for (double t = from + kStep; t <= to; t += kStep) {
      const double v = sign * slope(j, t);
      if (v > best_value) {
        best = t;
        best_value = v;
      }
    }
    const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
    double lo = best - kStep, hi = best + kStep;
    while (hi - lo > 1e-7) {
      const double x1 = hi - ratio * (hi - lo), x2 = lo + ratio * (hi - lo);
      if (sign * slope(j, x1) > sign * slope(j, x2)) {
        hi = x2;
      } else {
        lo = x1;
      }
    }
    return (lo + hi) / 2.0;
  }

  int leads_;
  int samples_;
  RecordingConditions conditions_;
  Random random_;
  Random extra_;
  std::vector<double> beats_;
  std::vector<Lead> leads_data_;
  double t_width_ = 45.0;
};

void append_fixed(std::string& out, double value, int decimals) {
  char buf[32];
  // 32 characters hold any value of this size with a few decimals.
  char* const end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
  out.append(buf, end);
}

}  // namespace

std::string sample_recording_text(int leads, int seconds, std::uint64_t seed,
                                  const RecordingConditions& conditions) {
  Model model(leads, seconds, seed, conditions);
  std::vector<double> row(static_cast<std::size_t>(leads));
  std::string out;
  out.reserve(static_cast<std::size_t>(model.samples()) * static_cast<std::size_t>(leads) * 9);
  const double ms_per_sample = 1000.0 / conditions.rate_hz;
  for (int i = 1; i <= model.samples(); ++i) {
    const double t = i * ms_per_sample;
    for (int j = 0; j < leads; ++j) {
      double v = model.value(j, t);
      v += model.noise(j);
      row[static_cast<std::size_t>(j)] = v;
    }
    for (int j = 0; j < leads; ++j) {
      if (j > 0) out += ' ';
      append_fixed(out, row[static_cast<std::size_t>(j)], 4);
    }
    out += '\n';
  }
  return out;
}

std::string sample_model_times_csv(int leads, int seconds, std::uint64_t seed,
                                   const RecordingConditions& conditions) {
  const Model model(leads, seconds, seed, conditions);
  std::string out = "beat,lead,at_ms,rt_ms\n";
  for (std::size_t k = 0; k < model.beats().size(); ++k) {
    for (int j = 0; j < leads; ++j) {
      out += std::to_string(k + 1) + ',' + std::to_string(j + 1) + ',';
      append_fixed(out, model.activation(j, k), 3);
      out += ',';
      append_fixed(out, model.recovery(j, k), 3);
      out += '\n';
    }
  }
  return out;
}

}  // namespace telmor
