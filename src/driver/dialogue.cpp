// Banner and settings dialogue.
#include "driver/dialogue.h"

#include <string>

#include "console/reply_read.h"
#include "record/text_rules.h"

namespace telmor {
namespace {

// Characters, as the name's field counts them: UTF-8 lead bytes.
std::size_t characters_of(std::string_view text) {
  std::size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u ? 1 : 0;
  return characters;
}

constexpr std::string_view kPlusLine = "+++++++++++++++++++++++++++++++++++++++++++++++++++++++";

// Asks a y/n question; true when the user answered n or N.
bool answered_no(WindowLayer& layer, std::string_view question) {
  layer.console_write(question);
  return is_no(read_reply(layer, Window::console));
}

// Asks until the reply is a whole number within [low, high]; a reply that is
// not a number repeats the question, one out of range says why first.
std::int32_t ask_integer(WindowLayer& layer, std::string_view prompt, std::int32_t low,
                         std::int32_t high, std::string_view out_of_range) {
  for (;;) {
    layer.console_write(prompt);
    std::int32_t value = 0;
    if (!read_integer(layer, Window::console, value)) continue;
    if (value >= low && value <= high) return value;
    layer.console_write(out_of_range);
  }
}

float ask_real(WindowLayer& layer, std::string_view prompt) {
  for (;;) {
    layer.console_write(prompt);
    float value = 0.0f;
    if (read_real(layer, Window::console, value)) return value;
  }
}

}  // namespace

std::string_view without_txt(std::string_view typed) {
  if (typed.size() >= 4) {
    const std::string_view end = typed.substr(typed.size() - 4);
    if (end == ".txt" || end == ".TXT") typed.remove_suffix(4);
  }
  return typed;
}

std::string file_name_note(std::string_view typed) {
  const std::string shown = "「" + std::string(typed) + "」";
  if (typed.find(' ') != std::string_view::npos)
    return "ファイル名" + shown + "に空白があります。空白より前だけを名前として使います";
  const std::string_view name = without_txt(typed);
  if (characters_of(name) > 12)
    return "ファイル名" + shown + "は12文字を超えていますが、そのまま " + std::string(name) + ".txt を開きます";
  if (name.size() != typed.size())
    return "ファイル名" + shown + "の.txtは拡張子として扱い、" + std::string(name) + ".txt を開きます";
  return {};
}

void write_banner(WindowLayer& layer) {
  layer.console_write(kPlusLine);
  layer.console_write("30秒以内のTXT形式EPS波形データ横n誘導、縦m時間を読み込み");
  layer.console_write("AT,RTを自動認識、視認修正、データ保存を行うものです。");
  layer.console_write("動かす前に****.txtがドライブd:のフォルダ\\data\\mapに");
  layer.console_write("あることを確認してください。");
  layer.console_write(kPlusLine);
}

std::string build_paths(RunRecord& record, std::string_view name) {
  std::string path(record.drive.view());
  path += ":\\data\\map\\";
  const std::string folder = path;
  path += record.file_name.view();
  record.data_path.assign(path);
  std::string shown(record.data_path.view());

  // The name holds no blank unless it was quoted, and is at most 12
  // characters, so a blank is always found within the 30 characters.
  const std::string_view full = record.data_path.view();
  const std::string stem(full.substr(0, full.find(' ')));
  record.data_path.assign(stem + ".txt");
  record.result_path.assign(stem + "ari.csv");

  // A longer name than the field keeps is opened as typed: the windows show
  // its whole path, the field its first 12 characters.
  const std::string_view whole = name.substr(0, name.find(' '));
  record.shown_data_path.clear();
  record.shown_result_path.clear();
  record.recording_name.clear();
  if (characters_of(whole) > 12) {
    record.recording_name = std::string(whole);
    record.shown_data_path = folder + record.recording_name + ".txt";
    record.shown_result_path = folder + record.recording_name + "ari.csv";
    shown = folder + std::string(name);
  }
  return shown;
}

void run_dialogue(WindowLayer& layer, RunRecord& record) {
  record.smooth_points = 7;
  record.amp_ratio = 0.1f;
  record.at_from = -80;
  record.at_to = 80;
  record.rt_from = 100;
  record.rt_to = 200;
  record.drive.assign("d");

  layer.console_write("可変設定条件");
  if (answered_no(layer, "1)ドライブ:dでいいですか？<y/n>")) {
    layer.console_write("ドライブ(c,dなど一文字）:");
    read_text(layer, Window::console, record.drive);
  }
  if (answered_no(layer, "2)振幅比0.1-1.0 (=検出電位微分値：最大電位微分値でいいですか？<y/n>")) {
    record.amp_ratio = ask_real(layer, "振幅比(0.0-1.0) :");
  }
  if (answered_no(layer, "3)前後7点のデータで平滑化でいいですか？<y/n>")) {
    record.smooth_points = ask_integer(layer, "平滑化点数:", kLeastDialogueSmoothing, kMostDialogueSmoothing,
                                       "0から499の数を入力してください。");
  }
  layer.console_write("TXT形式のファイル名を入力してください。 (xxx.txt):");
  const std::string typed = read_item(layer, Window::console);
  // A .txt typed as the prompt shows it is the file's own, not added again.
  const std::string_view name = without_txt(typed);
  record.file_name.assign(name);
  if (const std::string note = file_name_note(typed); !note.empty()) layer.show_note(note);
  layer.console_write(build_paths(record, name));

  record.lead_count = ask_integer(layer, "記録した誘導点数を入力してください。", 1, 20,
                                  "誘導点数は1から20です。");
  record.record_seconds = ask_integer(layer, "記録した秒数を入力してください。", 1, 30,
                                      "秒数は1から30です。");
  record.sample_count = record.record_seconds * 1000;
}

}  // namespace telmor
