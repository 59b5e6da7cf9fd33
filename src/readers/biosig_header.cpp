// EDF/BDF and GDF headers read and checked byte by byte, so that libbiosig
// only ever sees a file whose sizes agree with themselves and with the file.
#include "readers/biosig_header.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/printable_text.h"
#include "readers/recording_limits.h"

namespace telmor {
namespace {

constexpr std::size_t kBlock = 256;

RecordingProblem invalid(HeaderField field, int signal, std::string_view value) {
  RecordingProblem p{RecordingFault::header_invalid};
  p.field = field;
  p.leads = signal;
  p.detail = escaped_controls(utf8_from_bytes(value));
  return p;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\0')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

// An ASCII field as a whole number or a real, blanks around it taken off.
bool ascii_integer(std::string_view field, std::int64_t& value) {
  field = trimmed(field);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return !field.empty() && error == std::errc() && end == field.data() + field.size();
}

bool ascii_real(std::string_view field, double& value) {
  field = trimmed(field);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return !field.empty() && error == std::errc() && end == field.data() + field.size() && std::isfinite(value);
}

template <typename T>
T little_endian(std::string_view bytes, std::size_t at) {
  T value{};
  unsigned char raw[sizeof(T)];
  std::memcpy(raw, bytes.data() + at, sizeof(T));
  // The files are little-endian; so is every machine TELMOR is built for,
  // which a static_assert in the build would tell otherwise.
  static_assert(std::endian::native == std::endian::little);
  std::memcpy(&value, raw, sizeof(T));
  return value;
}

// The records the data holds against those declared; a count of −1 takes
// the whole records there are.
RecordingProblem count_records(std::int64_t declared, std::uint64_t file_bytes, BiosigLayout& layout) {
  if (layout.record_bytes == 0) return invalid(HeaderField::samples_per_record, 0, "0");
  const std::uint64_t held = (file_bytes - layout.header_bytes) / layout.record_bytes;
  if (declared == -1) {
    if (held == 0) return {RecordingFault::no_rows};
    layout.records = held;
    return {};
  }
  if (declared < 1) return invalid(HeaderField::record_count, 0, std::to_string(declared));
  if (held < static_cast<std::uint64_t>(declared)) {
    RecordingProblem p{RecordingFault::data_missing};
    p.row = static_cast<std::int64_t>(held);
    p.count = declared;
    return p;
  }
  layout.records = static_cast<std::uint64_t>(declared);
  return {};
}

// The header length a file states against its signals and its size.
RecordingProblem check_length(std::uint64_t stated, std::uint64_t signals, bool exact, std::uint64_t file_bytes,
                              std::string_view as_written) {
  const std::uint64_t needed = kBlock * (signals + 1);
  if ((exact ? stated != needed : stated < needed) || stated > file_bytes)
    return invalid(HeaderField::header_bytes, 0, as_written);
  return {};
}

// Adds a signal's bits per record; false when the sum leaves 64 bits.
bool add_record_bits(std::uint64_t samples, std::uint64_t bits, std::uint64_t& total) {
  std::uint64_t more = 0;
  return multiplied(samples, bits, more) && !__builtin_add_overflow(total, more, &total);
}

// ---- EDF and BDF: ASCII fields, signal by signal within each field.

constexpr std::size_t kEdfWidths[] = {16, 80, 8, 8, 8, 8, 8, 80, 8, 32};
enum EdfField : std::size_t { label, transducer, physdim, physmin, physmax, digmin, digmax, prefilter, spr };

std::string_view edf_field(std::string_view head, std::size_t signals, EdfField field, std::size_t k) {
  std::size_t at = kBlock;
  for (std::size_t f = 0; f < field; ++f) at += kEdfWidths[f] * signals;
  return head.substr(at + k * kEdfWidths[field], kEdfWidths[field]);
}

RecordingProblem check_edf(std::string_view head, std::uint64_t file_bytes, bool bdf, BiosigLayout& layout) {
  layout.kind = bdf ? BiosigKind::bdf : BiosigKind::edf;
  std::int64_t signals = 0, stated = 0, records = 0;
  if (!ascii_integer(head.substr(252, 4), signals) || signals < 1 || signals > kMaxHeaderSignals)
    return invalid(HeaderField::signal_count, 0, trimmed(head.substr(252, 4)));
  if (!ascii_integer(head.substr(184, 8), stated) || stated < 0)
    return invalid(HeaderField::header_bytes, 0, trimmed(head.substr(184, 8)));
  const auto ns = static_cast<std::size_t>(signals);
  if (RecordingProblem p = check_length(static_cast<std::uint64_t>(stated), ns, true, file_bytes,
                                        trimmed(head.substr(184, 8))))
    return p;
  if (head.size() < kBlock * (ns + 1)) return invalid(HeaderField::header_bytes, 0, trimmed(head.substr(184, 8)));
  layout.header_bytes = static_cast<std::uint64_t>(stated);
  if (!ascii_integer(head.substr(236, 8), records))
    return invalid(HeaderField::record_count, 0, trimmed(head.substr(236, 8)));
  double duration = 0.0;
  if (!ascii_real(head.substr(244, 8), duration) || !(duration > 0.0))
    return invalid(HeaderField::record_duration, 0, trimmed(head.substr(244, 8)));

  const std::int64_t lowest = bdf ? -8388608 : -32768, highest = bdf ? 8388607 : 32767;
  const std::uint64_t sample_bits = bdf ? 24 : 16;
  std::uint64_t record_bits = 0;
  for (std::size_t k = 0; k < ns; ++k) {
    const int signal = static_cast<int>(k) + 1;
    DeclaredSignal s;
    s.label = label_from_bytes(edf_field(head, ns, label, k));
    s.unit = label_from_bytes(edf_field(head, ns, physdim, k));
    s.annotations = s.label == "EDF Annotations" || s.label == "BDF Annotations";
    std::int64_t samples = 0, dmin = 0, dmax = 0;
    if (!ascii_integer(edf_field(head, ns, spr, k), samples) || samples < 1)
      return invalid(HeaderField::samples_per_record, signal, trimmed(edf_field(head, ns, spr, k)));
    s.samples_per_record = static_cast<std::uint64_t>(samples);
    if (!add_record_bits(s.samples_per_record, sample_bits, record_bits))
      return invalid(HeaderField::samples_per_record, signal, trimmed(edf_field(head, ns, spr, k)));
    const std::string range = std::string(trimmed(edf_field(head, ns, digmin, k))) + " … " +
                              std::string(trimmed(edf_field(head, ns, digmax, k)));
    if (!ascii_integer(edf_field(head, ns, digmin, k), dmin) || !ascii_integer(edf_field(head, ns, digmax, k), dmax) ||
        !(dmin < dmax) || dmin < lowest || dmax > highest)
      return invalid(HeaderField::digital_range, signal, range);
    double pmin = 0.0, pmax = 0.0;
    if (!ascii_real(edf_field(head, ns, physmin, k), pmin))
      return invalid(HeaderField::physical_minimum, signal, trimmed(edf_field(head, ns, physmin, k)));
    if (!ascii_real(edf_field(head, ns, physmax, k), pmax))
      return invalid(HeaderField::physical_maximum, signal, trimmed(edf_field(head, ns, physmax, k)));
    if (pmin == pmax) return invalid(HeaderField::physical_range, signal, trimmed(edf_field(head, ns, physmin, k)));
    layout.signals.push_back(std::move(s));
  }
  layout.record_bytes = record_bits / 8;
  return count_records(records, file_bytes, layout);
}

// ---- GDF: binary fields, little-endian, signal by signal within each field.

struct GdfFields {
  std::size_t widths[17];
  std::size_t count;
  std::size_t label, physdim, physmin, physmax, digmin, digmax, spr, type;
};

// GDF 1.x and 2.x (and 3.x, which keeps 2.x's layout of the signals).
constexpr GdfFields kGdf1 = {{16, 80, 8, 8, 8, 8, 8, 80, 4, 4, 32}, 11, 0, 2, 3, 4, 5, 6, 8, 9};
constexpr GdfFields kGdf2 = {{16, 80, 6, 2, 8, 8, 8, 8, 68, 4, 4, 4, 4, 4, 12, 1, 19}, 17, 0, 2, 4, 5, 6, 7, 12, 13};

std::size_t gdf_offset(const GdfFields& f, std::size_t signals, std::size_t field, std::size_t k) {
  std::size_t at = kBlock;
  for (std::size_t i = 0; i < field; ++i) at += f.widths[i] * signals;
  return at + k * f.widths[field];
}

// The bits of a sample of a GDF type, and its integer range where it has one
// that a double holds exactly; 0 bits for a type GDF does not define.
struct GdfType {
  std::uint64_t bits = 0;
  bool integer = false;
  double lowest = 0.0, highest = 0.0;
};

GdfType gdf_type(std::uint32_t code) {
  const auto signed_bits = [](std::uint64_t n) {
    return GdfType{n, n < 53, -std::ldexp(1.0, static_cast<int>(n) - 1), std::ldexp(1.0, static_cast<int>(n) - 1) - 1.0};
  };
  const auto unsigned_bits = [](std::uint64_t n) {
    return GdfType{n, n < 53, 0.0, std::ldexp(1.0, static_cast<int>(n)) - 1.0};
  };
  switch (code) {
    case 1: return signed_bits(8);
    case 2: return unsigned_bits(8);
    case 3: return signed_bits(16);
    case 4: return unsigned_bits(16);
    case 5: return signed_bits(32);
    case 6: return unsigned_bits(32);
    case 7: return signed_bits(64);
    case 8: return unsigned_bits(64);
    case 16: return {32, false, 0.0, 0.0};
    case 17: return {64, false, 0.0, 0.0};
    default: break;
  }
  if (code > 255 && code <= 255 + 64) return signed_bits(code - 255);
  if (code > 511 && code <= 511 + 64) return unsigned_bits(code - 511);
  return {};
}

std::string real_text(double v) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, v);
  return error == std::errc() ? std::string(text, end) : std::string("?");
}

RecordingProblem check_gdf(std::string_view head, std::uint64_t file_bytes, BiosigLayout& layout) {
  const char major = head[4];
  if (head[3] != ' ' || major < '1' || major > '3')
    return invalid(HeaderField::version, 0, trimmed(head.substr(0, 8)));
  const bool first = major == '1';
  layout.kind = first ? BiosigKind::gdf1 : BiosigKind::gdf2;
  const GdfFields& f = first ? kGdf1 : kGdf2;
  const std::uint64_t signals = first ? little_endian<std::uint32_t>(head, 252) : little_endian<std::uint16_t>(head, 252);
  if (signals < 1 || signals > static_cast<std::uint64_t>(kMaxHeaderSignals))
    return invalid(HeaderField::signal_count, 0, std::to_string(signals));
  std::uint64_t stated = 0;
  if (first) {
    const auto bytes = little_endian<std::int64_t>(head, 184);
    if (bytes < 0) return invalid(HeaderField::header_bytes, 0, std::to_string(bytes));
    stated = static_cast<std::uint64_t>(bytes);
  } else {
    stated = kBlock * little_endian<std::uint16_t>(head, 184);
  }
  if (RecordingProblem p = check_length(stated, signals, false, file_bytes, std::to_string(stated))) return p;
  const auto ns = static_cast<std::size_t>(signals);
  if (head.size() < kBlock * (ns + 1)) return invalid(HeaderField::header_bytes, 0, std::to_string(stated));
  layout.header_bytes = stated;
  const auto records = little_endian<std::int64_t>(head, 236);

  std::uint64_t record_bits = 0;
  for (std::size_t k = 0; k < ns; ++k) {
    const int signal = static_cast<int>(k) + 1;
    DeclaredSignal s;
    s.label = label_from_bytes(head.substr(gdf_offset(f, ns, f.label, k), f.widths[f.label]));
    s.unit = label_from_bytes(head.substr(gdf_offset(f, ns, f.physdim, k), f.widths[f.physdim]));
    s.samples_per_record = little_endian<std::uint32_t>(head, gdf_offset(f, ns, f.spr, k));
    const auto code = little_endian<std::uint32_t>(head, gdf_offset(f, ns, f.type, k));
    const GdfType type = gdf_type(code);
    if (type.bits == 0) return invalid(HeaderField::sample_type, signal, std::to_string(code));
    if (!add_record_bits(s.samples_per_record, type.bits, record_bits))
      return invalid(HeaderField::samples_per_record, signal, std::to_string(s.samples_per_record));
    // A sparse signal (no samples per record) holds no wave: its ranges are
    // not used.
    if (s.samples_per_record > 0) {
      double dmin = 0.0, dmax = 0.0;
      if (first) {
        dmin = static_cast<double>(little_endian<std::int64_t>(head, gdf_offset(f, ns, f.digmin, k)));
        dmax = static_cast<double>(little_endian<std::int64_t>(head, gdf_offset(f, ns, f.digmax, k)));
      } else {
        dmin = little_endian<double>(head, gdf_offset(f, ns, f.digmin, k));
        dmax = little_endian<double>(head, gdf_offset(f, ns, f.digmax, k));
      }
      if (!std::isfinite(dmin) || !std::isfinite(dmax) || !(dmin < dmax) ||
          (type.integer && (dmin < type.lowest || dmax > type.highest)))
        return invalid(HeaderField::digital_range, signal, real_text(dmin) + " … " + real_text(dmax));
      const auto pmin = little_endian<double>(head, gdf_offset(f, ns, f.physmin, k));
      const auto pmax = little_endian<double>(head, gdf_offset(f, ns, f.physmax, k));
      if (!std::isfinite(pmin)) return invalid(HeaderField::physical_minimum, signal, real_text(pmin));
      if (!std::isfinite(pmax)) return invalid(HeaderField::physical_maximum, signal, real_text(pmax));
      if (pmin == pmax) return invalid(HeaderField::physical_range, signal, real_text(pmin));
    }
    layout.signals.push_back(std::move(s));
  }
  if (record_bits % 8 != 0) return invalid(HeaderField::samples_per_record, 0, std::to_string(record_bits) + " bits");
  layout.record_bytes = record_bits / 8;
  return count_records(records, file_bytes, layout);
}

}  // namespace

std::size_t biosig_header_reach() { return kBlock * (static_cast<std::size_t>(kMaxHeaderSignals) + 1); }

RecordingProblem check_biosig_header(std::string_view head, std::uint64_t file_bytes, BiosigLayout& layout) {
  layout = {};
  if (head.size() < kBlock) return invalid(HeaderField::header_bytes, 0, std::to_string(head.size()));
  if (head.starts_with("GDF")) return check_gdf(head, file_bytes, layout);
  if (head.starts_with("\xff" "BIOSEMI")) return check_edf(head, file_bytes, true, layout);
  if (head.starts_with("0       ")) return check_edf(head, file_bytes, false, layout);
  return invalid(HeaderField::version, 0, trimmed(head.substr(0, 8)));
}

}  // namespace telmor
