// Texts of the conduction velocity, restitution and dispersion tables.
#include "tables/maps_csv.h"

#include <cmath>

#include "base/csv_text.h"
#include "base/number_text.h"

namespace telmor {
namespace {

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
    append_csv_integer(text, v.beat);
    append_csv_integer(text, v.beat_ms);
    append_csv_integer(text, v.lead);
    text += ',';
    text += cv_method_name(v.method);
    append_csv_number(text, v.speed_m_s, 4);
    // A direction just below 360 rounds to 360.0, which is 0.
    const std::string direction = format_fixed(v.direction_deg, 1);
    text += ',';
    if (std::isfinite(v.direction_deg)) text += direction == "360.0" ? "0.0" : direction;
    append_csv_integer(text, v.neighbours);
    text += ',';
    text += cv_flag_name(v.flag);
    text += '\n';
  }
  return text;
}

std::string restitution_csv(std::string_view recording, const Restitution& restitution) {
  std::string text = header(kRestitutionHeader);
  for (const RestitutionPoint& p : restitution.points) {
    append_csv_name(text, recording);
    append_csv_integer(text, p.lead);
    append_csv_integer(text, p.beat);
    append_csv_number(text, p.cl_ms, 0);
    append_csv_number(text, p.di_ms, 2);
    append_csv_number(text, p.ari_ms, 2);
    text += '\n';
  }
  return text;
}

std::string dispersion_csv(std::string_view recording, std::span<const BeatDispersion> beats) {
  std::string text = header(kDispersionHeader);
  for (const BeatDispersion& d : beats) {
    append_csv_name(text, recording);
    append_csv_integer(text, d.beat);
    append_csv_integer(text, d.beat_ms);
    for (const double v : {d.at_first_ms, d.at_last_ms, d.total_activation_ms, d.rt_sd_ms,
                           d.rt_range_ms, d.rt_iqr_ms, d.ari_sd_ms, d.ari_range_ms, d.ari_iqr_ms}) {
      append_csv_number(text, v, 2);
    }
    append_csv_integer(text, d.leads);
    text += '\n';
  }
  return text;
}

}  // namespace telmor
