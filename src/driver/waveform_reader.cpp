// Waveform file reading and its message blocks.
#include "driver/waveform_reader.h"

#include <fstream>
#include <string>

#include "analysis/waveform_rows.h"
#include "console/reply_read.h"
#include "driver/drive_path.h"

namespace telmor {
namespace {

constexpr std::string_view kAsterisks = "****************************************";

void write_block_end(WindowLayer& layer) {
  layer.console_write(kAsterisks);
  layer.console_write("何か入力してください。");
}

}  // namespace

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
