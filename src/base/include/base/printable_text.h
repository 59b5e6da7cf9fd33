// Text that came from a file, made fit to show and to write: valid UTF-8,
// with no control character that could move a terminal's cursor, end a CSV
// row or break an XML document.
#pragma once

#include <string>
#include <string_view>

namespace telmor {

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing beyond U+10FFFF).
bool is_valid_utf8(std::string_view text);

// The bytes as UTF-8: kept as they are when they are valid UTF-8, otherwise
// read as Latin-1, which every byte is (the labels of European EDF files,
// whose standard says ASCII).
std::string utf8_from_bytes(std::string_view bytes);

// text with every control character written out: C0 and DEL as \xHH, C1 as
// \u00HH, so that what a file held is still seen; bytes that are not UTF-8
// become U+FFFD.
std::string escaped_controls(std::string_view text);

// A channel's label or unit as a reader hands it on: utf8_from_bytes, its
// controls escaped, blanks and NULs at either end taken off.
std::string label_from_bytes(std::string_view bytes);

}  // namespace telmor
