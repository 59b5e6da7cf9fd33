// The paced sheet: stimuli, each site's activation and recovery beat by beat,
// the electrograms they make, and the model's times.
#include "paced_sheet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

#include "synthetic_shapes.h"

namespace telmor {
namespace {

using synthetic::bump;
using synthetic::bump_slope;
using synthetic::kTwoPi;
using synthetic::Random;

constexpr double kFirstStimulusMs = 300.0;
constexpr double kSteadyCycleMs = 600.0;

const char* polarity_name(SheetPolarity p) {
  switch (p) {
    case SheetPolarity::negative:
      return "negative";
    case SheetPolarity::biphasic:
      return "biphasic";
    default:
      return "positive";
  }
}

class Sheet {
 public:
  Sheet(int leads, int seconds, std::uint64_t seed, const SheetConditions& c)
      : c_(c), samples_(static_cast<int>(std::lround(seconds * c.rate_hz))), random_(0x5EE7AB1Eull + seed * 0x9E3779B97F4A7C15ull) {
    const double length_ms = seconds * 1000.0;
    std::vector<double> protocol = c.cycle_lengths;
    if (protocol.empty()) {
      protocol.assign(10, kSteadyCycleMs);
      for (double cl = 575.0; cl >= 350.0; cl -= 25.0) protocol.push_back(cl);
    }
    for (double t = kFirstStimulusMs, k = 0; t < length_ms; t += protocol[static_cast<std::size_t>(k) % protocol.size()], ++k)
      stimuli_.push_back(t);
    place_sites(leads);
    for (Site& site : sites_) follow_beats(site);
  }

  int samples() const { return samples_; }
  std::size_t beats() const { return stimuli_.size(); }
  bool flat(int j) const { return j + 1 == c_.flat_lead; }

  double value(int j, double t) const { return signal(j, t, bump, 1.0); }
  double slope(int j, double t) const { return signal(j, t, bump_slope, 0.0); }

  double noise(int j) {
    const double draw = random_.gaussian();
    return flat(j) ? 0.0 : c_.noise * sites_[static_cast<std::size_t>(j)].rs * draw;
  }

  // Steepest fall of the RS downstroke of beat k in lead j.
  double activation(int j, std::size_t k) const {
    const double a = sites_[static_cast<std::size_t>(j)].beats[k].a;
    const double s = c_.qrs_scale;
    return extreme(j, a - 15.0 * s, a + 15.0 * s, -1.0);
  }

  // Steepest rise of the T wave of beat k in lead j: searched around where it
  // was placed, never within the QRS or the next beat's.
  double recovery(int j, std::size_t k) const {
    const Site& site = sites_[static_cast<std::size_t>(j)];
    const Beat& b = site.beats[k];
    const double s = c_.qrs_scale;
    double to = b.r + 2.0 * c_.t_width_ms;
    if (k + 1 < site.beats.size()) to = std::min(to, site.beats[k + 1].a - 25.0 * s);
    return extreme(j, std::max(b.r - 2.0 * c_.t_width_ms, b.a + 45.0 * s), to, 1.0);
  }

  SheetPolarity polarity(int j) const { return sites_[static_cast<std::size_t>(j)].polarity; }

 private:
  struct Beat {
    double a = 0.0;  // where the downstroke is placed
    double r = 0.0;  // where the T wave's steepest rise is placed
  };
  struct Site {
    double delay = 0.0, depth = 0.0, rs = 0.0, t_height = 0.0, ari_steady = 0.0;
    SheetPolarity polarity = SheetPolarity::positive;
    std::vector<Beat> beats;
  };

  // Positions on the grid, delays in proportion to the distance from lead 1,
  // and the steady-state ARIs spread over the sites in a shuffled order.
  void place_sites(int leads) {
    std::vector<double> distance(static_cast<std::size_t>(leads));
    for (int j = 0; j < leads; ++j) {
      const double x = (j % c_.columns) * c_.pitch_mm, y = (j / c_.columns) * c_.pitch_mm;
      distance[static_cast<std::size_t>(j)] = std::hypot(x, y);
    }
    const double farthest = *std::max_element(distance.begin(), distance.end());
    std::vector<int> order(static_cast<std::size_t>(leads));
    std::iota(order.begin(), order.end(), 0);
    for (int j = leads - 1; j > 0; --j)
      std::swap(order[static_cast<std::size_t>(j)],
                order[static_cast<std::size_t>(random_.uniform() * (j + 1))]);
    const double rs_per_depth = rs_amplitude_per_depth();
    for (int j = 0; j < leads; ++j) {
      Site site;
      site.delay = farthest > 0.0 ? c_.spread_ms * distance[static_cast<std::size_t>(j)] / farthest : 0.0;
      site.depth = 3.0 + 2.0 * random_.uniform();
      site.rs = site.depth * rs_per_depth;
      site.t_height = 0.6 + 0.4 * random_.uniform();
      const double share = leads > 1 ? static_cast<double>(order[static_cast<std::size_t>(j)]) / (leads - 1) : 0.5;
      site.ari_steady = c_.ari_shortest_ms + (c_.ari_longest_ms - c_.ari_shortest_ms) * share;
      site.polarity = c_.polarity != SheetPolarity::mixed ? c_.polarity
                                                           : static_cast<SheetPolarity>(j % 3);
      sites_.push_back(site);
    }
  }

