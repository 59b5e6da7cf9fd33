// Which format a file is in, and the shape of a dataset.
#include "readers/recording_formats.h"
#include "readers/recording_part.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <stdexcept>

#include "base/utf8_path.h"
#include "readers/recording_file.h"
#include "readers/recording_shape.h"
#include "readers/recording_text.h"

namespace telmor {
namespace {

std::string lower_extension(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// The fixed fields of an EDF header: the number of header bytes (184..191)
// and of signals (252..255) in digits and blanks, the version "0" first.
bool looks_like_edf(std::string_view head) {
  if (head.size() < 256 || !head.starts_with("0       ")) return false;
  const auto numeric = [&](std::size_t from, std::size_t length) {
    bool digit = false;
    for (std::size_t i = from; i < from + length; ++i) {
      const char c = head[i];
      if (std::isdigit(static_cast<unsigned char>(c))) {
        digit = true;
      } else if (c != ' ') {
        return false;
      }
    }
    return digit;
  };
  return numeric(184, 8) && numeric(252, 4);
}

}  // namespace

std::string_view format_name(RecordingFormat format) {
  switch (format) {
    case RecordingFormat::csv:
      return "CSV";
    case RecordingFormat::biosig:
      return "EDF/BDF/GDF";
    case RecordingFormat::hdf5:
      return "HDF5";
    case RecordingFormat::matlab:
      return "MATLAB";
    case RecordingFormat::text:
      break;
  }
  return "text";
}

std::optional<RecordingFormat> format_of(const std::filesystem::path& file, std::string_view head) {
  // What the content says first: a renamed file is still what it holds.
  if (head.starts_with("\x89HDF\r\n\x1a\n")) return RecordingFormat::hdf5;
  if (head.starts_with("MATLAB 5.0 MAT-file")) return RecordingFormat::matlab;
  // EDF and EDF+ begin with "0" and seven blanks, BDF with 0xFF "BIOSEMI",
  // GDF with "GDF".
  if (looks_like_edf(head)) return RecordingFormat::biosig;
  if (head.starts_with("\xff" "BIOSEMI")) return RecordingFormat::biosig;
  if (head.starts_with("GDF")) return RecordingFormat::biosig;
  const std::string ext = lower_extension(file);
  if (ext == ".edf" || ext == ".bdf" || ext == ".gdf" || ext == ".rec") return RecordingFormat::biosig;
  if (ext == ".h5" || ext == ".hdf5" || ext == ".hdf") return RecordingFormat::hdf5;
  if (ext == ".mat") return RecordingFormat::matlab;
  if (ext == ".csv" || ext == ".tsv") return RecordingFormat::csv;
  if (ext == ".txt") return RecordingFormat::text;
  return std::nullopt;
}

std::optional<bool> rows_are_samples(std::size_t rows, std::size_t columns, Orientation asked) {
  if (asked == Orientation::samples_by_leads) return true;
  if (asked == Orientation::leads_by_samples) return false;
  const std::size_t longer = std::max(rows, columns), shorter = std::min(rows, columns);
  if (longer == shorter) return std::nullopt;
  if (longer >= 4 * shorter || longer > static_cast<std::size_t>(kMaxRecordingLeads)) return rows == longer;
  return std::nullopt;
}

RecordingProblem read_text_recording(RecordingFormat format, std::string_view bytes, const ReadOptions& options,
                                     Recording& recording) {
  if (format == RecordingFormat::csv) {
    const RecordingProblem p = read_csv_recording(bytes, options, recording);
    return p ? p : take_first(options.leads, options.seconds, recording);
  }
  return read_recording_text(bytes, options.leads, options.seconds, recording, options.rate_hz.value_or(kTextRateHz));
}

namespace {

RecordingProblem read_by_format(const std::filesystem::path& file, std::string_view bytes, const ReadOptions& options,
                                Recording& recording) {
  const std::optional<RecordingFormat> format = format_of(file, bytes.substr(0, 512));
  if (!format) {
    RecordingProblem p{RecordingFault::unknown_format};
    p.detail = utf8_from_path(file.filename());
    return p;
  }
  if (*format == RecordingFormat::text || *format == RecordingFormat::csv)
    return read_text_recording(*format, bytes, options, recording);
  const RecordingProblem p = read_library_recording(*format, file, options, recording);
  return p ? p : take_first(options.leads, options.seconds, recording);
}

}  // namespace

RecordingProblem read_any_recording(const std::filesystem::path& file, std::string_view bytes,
                                    const ReadOptions& options, Recording& recording) {
  // Memory a file's size asks for that cannot be had is that file's problem,
  // whichever program reads it.
  try {
    return read_by_format(file, bytes, options, recording);
  } catch (const std::bad_alloc&) {
    return {RecordingFault::too_large};
  } catch (const std::length_error&) {
    return {RecordingFault::too_large};
  }
}

RecordingProblem read_recording_at(const std::filesystem::path& file, const ReadOptions& options,
                                   Recording& recording) {
  // Text and CSV whole, within the limit, from a regular file opened without
  // waiting; a library's format is opened by its reader, with the same care.
  TextBuffer text;
  FileStart start;
  std::string_view bytes;
  if (!read_from_path(file)) {
    if (const FileRead read = read_recording_file(file, text); read.fault != FileReadFault::none)
      return recording_problem_of(read);
    bytes = text.view();
  } else {
    // The first bytes say the format where the name says another.
    if (const FileRead read = read_file_start(file, 512, start); read.fault != FileReadFault::none)
      return recording_problem_of(read);
    bytes = start.bytes;
  }
  const RecordingProblem p = read_any_recording(file, bytes, options, recording);
  if (!p) recording.source = utf8_from_path(file);
  return p;
}

bool read_from_path(const std::filesystem::path& file) {
  const std::optional<RecordingFormat> format = format_of(file, {});
  return format && *format != RecordingFormat::text && *format != RecordingFormat::csv;
}

}  // namespace telmor
