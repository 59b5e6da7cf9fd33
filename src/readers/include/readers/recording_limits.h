// The most a file may make TELMOR take on: every reader checks what a file
// declares of itself (its shape, its sizes) here, before anything is
// allocated, indexed or handed to a library.
#pragma once

#include <cstdint>
#include <string_view>

#include "readers/recording_shape.h"
#include "signal/recording_problem.h"

namespace telmor {

// A recording's samples in memory (32-bit reals), and a file read whole
// into memory: an hour of 256 leads at 4 kHz is under 14 GiB of samples.
inline constexpr std::uint64_t kLargestRecordingBytes = std::uint64_t{16} << 30;
inline constexpr int kLargestRecordingGiB = 16;

// The most signals an EDF/BDF/GDF header may declare: a header of 256 bytes
// each, far beyond any amplifier, and the data channels among them still
// count against the most leads a recording holds.
inline constexpr int kMaxHeaderSignals = 4096;

// The most a compressed dataset may expand: what a declared shape may cost
// against the bytes the file stores for it (gzip's best is about 1032:1).
inline constexpr std::uint64_t kMostCompression = 1100;

// product = a × b, false when it does not fit in 64 bits.
inline bool multiplied(std::uint64_t a, std::uint64_t b, std::uint64_t& product) {
  return !__builtin_mul_overflow(a, b, &product);
}

// Whether a recording of leads × samples may be taken on: leads 1 to the most
// a recording holds, samples 1 to what an int counts, the samples within
// kLargestRecordingBytes. Otherwise first_line_values (leads beyond),
// dataset_shape (an empty dimension), or beyond_limit (detail: the shape, in
// digits; what overflows any integer type too). what names the dataset in
// a dataset_shape's detail, where there is one.
RecordingProblem check_declared_shape(std::uint64_t leads, std::uint64_t samples, std::string_view what = {});

// Whether a file holds the data its header declares: declared_bytes (its
// values at the size the file stores them) against held_bytes, the bytes the
// file has for them (compressed by at most kMostCompression where
// compressed). data_missing otherwise, with row and count in values
// (values_each: bytes per value).
RecordingProblem check_declared_data(std::uint64_t declared_bytes, std::uint64_t held_bytes, bool compressed,
                                     std::uint64_t value_bytes, std::string_view what = {});

}  // namespace telmor
