// The texts of the conduction velocity, restitution and dispersion tables
// of the batch (UTF-8, comma separated, LF line ends, no locale). Each
// starts with its header; a value that is not known is an empty field.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tissue/conduction_velocity.h"
#include "tissue/dispersion.h"
#include "tissue/restitution.h"

namespace telmor {

inline constexpr std::string_view kCvHeader =
    "recording,beat,beat_ms,lead,method,speed_m_s,direction_deg,neighbours,flag";
inline constexpr std::string_view kRestitutionHeader = "recording,lead,beat,cl_ms,di_ms,ari_ms";
inline constexpr std::string_view kDispersionHeader =
    "recording,beat,beat_ms,at_first_ms,at_last_ms,total_activation_ms,rt_sd_ms,rt_range_ms,"
    "rt_iqr_ms,ari_sd_ms,ari_range_ms,ari_iqr_ms,leads";


// One row per vector in the given order: speeds with 4 decimals, directions
// with 1.
std::string cv_csv(std::string_view recording, std::span<const CvVector> vectors);
// One row per point: cl_ms whole, di_ms and ari_ms with 2 decimals.
std::string restitution_csv(std::string_view recording, const Restitution& restitution);
// One row per beat; times with 2 decimals.
std::string dispersion_csv(std::string_view recording, std::span<const BeatDispersion> beats);

}  // namespace telmor
