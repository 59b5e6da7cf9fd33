// Writing and reading the part file beside an opened part's results file.
#include "session/part_file.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <system_error>
#include <utility>


namespace telmor {
namespace {

constexpr std::string_view kFirstLine = "# TELMOR part";
constexpr int kMaxChannel = 1 << 20;

std::string escaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F || c == '%') {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    } else {
      out += c;
    }
  }
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool unescaped(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F) return false;
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = hex_digit(text[i + 1]), low = hex_digit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

template <class T>
bool whole_number(std::string_view text, T& value) {
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && !text.empty();
}

bool real_number(std::string_view text, double& value) {
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && !text.empty() && std::isfinite(value);
}

bool channel_list(std::string_view text, std::vector<int>& channels) {
  channels.clear();
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    int channel = 0;
    if (!whole_number(item, channel) || channel < 1 || channel > kMaxChannel) return false;
    channels.push_back(channel);
    if (channels.size() > 20) return false;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
    if (text.empty()) return false;
  }
  return !channels.empty();
}

}  // namespace

std::filesystem::path part_file_of(const std::filesystem::path& results_file) {
  std::filesystem::path part = results_file;
  part += ".part";
  return part;
}

std::string seconds_text(double seconds) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, seconds);
  return std::string(buffer, r.ptr);
}

std::string channel_list_text(const std::vector<int>& channels) {
  std::string text;
  for (std::size_t i = 0; i < channels.size();) {
    std::size_t last = i;
    while (last + 1 < channels.size() && channels[last + 1] == channels[last] + 1) ++last;
    if (!text.empty()) text += ',';
    text += std::to_string(channels[i]);
    if (last > i) text += '-' + std::to_string(channels[last]);
    i = last + 1;
  }
  return text;
}

std::string part_name_suffix(const RecordedPart& part) {
  return "_ch" + channel_list_text(part.channels) + "_" + seconds_text(part.start_s) + "-" +
         seconds_text(part.start_s + part.seconds) + "s";
}

std::string part_file_text(const RecordedPart& part) {
  std::string channels;
  for (const int c : part.channels) channels += (channels.empty() ? "" : ",") + std::to_string(c);
  std::string text = std::string(kFirstLine) + "\r\n";
  text += "source=" + escaped(part.source) + "\r\n";
  text += "channels=" + channels + "\r\n";
  text += "start_s=" + seconds_text(part.start_s) + "\r\n";
  text += "seconds=" + std::to_string(part.seconds) + "\r\n";
  text += "rate_hz=" + seconds_text(part.rate_hz) + "\r\n";
  if (part.dataset) text += "dataset=" + escaped(*part.dataset) + "\r\n";
  if (part.orientation == 1 || part.orientation == 2)
    text += std::string("orientation=") + (part.orientation == 1 ? "samples-by-leads" : "leads-by-samples") + "\r\n";
  return text;
}

bool parse_part_file(std::string_view text, RecordedPart& out) {
  RecordedPart part;
  bool source = false, channels = false, start = false, seconds = false, rate = false, orientation = false;
  bool first = true;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return false;  // a cut last line
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (first) {
      if (line != kFirstLine) return false;
      first = false;
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    // Each key at most once; a key this program does not know is passed over.
    const auto once = [](bool& seen) { return !std::exchange(seen, true); };
    if (key == "source") {
      if (!once(source) || !unescaped(value, part.source) || part.source.empty()) return false;
    } else if (key == "channels") {
      if (!once(channels) || !channel_list(value, part.channels)) return false;
    } else if (key == "start_s") {
      if (!once(start) || !real_number(value, part.start_s) || part.start_s < 0.0) return false;
    } else if (key == "seconds") {
      if (!once(seconds) || !whole_number(value, part.seconds) || part.seconds < 1 || part.seconds > 30) return false;
    } else if (key == "rate_hz") {
      if (!once(rate) || !real_number(value, part.rate_hz) || !(part.rate_hz > 0.0)) return false;
    } else if (key == "dataset") {
      std::string dataset;
      if (part.dataset || !unescaped(value, dataset)) return false;
      part.dataset = std::move(dataset);
    } else if (key == "orientation") {
      if (!once(orientation)) return false;
      if (value == "samples-by-leads") {
        part.orientation = 1;
      } else if (value == "leads-by-samples") {
        part.orientation = 2;
      } else {
        return false;
      }
    }
  }
  if (first || !source || !channels || !start || !seconds || !rate) return false;
  out = std::move(part);
  return true;
}

PartFileFault read_part_file(const std::filesystem::path& path, RecordedPart& part, const FileAccess& files) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return PartFileFault::missing;
  if (error) return PartFileFault::unreadable;
  // Never opened otherwise: a FIFO there would make the program wait.
  if (status.type() != std::filesystem::file_type::regular) return PartFileFault::not_regular;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return PartFileFault::unreadable;
  if (size > kMaxPartFileBytes) return PartFileFault::too_large;
  const std::unique_ptr<std::istream> in = files.open_read(path, error);
  if (!in) return PartFileFault::unreadable;
  std::string text(kMaxPartFileBytes + 1, '\0');
  in->read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in->bad()) return PartFileFault::unreadable;
  text.resize(static_cast<std::size_t>(in->gcount()));
  if (text.size() > kMaxPartFileBytes) return PartFileFault::too_large;
  return parse_part_file(text, part) ? PartFileFault::none : PartFileFault::damaged;
}

}  // namespace telmor
