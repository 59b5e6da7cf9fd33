// A small writer of the EDF and BDF layout (the standard's fixed header, then
// data records of 16-bit or 24-bit little-endian integers), for the tests of
// the readers: what it writes, biosig must read back.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "signal/recording.h"

namespace telmor::test {

// Each lead's physical range from its own smallest to largest sample (a flat
// lead gets ±1), the digital range the format's full one.
inline std::string edf_bytes(const Recording& r, bool bdf, int samples_per_record = 0) {
  const int spr = samples_per_record > 0 ? samples_per_record : static_cast<int>(std::lround(r.rate_hz));
  const int records = r.sample_count / spr;
  const auto field = [](std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
  };
  const auto number = [&](double v, std::size_t width) {
    std::string text = std::to_string(v);
    if (text.size() > width) text.resize(width);
    if (text.back() == '.') text.pop_back();
    return field(text, width);
  };
  const int dig_max = bdf ? 8388607 : 32767, dig_min = -dig_max - 1;
  std::string h;
  h += bdf ? std::string("\xff" "BIOSEMI") : field("0", 8);
  h += field("X X X X", 80) + field("Startdate X X X X", 80) + "01.01.20" + "00.00.00";
  h += field(std::to_string(256 * (r.lead_count + 1)), 8);
  h += field(bdf ? "24BIT" : "", 44);
  h += field(std::to_string(records), 8) + field(std::to_string(static_cast<double>(spr) / r.rate_hz).substr(0, 8), 8);
  h += field(std::to_string(r.lead_count), 4);
  std::vector<double> low(static_cast<std::size_t>(r.lead_count)), high(low.size());
  for (int j = 1; j <= r.lead_count; ++j) {
    const auto lead = r.lead(j);
    low[static_cast<std::size_t>(j - 1)] = *std::min_element(lead.begin(), lead.end());
    high[static_cast<std::size_t>(j - 1)] = *std::max_element(lead.begin(), lead.end());
    if (!(high[static_cast<std::size_t>(j - 1)] > low[static_cast<std::size_t>(j - 1)])) {
      low[static_cast<std::size_t>(j - 1)] -= 1.0;
      high[static_cast<std::size_t>(j - 1)] += 1.0;
    }
    // A little room: the header's 8 characters cut the range's digits.
    const double margin = 0.01 * (high[static_cast<std::size_t>(j - 1)] - low[static_cast<std::size_t>(j - 1)]);
    low[static_cast<std::size_t>(j - 1)] -= margin;
    high[static_cast<std::size_t>(j - 1)] += margin;
  }
  const auto each = [&](auto make) {
    for (int j = 1; j <= r.lead_count; ++j) h += make(static_cast<std::size_t>(j - 1));
  };
  each([&](std::size_t j) { return field(j < r.labels.size() ? r.labels[j] : "L" + std::to_string(j + 1), 16); });
  each([&](std::size_t) { return field("", 80); });
  each([&](std::size_t j) { return field(j < r.units.size() ? r.units[j] : "mV", 8); });
  each([&](std::size_t j) { return number(low[j], 8); });
  each([&](std::size_t j) { return number(high[j], 8); });
  each([&](std::size_t) { return field(std::to_string(dig_min), 8); });
  each([&](std::size_t) { return field(std::to_string(dig_max), 8); });
  each([&](std::size_t) { return field("", 80); });
  each([&](std::size_t) { return field(std::to_string(spr), 8); });
  each([&](std::size_t) { return field("", 32); });
  // The header's numbers as written are what a reader scales with.
  const auto written = [&](std::size_t offset, std::size_t j) {
    return std::stod(h.substr(offset + 8 * j, 8));
  };
  const std::size_t ns = static_cast<std::size_t>(r.lead_count);
  const std::size_t phys_min_at = 256 + ns * (16 + 80 + 8), phys_max_at = phys_min_at + 8 * ns;
  for (int k = 0; k < records; ++k) {
    for (int j = 1; j <= r.lead_count; ++j) {
      const double lo = written(phys_min_at, static_cast<std::size_t>(j - 1));
      const double hi = written(phys_max_at, static_cast<std::size_t>(j - 1));
      for (int i = 1; i <= spr; ++i) {
        const double v = r.value(j, k * spr + i);
        const double d = std::round((v - lo) / (hi - lo) * (dig_max - dig_min) + dig_min);
        const auto digital = static_cast<std::int32_t>(std::clamp(d, double(dig_min), double(dig_max)));
        h += static_cast<char>(digital & 0xff);
        h += static_cast<char>((digital >> 8) & 0xff);
        if (bdf) h += static_cast<char>((digital >> 16) & 0xff);
      }
    }
  }
  return h;
}

// Where a field of an EDF/BDF header lies: the fixed header's by its offset,
// a signal's (field 0 label … 9 reserved, in the standard's order) by the
// signal (0-based) among ns.
inline std::size_t edf_signal_field_at(int ns, int field, int k) {
  static constexpr std::size_t kWidths[] = {16, 80, 8, 8, 8, 8, 8, 80, 8, 32};
  std::size_t at = 256;
  for (int f = 0; f < field; ++f) at += kWidths[f] * static_cast<std::size_t>(ns);
  return at + kWidths[field] * static_cast<std::size_t>(k);
}
inline constexpr int kEdfLabel = 0, kEdfPhysMin = 3, kEdfPhysMax = 4, kEdfDigMin = 5, kEdfDigMax = 6,
                     kEdfSamplesPerRecord = 8;

// Writes value blank-padded into the width bytes at at.
inline void put_edf_field(std::string& bytes, std::size_t at, std::size_t width, std::string value) {
  value.resize(width, ' ');
  bytes.replace(at, width, value);
}

// The quantisation step of lead j as edf_bytes writes it (its range with the
// room added, a little more for the header's cut digits).
inline double edf_step(const Recording& r, int j, bool bdf) {
  const auto lead = r.lead(j);
  const double range = *std::max_element(lead.begin(), lead.end()) - *std::min_element(lead.begin(), lead.end());
  return 1.05 * (range > 0.0 ? range : 2.0) / (bdf ? 16777215.0 : 65535.0);
}

}  // namespace telmor::test
