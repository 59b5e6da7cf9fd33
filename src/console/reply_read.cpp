// Field reads over the window layer's raw typed lines.
#include "console/reply_read.h"

#include <string>

#include "console/free_form.h"
#include "base/number_text.h"

namespace telmor {
namespace {

std::string next_item(WindowLayer& layer, Window window) {
  for (;;) {
    const std::string line =
        window == Window::console ? layer.console_read_line() : layer.chart_read_line();
    if (auto item = first_item(line)) return *std::move(item);
  }
}

}  // namespace

void read_text(WindowLayer& layer, Window window, TextField& field) {
  field.assign(next_item(layer, window));
}

std::string read_item(WindowLayer& layer, Window window) { return next_item(layer, window); }

std::variant<TextField, MenuEdit> read_menu_reply(WindowLayer& layer) {
  for (;;) {
    MenuRead read = layer.menu_read_line();
    if (MenuEdit* edit = std::get_if<MenuEdit>(&read)) return *edit;
    if (auto item = first_item(std::get<std::string>(read))) {
      TextField reply(kReplyWidth);
      reply.assign(*std::move(item));
      return reply;
    }
  }
}

TextField read_reply(WindowLayer& layer, Window window) {
  TextField reply(kReplyWidth);
  read_text(layer, window, reply);
  return reply;
}

bool read_integer(WindowLayer& layer, Window window, std::int32_t& value) {
  return parse_integer(next_item(layer, window), value);
}

bool read_real(WindowLayer& layer, Window window, float& value) {
  return parse_real(next_item(layer, window), value);
}

void write_line(WindowLayer& layer, Window window, std::string_view line) {
  if (window == Window::console) {
    layer.console_write(line);
  } else {
    layer.chart_write(line);
  }
}

}  // namespace telmor
