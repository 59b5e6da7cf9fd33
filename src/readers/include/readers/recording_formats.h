// The files laboratories write, each read into one Recording (samples, rate,
// channel labels and units, where it came from) by a well-kept library: EDF,
// EDF+, BDF and GDF through libbiosig, HDF5 through the HDF5 library, MATLAB
// v5 and v7.3 through matio; CSV/TSV with a header row and the waveform text
// format by TELMOR's own code. Each refuses what it cannot read with a reason
// and never guesses: a shape that could be read two ways, or a file that
// states no rate, asks for an option.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "readers/contained_read.h"
#include "signal/recording.h"
#include "signal/recording_problem.h"

namespace telmor {

enum class RecordingFormat : std::uint8_t { text, csv, biosig, hdf5, matlab };

// "text", "CSV", "EDF/BDF/GDF", "HDF5", "MATLAB".
std::string_view format_name(RecordingFormat format);

// The format of a file from its first bytes (a few hundred are enough), then
// its extension (any case): HDF5's and MATLAB's signatures, the EDF/BDF/GDF
// headers, .csv and .tsv, .txt; nullopt when neither says.
std::optional<RecordingFormat> format_of(const std::filesystem::path& file, std::string_view first_bytes);

// Whether a dataset's rows are its samples (samples × leads) or its leads.
enum class Orientation : std::uint8_t { unknown, samples_by_leads, leads_by_samples };

// What a reader takes besides the file; each only where its format needs it.
// leads and seconds state a text recording's shape; of a file that states
// its own shape they take the first leads and the first seconds.
struct ReadOptions {
  std::optional<int> leads{}, seconds{};
  std::optional<double> rate_hz{};            // the rate where the file states none (or to override)
  std::optional<std::string> dataset{};       // HDF5, MATLAB: the dataset or variable
  Orientation orientation = Orientation::unknown;
};

// A dataset of rows × columns read as samples × leads (true), leads ×
// samples (false), or nullopt when the shape says nothing: asked for, as
// asked; otherwise the longer dimension is the samples when it is at least
// four times the shorter or longer than the most leads a recording holds.
std::optional<bool> rows_are_samples(std::size_t rows, std::size_t columns, Orientation asked);

// Whether this build reads format (the Windows build reads text and CSV only).
bool format_available(RecordingFormat format);

// Text and CSV from the file's bytes (the batch holds them in memory).
RecordingProblem read_text_recording(RecordingFormat format, std::string_view bytes, const ReadOptions& options,
                                     Recording& recording);

// The other formats through their libraries, from the file (a regular file:
// the caller has checked), each library in a contained read (containment:
// how long it may go without a word, and its memory). recording.source is
// left to the caller.
RecordingProblem read_library_recording(RecordingFormat format, const std::filesystem::path& file,
                                        const ReadOptions& options, Recording& recording,
                                        const Containment& containment = {});

// The recording of file in whatever format it is in (format_of): text and
// CSV from bytes, the file's whole content; the others through their
// libraries from the file itself (a regular file: the caller has checked),
// bytes then needing only the first few hundred, or none. recording.source
// is left to the caller.
RecordingProblem read_any_recording(const std::filesystem::path& file, std::string_view bytes,
                                    const ReadOptions& options, Recording& recording);

// The recording of a file on this computer in any format: a regular file
// only (never a FIFO or a device), text and CSV read whole. A file that is
// missing or no regular file is cannot_open with why; recording.source is
// the file's path.
RecordingProblem read_recording_at(const std::filesystem::path& file, const ReadOptions& options,
                                   Recording& recording);

// Whether a file is read by its library from its path rather than from its
// bytes, told by its extension: its bytes need not be held in memory.
bool read_from_path(const std::filesystem::path& file);

// A CSV or TSV recording: a header row of channel names (a tab in it makes
// the file tab-separated), then one row of numbers per sample. A first
// column named time_s, t_s, time (s), seconds, time_ms, time (ms), ms and
// the like gives the rate (its steps must be even within a quarter); a name
// like "V1 (mV)" gives the label V1 and the unit mV. Blank lines, a BOM and
// CR LF are taken; empty fields are not numbers.
RecordingProblem read_csv_recording(std::string_view text, const ReadOptions& options, Recording& recording);

}  // namespace telmor
