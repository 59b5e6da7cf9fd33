// Waveform file reading and its message blocks.
#include "driver/waveform_reader.h"

#include <fstream>
#include <string>

#include "console/number_text.h"
#include "console/reply_read.h"
#include "driver/drive_path.h"

namespace telmor {
namespace {

constexpr std::string_view kAsterisks = "****************************************";

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool ends_value(char c) { return is_blank(c) || c == ',' || c == '/'; }

// One row: lead_count values into sample `sample` of leads 1..lead_count.
WaveReadStatus parse_row(std::istream& text, std::string& line, int lead_count, int sample,
                         RunRecord& record) {
  int lead = 0;
  // A comma with no value since the row's start or since the last comma is an
  // empty value; line ends only separate, like blanks.
  bool after_comma = true;
  while (std::getline(text, line)) {
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p != end) {
      if (is_blank(*p)) {
        ++p;
        continue;
      }
      if (*p == '/') return WaveReadStatus::ok;
      if (*p == ',') {
        ++p;
        if (after_comma && ++lead == lead_count) return WaveReadStatus::ok;
        after_comma = true;
        continue;
      }
      const char* start = p;
      while (p != end && !ends_value(*p)) ++p;
      float value = 0.0f;
      if (!parse_real(std::string_view(start, static_cast<std::size_t>(p - start)), value))
        return WaveReadStatus::read_error;
      record.wave(++lead, sample) = value;
      if (lead == lead_count) return WaveReadStatus::ok;
      after_comma = false;
    }
  }
  return text.bad() ? WaveReadStatus::read_error : WaveReadStatus::end_of_file;
}

void write_block_end(WindowLayer& layer) {
  layer.console_write(kAsterisks);
  layer.console_write("何か入力してください。");
}

}  // namespace

WaveReadStatus parse_waveform_rows(std::istream& text, int lead_count, int sample_count,
                                   RunRecord& record) {
  // A byte-order mark, as some editors save it, is not data.
  if (text.peek() == 0xEF) {
    char bom[3] = {};
    text.read(bom, 3);
    if (!(bom[1] == '\xBB' && bom[2] == '\xBF')) {
      text.clear();
      text.seekg(0);
    }
  }
  std::string line;  // one buffer for every line of the file
  for (int sample = 1; sample <= sample_count; ++sample) {
    const WaveReadStatus status = parse_row(text, line, lead_count, sample, record);
    if (status != WaveReadStatus::ok) return status;
  }
  return WaveReadStatus::ok;
}

bool read_waveform_file(WindowLayer& layer, RunRecord& record,
                        const std::filesystem::path& drives_root) {
  if (record.lead_count == 1) layer.console_write("誘導点は１です。");

  const std::filesystem::path path = host_path(record.data_path.view(), drives_root);
  std::error_code ec;
  std::ifstream file;
  if (!std::filesystem::is_directory(path, ec)) file.open(path, std::ios::binary);

  WaveReadStatus status = WaveReadStatus::cannot_open;
  if (file.is_open()) {
    status = parse_waveform_rows(file, record.lead_count, record.sample_count, record);
    file.close();
  }

  const std::string_view data_path = record.data_path.view();
  switch (status) {
    case WaveReadStatus::ok:
      layer.console_write(std::string("波形データ") + std::string(data_path) + "を読み込みました。");
      return true;
    case WaveReadStatus::cannot_open:
      layer.console_write(kAsterisks);
      layer.console_write(std::string(data_path) + "が読めません。考えられるのは、");
      layer.console_write("　ファイルが指定のドライブのフォルダにない。");
      layer.console_write("　ファイルが他で使用中または、TXT形式でない。");
      layer.console_write("　誘導点数、記録時間(30秒以内）が間違えているなど。");
      break;
    case WaveReadStatus::read_error:
      layer.console_write(kAsterisks);
      layer.console_write(data_path);
      layer.console_write("の読み込みエラー（ERR)です。");
      layer.console_write("ファイルの形式はTXTですか？");
      break;
    case WaveReadStatus::end_of_file:
      layer.console_write(kAsterisks);
      layer.console_write(data_path);
      layer.console_write("の読み込みエラー（EOF)です。、");
      layer.console_write("誘導点数、記録時間(30秒以内）に間違えはありませんか。");
      break;
  }
  write_block_end(layer);
  read_text(layer, Window::console, record.reply);
  return false;
}

}  // namespace telmor
