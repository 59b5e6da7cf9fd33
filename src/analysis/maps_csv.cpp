// Texts of the conduction velocity, restitution and dispersion tables.
#include "analysis/maps_csv.h"

#include <cmath>

#include "base/number_text.h"

namespace telmor {
namespace {

void append_number(std::string& text, double value, int decimals) {
  text += ',';
  if (!std::isfinite(value)) return;
  const std::string number = format_fixed(value, decimals);
  // A tiny negative value rounds to "-0.00": zero has no sign in a table.
  const bool zero = number.find_first_not_of("-0.") == std::string::npos;
  text += zero && number.front() == '-' ? number.substr(1) : number;
}

void append_whole(std::string& text, std::int64_t value) {
  text += ',';
  text += format_integer(value);
}

std::string header(std::string_view columns) {
  std::string text(columns);
  text += '\n';
  return text;
}

}  // namespace

std::string cv_csv(std::string_view recording, std::span<const CvVector> vectors) {
  std::string text = header(kCvHeader);
  for (const CvVector& v : vectors) {
    append_csv_name(text, recording);
    append_whole(text, v.beat);
    append_whole(text, v.beat_ms);
    append_whole(text, v.lead);
    text += ',';
    text += cv_method_name(v.method);
    append_number(text, v.speed_m_s, 4);
    // A direction just below 360 rounds to 360.0, which is 0.
    const std::string direction = format_fixed(v.direction_deg, 1);
    text += ',';
    if (std::isfinite(v.direction_deg)) text += direction == "360.0" ? "0.0" : direction;
    append_whole(text, v.neighbours);
    text += ',';
    text += v.flag;
    text += '\n';
  }
  return text;
}

std::string restitution_csv(std::string_view recording, const Restitution& restitution) {
  std::string text = header(kRestitutionHeader);
  for (const RestitutionPoint& p : restitution.points) {
    append_csv_name(text, recording);
    append_whole(text, p.lead);
    append_whole(text, p.beat);
    append_number(text, p.cl_ms, 0);
    append_number(text, p.di_ms, 2);
    append_number(text, p.ari_ms, 2);
    text += '\n';
  }
  return text;
}

std::string dispersion_csv(std::string_view recording, std::span<const BeatDispersion> beats) {
  std::string text = header(kDispersionHeader);
  for (const BeatDispersion& d : beats) {
    append_csv_name(text, recording);
    append_whole(text, d.beat);
    append_whole(text, d.beat_ms);
    for (const double v : {d.at_first_ms, d.at_last_ms, d.total_activation_ms, d.rt_sd_ms,
                           d.rt_range_ms, d.rt_iqr_ms, d.ari_sd_ms, d.ari_range_ms, d.ari_iqr_ms}) {
      append_number(text, v, 2);
    }
    append_whole(text, d.leads);
    text += '\n';
  }
  return text;
}

}  // namespace telmor
