// A window layer for unit tests: typed lines and clicks come from queues set
// up by the test; everything written or drawn is recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "console/window_layer.h"

namespace telmor::test {

struct Segment {
  int x1, y1, x2, y2;
  std::uint32_t colour;
  bool operator==(const Segment&) const = default;
};

class ScriptedLayer : public WindowLayer {
 public:
  std::deque<std::string> console_input;
  std::deque<std::string> chart_input;
  std::deque<MouseEvent> mouse_input;

  std::vector<std::string> console_lines;  // written to the console
  std::vector<std::string> chart_lines;    // written to the chart since the last clear
  std::vector<std::string> transcript;     // everything, in order
  std::vector<Segment> segments;           // since the last clear
  std::uint32_t colour = 0;
  PixelPoint position{};
  int clears = 0;
  bool chart_is_open = false;
  bool stopped = false;
  Cursor cursor = Cursor::arrow;
  // What the frame would show around the windows.
  std::vector<std::string> notes;
  std::function<void(const std::string&)> on_note;  // called as each note is shown
  Place place;
  TimeAxis axis;
  bool unsaved = false;
  ExitChoice exit_choice = ExitChoice::discard;  // the answer when x meets unsaved changes
  int exit_questions = 0;
  // The answer when a save finds the results file changed elsewhere, and the
  // questions asked.
  ChangedFileAnswer changed_file_answer = ChangedFileAnswer::keep;
  std::vector<ChangedFile> changed_files;
  // Called with each chart line as the program takes it (before it acts on
  // it): where a test plays another program that writes a file meanwhile.
  std::function<void(const std::string&)> on_chart_read;

  void console_write(std::string_view line) override {
    console_lines.emplace_back(line);
    transcript.push_back("console> " + std::string(line));
  }
  std::string console_read_line() override { return take(console_input, "console< "); }
  void chart_open() override {
    chart_is_open = true;
    transcript.emplace_back("chart: open");
  }
  void chart_write(std::string_view line) override {
    chart_lines.emplace_back(line);
    transcript.push_back("chart> " + std::string(line));
  }
  std::string chart_read_line() override {
    std::string line = take(chart_input, "chart< ");
    if (on_chart_read) on_chart_read(line);
    return line;
  }
  void chart_close() override {
    chart_is_open = false;
    transcript.emplace_back("chart: close");
  }
  void chart_clear() override {
    ++clears;
    chart_lines.clear();
    segments.clear();
    transcript.emplace_back("chart: clear");
  }
  std::uint32_t set_color_rgb(std::uint32_t c) override {
    const std::uint32_t previous = colour;
    colour = c;
    return previous;
  }
  PixelPoint move_to(std::int16_t x, std::int16_t y) override {
    const PixelPoint previous = position;
    position = {x, y};
    return previous;
  }
  void line_to(std::int16_t x, std::int16_t y) override {
    segments.push_back({position.x, position.y, x, y, colour & 0xFFFFFFu});
    position = {x, y};
  }
  Cursor set_mouse_cursor(Cursor c) override {
    const Cursor previous = cursor;
    cursor = c;
    return previous;
  }
  MouseEvent wait_mouse_event(int mask) override {
    while (!mouse_input.empty()) {
      const MouseEvent e = mouse_input.front();
      mouse_input.pop_front();
      if (e.event & mask) {
        transcript.push_back(e.event == kPassKey ? "chart: key" : "chart: mouse " + std::to_string(e.event));
        return e;
      }
    }
    throw InputClosed("no more clicks");
  }
  void program_stop() override {
    stopped = true;
    transcript.emplace_back("stop");
  }
  void show_note(std::string_view note) override {
    notes.emplace_back(note);
    if (on_note) on_note(notes.back());
  }
  void show_place(const Place& where) override { place = where; }
  void show_time_axis(const TimeAxis& shown) override { axis = shown; }
  void show_unsaved(bool changed) override { unsaved = changed; }
  ExitChoice confirm_exit() override {
    ++exit_questions;
    return exit_choice;
  }
  ChangedFileAnswer ask_changed_file(const ChangedFile& changed) override {
    changed_files.push_back(changed);
    transcript.push_back("changed file?");
    return changed_file_answer;
  }

 private:
  std::string take(std::deque<std::string>& queue, const char* tag) {
    if (queue.empty()) throw InputClosed(std::string("no more input after ") + tag);
    std::string line = queue.front();
    queue.pop_front();
    transcript.push_back(tag + line);
    return line;
  }
};

}  // namespace telmor::test
