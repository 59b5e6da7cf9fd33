// Valid UTF-8 without control characters, from whatever bytes a file holds.
#include "base/printable_text.h"

#include <cstdint>

namespace telmor {
namespace {

// The code point of the UTF-8 sequence at text[at], and its length; length 0
// where no valid sequence starts there.
struct Decoded {
  char32_t code = 0;
  std::size_t length = 0;
};

Decoded decode_at(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0, least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1Fu, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0Fu, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07u, least = 0x10000;
  } else {
    return {};
  }
  if (at + length > text.size()) return {};
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0u) != 0x80u) return {};
    code = (code << 6) | (byte(k) & 0x3Fu);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return {code, length};
}

void append_utf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void append_hex(std::string& out, std::string_view prefix, char32_t code) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += prefix;
  out += kDigits[(code >> 4) & 0xF];
  out += kDigits[code & 0xF];
}

bool is_trimmed(char c) { return c == ' ' || c == '\0' || c == '\t'; }

}  // namespace

bool is_valid_utf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = decode_at(text, at);
    if (d.length == 0) return false;
    at += d.length;
  }
  return true;
}

std::string utf8_from_bytes(std::string_view bytes) {
  if (is_valid_utf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) append_utf8(out, static_cast<unsigned char>(c));
  return out;
}

std::string escaped_controls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Decoded d = decode_at(text, at);
    if (d.length == 0) {
      append_utf8(out, 0xFFFD);
      ++at;
      continue;
    }
    if (d.code < 0x20 || d.code == 0x7F) {
      append_hex(out, "\\x", d.code);
    } else if (d.code >= 0x80 && d.code <= 0x9F) {
      append_hex(out, "\\u00", d.code);
    } else {
      out.append(text.substr(at, d.length));
    }
    at += d.length;
  }
  return out;
}

std::string label_from_bytes(std::string_view bytes) {
  while (!bytes.empty() && is_trimmed(bytes.front())) bytes.remove_prefix(1);
  while (!bytes.empty() && is_trimmed(bytes.back())) bytes.remove_suffix(1);
  return escaped_controls(utf8_from_bytes(bytes));
}

}  // namespace telmor
