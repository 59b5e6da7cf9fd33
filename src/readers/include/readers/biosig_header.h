// The headers of EDF, EDF+, BDF and GDF files, checked by TELMOR itself
// before libbiosig is given the file: what the standards forbid or what the
// file's own size contradicts is refused with the field that says so.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "signal/recording_problem.h"

namespace telmor {

enum class BiosigKind : std::uint8_t { edf, bdf, gdf1, gdf2 };

// One signal as its header declares it.
struct DeclaredSignal {
  std::string label;  // UTF-8 (Latin-1 where the file's bytes are no UTF-8), controls escaped
  std::string unit;
  std::uint64_t samples_per_record = 0;
  bool annotations = false;  // EDF+/BDF+ "EDF Annotations": no samples of a wave
};

struct BiosigLayout {
  BiosigKind kind = BiosigKind::edf;
  std::uint64_t header_bytes = 0;
  std::uint64_t record_bytes = 0;  // one data record of every signal
  std::uint64_t records = 0;       // the whole records the data holds
  std::vector<DeclaredSignal> signals;
};

// The most of a file's start check_biosig_header reads: the fixed header and
// the most signals' headers.
std::size_t biosig_header_reach();

// Checks the header at the start of a file of file_bytes bytes (head: its
// first bytes, biosig_header_reach() of them or the whole file when shorter)
// and fills layout. Refused (header_invalid with its field, and the signal
// for a signal's field): a header length that is not 256 × (signals + 1)
// (GDF: less than that) or beyond the file, signals outside 1 to
// kMaxHeaderSignals, a record count that is neither −1 nor positive, a
// record's duration that is no positive number (EDF, BDF), samples per
// record below 1 (GDF: 0 is a sparse signal) or whose record does not count
// in 64 bits, a digital minimum not below its maximum or beyond the sample's
// integer range, a physical minimum or maximum that is no number or both
// the same, a GDF sample type GDF does not define; data_missing when the
// data holds fewer whole records than the header declares (row: those it
// holds, count: those declared). A record count of −1 takes the whole
// records the file holds.
RecordingProblem check_biosig_header(std::string_view head, std::uint64_t file_bytes, BiosigLayout& layout);

}  // namespace telmor
