// Fields of the CSV tables TELMOR writes (UTF-8, comma separated, LF line
// ends, numbers without the locale).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace telmor {

// Appends a text field (a recording's name, a channel's label): as it is, or
// in double quotes (quotes doubled) when it holds a comma or a quote; its
// control characters written out (escaped_controls: a line end, a tab or a
// terminal's escape is shown as \x0A, \x09, \x1B) and bytes that are no
// UTF-8 replaced, so that the table is valid UTF-8 and every row one line. A text that begins with =, +, -, @, a tab or a CR (what a spreadsheet
// takes for a formula) or with ' is written behind a ', as OWASP advises, so
// that a spreadsheet shows it as text and never runs it.
void append_csv_name(std::string& text, std::string_view name);

// A text field as append_csv_name writes it before any quoting: its controls
// written out, behind a ' where it needs the guard. For a writer whose CSV
// library does the quoting.
std::string guarded_csv_text(std::string_view name);

// A text field as append_csv_name wrote it, unquoted already: the name, its
// guarding ' taken off.
std::string_view csv_name(std::string_view field);

// Appends a comma and a whole number.
void append_csv_integer(std::string& text, std::int64_t value);
// Appends a comma and, when present, a whole number (an empty field otherwise).
void append_csv_integer(std::string& text, bool present, std::int64_t value);
// Appends a comma and value with decimals, or nothing after the comma when it
// is not finite (a value not known is an empty field). A tiny negative value
// rounds to "-0.00": zero has no sign in a table.
void append_csv_number(std::string& text, double value, int decimals);

}  // namespace telmor
