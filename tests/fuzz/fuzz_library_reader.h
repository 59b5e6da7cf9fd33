// What every fuzz target of a library format checks of a read: the bytes as
// a file, read through the format's library in a contained read; whatever
// the library does with them, the caller gets a problem or a recording
// whose shape, values and names hold what every reader promises.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/printable_text.h"
#include "fuzz_check.h"
#include "readers/recording_formats.h"
#include "readers/recording_limits.h"

namespace telmor::fuzz {

// A file of this process's own, written anew for every input.
inline const std::filesystem::path& scratch_file(const char* extension) {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("telmor-fuzz-" + std::to_string(::getpid()) + extension);
  return file;
}

inline void check_recording(const Recording& r) {
  FUZZ_CHECK(r.lead_count >= 1 && r.lead_count <= kMaxRecordingLeads);
  FUZZ_CHECK(r.sample_count >= 1);
  FUZZ_CHECK(r.values.size() == static_cast<std::size_t>(r.lead_count) * static_cast<std::size_t>(r.sample_count));
  FUZZ_CHECK(r.rate_hz > 0.0 && std::isfinite(r.rate_hz));
  for (const float v : r.values) FUZZ_CHECK(std::isfinite(v));
  FUZZ_CHECK(r.labels.size() == static_cast<std::size_t>(r.lead_count));
  FUZZ_CHECK(r.units.size() == static_cast<std::size_t>(r.lead_count));
  for (const auto* names : {&r.labels, &r.units}) {
    for (const std::string& name : *names) {
      FUZZ_CHECK(is_valid_utf8(name));
      for (const char c : name) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
    }
  }
}

// Reads bytes as a file of format; a library that goes quiet for a second
// is taken for hung (a finding of ours only if the caller then hangs).
inline RecordingProblem read_as_file(RecordingFormat format, const char* extension, const std::uint8_t* data,
                                     std::size_t size, Recording& recording) {
  const std::filesystem::path& file = scratch_file(extension);
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  Containment brief;
  brief.quiet = std::chrono::seconds(2);
  const RecordingProblem p = read_library_recording(format, file, {}, recording, brief);
  if (!p) check_recording(recording);
  FUZZ_CHECK(p.fault <= kLastRecordingFault);
  return p;
}

}  // namespace telmor::fuzz
