// Reading one field from a reply line typed into the console or the chart
// window, shared by every window layer.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "record/text_field.h"
#include "console/window_layer.h"

namespace telmor {

enum class Window { console, chart };

// Waits for a line that holds an item and fills field with its first item,
// cut or blank-padded to the field's width. Empty lines keep it waiting.
void read_text(WindowLayer& layer, Window window, TextField& field);
// The same item as typed, before any field cuts it.
std::string read_item(WindowLayer& layer, Window window);

// A question's reply: 10 characters, blank-padded, read as read_text reads it.
// Each question reads its own; no reply outlives its question.
inline constexpr int kReplyWidth = 10;
TextField read_reply(WindowLayer& layer, Window window);
// The menu's reply, read as read_reply reads the chart's, or the menu edit
// that came instead.
std::variant<TextField, MenuEdit> read_menu_reply(WindowLayer& layer);

// Waits for a line that holds an item and reads its first item as a number.
// Returns false, leaving value unchanged, when that item is not a number (the
// read fails); the caller decides what follows.
bool read_integer(WindowLayer& layer, Window window, std::int32_t& value);
bool read_real(WindowLayer& layer, Window window, float& value);

// A line written to the given window.
void write_line(WindowLayer& layer, Window window, std::string_view line);

}  // namespace telmor