  // Each beat's ARI from the diastolic interval before it, as restitution
  // shortens it: ARI = steady ARI − slope × (steady DI − DI).
  void follow_beats(Site& site) const {
    double ari = site.ari_steady;
    const double steady_di = kSteadyCycleMs - site.ari_steady;
    for (std::size_t k = 0; k < stimuli_.size(); ++k) {
      if (k > 0) {
        const double di = stimuli_[k] - stimuli_[k - 1] - ari;
        ari = std::max(site.ari_steady - c_.restitution_slope * (steady_di - di), 0.3 * site.ari_steady);
      }
      const double a = stimuli_[k] + site.delay;
      site.beats.push_back({a, a + ari});
    }
  }

  // R peak minus S trough of the QRS of depth 1.
  static double rs_amplitude_per_depth() {
    double high = -1.0, low = 1.0;
    for (double t = -40.0; t <= 40.0; t += 0.01) {
      const double v = 0.4 * bump(t, -6.0, 6.0) - bump(t, 9.0, 8.0);
      high = std::max(high, v);
      low = std::min(low, v);
    }
    return high - low;
  }

  // The signal (shape = bump, drift = 1) or its slope (bump_slope, drift 0 and
  // the drift's slope) of lead j at t ms.
  double signal(int j, double t, double (*shape)(double, double, double), double drift) const {
    if (flat(j)) return 0.0;
    const Site& site = sites_[static_cast<std::size_t>(j)];
    double v = drift > 0.0 ? 0.15 * std::sin(kTwoPi * t / 5200.0 + j)
                           : 0.15 * kTwoPi / 5200.0 * std::cos(kTwoPi * t / 5200.0 + j);
    const double s = c_.qrs_scale, w = c_.t_width_ms;
    for (const Beat& b : site.beats) {
      if (t >= b.a - 60.0 * s && t <= b.a + 60.0 * s)
        v += 0.4 * site.depth * shape(t, b.a - 6.0 * s, 6.0 * s) - site.depth * shape(t, b.a + 9.0 * s, 8.0 * s);
      if (t < b.r - 6.0 * w || t > b.r + 6.0 * w) continue;
      const double h = site.t_height;
      switch (site.polarity) {
        case SheetPolarity::negative:
          v -= h * shape(t, b.r - w / std::sqrt(2.0), w);
          break;
        case SheetPolarity::biphasic:
          v += -0.6 * h * shape(t, b.r - 0.55 * w, 0.65 * w) + h * shape(t, b.r + 0.45 * w, 0.8 * w);
          break;
        default:
          v += h * shape(t, b.r + w / std::sqrt(2.0), w);
          break;
      }
    }
    return v;
  }

  // Where sign × slope of lead j is largest in [from, to]: a 0.1 ms grid, then
  // a golden-section search around the best grid point.
  double extreme(int j, double from, double to, double sign) const {
    constexpr double kStep = 0.1;
    double best = from, best_value = sign * slope(j, from);
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

  SheetConditions c_;
  int samples_;
  Random random_;
  std::vector<double> stimuli_;
  std::vector<Site> sites_;
};

void append_fixed(std::string& out, double value, int decimals) {
  char buf[32];
  char* const end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
  out.append(buf, end);
}

}  // namespace

SheetConditions rodent_sheet() {
  SheetConditions c;
  c.cycle_lengths = {150.0};
  c.spread_ms = 8.0;
  c.ari_shortest_ms = 40.0;
  c.ari_longest_ms = 60.0;
  c.restitution_slope = 0.0;
  c.polarity = SheetPolarity::positive;
  c.t_width_ms = 8.0;
  c.qrs_scale = 0.4;
  return c;
}

std::string sheet_recording_text(int leads, int seconds, std::uint64_t seed, const SheetConditions& conditions) {
  Sheet sheet(leads, seconds, seed, conditions);
  std::string out;
  out.reserve(static_cast<std::size_t>(sheet.samples()) * static_cast<std::size_t>(leads) * 9);
  const double ms_per_sample = 1000.0 / conditions.rate_hz;
  for (int i = 1; i <= sheet.samples(); ++i) {
    const double t = i * ms_per_sample;
    for (int j = 0; j < leads; ++j) {
      if (j > 0) out += ' ';
      append_fixed(out, sheet.value(j, t) + sheet.noise(j), 4);
    }
    out += '\n';
  }
  return out;
}

std::string sheet_model_times_csv(int leads, int seconds, std::uint64_t seed, const SheetConditions& conditions) {
  const Sheet sheet(leads, seconds, seed, conditions);
  std::string out = "beat,lead,at_ms,rt_ms,t_polarity\n";
  for (std::size_t k = 0; k < sheet.beats(); ++k) {
    for (int j = 0; j < leads; ++j) {
      out += std::to_string(k + 1) + ',' + std::to_string(j + 1) + ',';
      if (!sheet.flat(j)) {
        append_fixed(out, sheet.activation(j, k), 3);
        out += ',';
        append_fixed(out, sheet.recovery(j, k), 3);
        out += ',';
        out += polarity_name(sheet.polarity(j));
      } else {
        out += ",,";
      }
      out += '\n';
    }
  }
  return out;
}

}  // namespace telmor
