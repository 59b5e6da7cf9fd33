// Waveform file reading and its message blocks.
#include "driver/waveform_reader.h"

#include <fstream>
#include <string>

#include "readers/waveform_rows.h"
#include "base/number_text.h"
#include "console/reply_read.h"
#include "driver/drive_path.h"
#include "base/utf8_path.h"
#include "words/words.h"

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

  const std::filesystem::path path = data_file_of(record, drives_root);
  // A name that climbs out of its drive is a file that cannot be opened.
  const bool outside = record.data_file.empty() && leaves_its_drive(shown_data_path(record));
  if (outside) layer.show_note(kOutsideDrivesNote);
  // Only a regular file is opened: a folder cannot be read, and the open of
  // a FIFO would wait for a writer that may never come.
  std::error_code ec;
  std::ifstream file;
  if (!outside && std::filesystem::is_regular_file(path, ec)) file.open(path, std::ios::binary);

  WaveRows rows{WaveReadStatus::cannot_open};
  if (file.is_open()) {
    rows = parse_waveform_rows(file, record.lead_count, record.sample_count,
                               {&record.wave_table[0][0], kMaxSamples});
    file.close();
  }

  const std::string_view data_path = shown_data_path(record);
  switch (rows.status) {
    case WaveReadStatus::ok:
      layer.console_write(std::string("波形データ") + std::string(data_path) + "を読み込みました。");
      // Extra columns are not read, as they never were; the user is told.
      if (rows.first_line_values > record.lead_count) {
        layer.show_note("ファイルの1行目には値が" + format_integer(rows.first_line_values) +
                        "個あります。誘導点数" + format_integer(record.lead_count) +
                        "を超える列は読んでいません。");
      }
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
    case WaveReadStatus::lead_count_mismatch:
      layer.console_write(kAsterisks);
      layer.console_write(data_path);
      layer.console_write("の誘導点数がファイルの列数と合いません。");
      layer.console_write("誘導点数に間違えはありませんか。");
      break;
  }
  if (const std::string note = japanese().read_note(rows, record.lead_count); !note.empty()) {
    layer.show_note(note);
  } else if (rows.status == WaveReadStatus::cannot_open && !outside) {
    // The block names the drive path; where that is on this machine is the
    // user's first question.
    std::error_code absolute_error;
    const std::filesystem::path folder = std::filesystem::absolute(path, absolute_error).parent_path();
    layer.show_note("探したフォルダ: " + utf8_from_path(folder));
  }
  write_block_end(layer);
  (void)read_reply(layer, Window::console);  // only acknowledges
  return false;
}

}  // namespace telmor
