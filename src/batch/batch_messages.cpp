// The words of telmor-batch's reports, made from the reasons' values in one place.
#include "batch_messages.h"

#include "analysis/recording_shape.h"
#include "base/number_text.h"
#include "record/utf8_path.h"
#include "results/results_messages.h"

namespace telmor {
namespace {

using std::filesystem::file_type;

constexpr std::string_view kGiveTheShape = "--leads と --seconds で形を指定してください。";

std::string count(int n) { return format_integer(n); }

std::string type_words(file_type type) {
  switch (type) {
    case file_type::fifo:
      return "FIFO";
    case file_type::directory:
      return "フォルダ";
    case file_type::character:
    case file_type::block:
      return "デバイス";
    case file_type::socket:
      return "ソケット";
    default:
      return "特殊なファイル";
  }
}

std::string not_regular(file_type type) {
  return "通常のファイルではないので開きません（" + type_words(type) + "）。";
}

std::string read_message(const FileRead& read) {
  switch (read.fault) {
    case FileReadFault::not_a_regular_file:
      return not_regular(read.type);
    case FileReadFault::too_large:
      return "記録にしては大きすぎます（記録は最大20誘導×30000行です）。";
    case FileReadFault::read_failed:
      return "読み込めません（読み込み中にエラーが起きました）。";
    case FileReadFault::cannot_open:
    case FileReadFault::none:
      break;
  }
  return "読めません（ファイルを開けません）。";
}

}  // namespace

std::string path_message(const PathProblem& problem) {
  switch (problem.fault) {
    case PathFault::no_such_path:
      return "ファイルもフォルダもありません。";
    case PathFault::not_a_recording_name:
      return "記録ではありません（名前が .txt で終わりません）。";
    case PathFault::folder_unreadable:
      return "フォルダを読めません（" + problem.error.message() + "）。";
    case PathFault::no_recordings:
      return "フォルダに記録（*.txt）がありません。";
    case PathFault::dangling_link:
      return "リンク先がありません（壊れたリンク）。";
    case PathFault::link_loop:
      return "リンクが循環していて、ファイルに行き着きません。";
    case PathFault::not_a_regular_file:
      return not_regular(problem.type);
    case PathFault::named_twice:
      return "同じ記録が2度指定されています。1度だけ解析します。";
    case PathFault::name_not_utf8:
      return "ファイル名がUTF-8ではありません。集計表では読めないバイトを U+FFFD にしました。";
  }
  return {};
}

std::string recording_problem_message(const RecordingProblem& p) {
  switch (p.fault) {
    case RecordingFault::none:
      return {};
    case RecordingFault::no_rows:
      return "データの行がありません。";
    case RecordingFault::first_line_values:
      return "1行目の値の数 " + count(p.count) + " が1から" + count(kMaxRecordingLeads) + "の範囲にありません。" +
             std::string(kGiveTheShape);
    case RecordingFault::rows_not_whole_seconds:
      return "データの行数 " + count(p.count) + " が1000の倍数ではありません（1秒は1000行）。" +
             std::string(kGiveTheShape);
    case RecordingFault::too_many_seconds:
      return "データの行数 " + count(p.count) + " は" + count(p.count / 1000) + "秒で、" +
             count(kMaxRecordingSeconds) + "秒を超えています。";
    case RecordingFault::end_of_file:
      return "読み込みエラー（EOF)です。" + count(p.row) +
             "行目のデータの途中でファイルが終わっています。誘導点数と秒数を確かめてください。";
    case RecordingFault::not_a_number:
      return "読み込みエラー（ERR)です。" + count(p.row) + "行目のデータに数値でない値があります。";
    case RecordingFault::value_beyond_float:
      return "読み込みエラー（ERR)です。" + count(p.row) +
             "行目のデータに32ビット実数の範囲を超える値があります。";
    case RecordingFault::lead_count_mismatch:
      return "誘導点数 " + count(p.leads) + " がファイルの列数と合いません（1行目の値は " +
             count(p.count) + " 個）。" + count(p.row) +
             "行目のデータが行の途中で終わっています。誘導点数に間違えはありませんか。";
    case RecordingFault::cr_line_ends:
      return "行末がCRだけです（改行をCR LFかLFにして保存してください）。";
    case RecordingFault::utf16_text:
      return "UTF-16のテキストです（UTF-8かShift_JISで保存してください）。";
    case RecordingFault::no_amplitude:
      return "データがありません（誘導1〜3の100〜1000 msがすべて0です）。";
    case RecordingFault::no_beat_lead:
      return "拍を探す誘導 " + count(p.count) + " がありません（誘導は " + count(p.leads) + " 個）。";
    case RecordingFault::too_large:
      return "記録が大きすぎてメモリに入りません。";
  }
  return {};
}

std::string recording_message(const RecordingReason& reason) {
  switch (reason.fault) {
    case OutcomeFault::none:
      return {};
    case OutcomeFault::results_exist:
      return "結果ファイル " + utf8_from_path(reason.results_file) +
             " が既にあるので解析しませんでした（上書きは --overwrite）。";
    case OutcomeFault::unreadable:
      return read_message(reason.read);
    case OutcomeFault::recording:
      return recording_problem_message(reason.recording);
    case OutcomeFault::results_unformattable:
      return "結果ファイルを書けません（" + format_fault_reason(reason.format) + "）。";
    case OutcomeFault::results_unwritable:
      return "結果ファイル " + utf8_from_path(reason.results_file) + " を書けません（" +
             write_error_reason(reason.error) + "）。";
    case OutcomeFault::maps_unwritable:
      return "マップのファイル " + utf8_from_path(reason.map_file) + " を書けません（" +
             write_error_reason(reason.error) + "）。結果ファイルは書いていません。";
  }
  return {};
}

std::string beyond_results_file_note(int leads, int rows) {
  return "注意: 誘導 " + count(leads) + " 個・" + count(rows) +
         " 行の表は結果ファイル（20誘導・200行まで）に入らないので、集計表にだけ書きました。";
}

std::string fit_messages_note(int lines) {
  return "注意: 最小二乗近似のメッセージが" + count(lines) + "件ありました（近似できない点の微分は0です）。";
}

std::string out_folder_message(std::error_code error) {
  return "結果のフォルダを作れません（" + error.message() + "）。";
}

std::string summary_unwritable_message(std::error_code error) {
  return "集計表を書けません（" + write_error_reason(error) + "）。";
}

std::string summary_refusal_message(SummaryFault fault, const std::filesystem::path& summary) {
  const std::string name = utf8_from_path(summary);
  switch (fault) {
    case SummaryFault::not_csv:
      return "集計表の名前は .csv で終わるものにしてください（" + name + "）。";
    case SummaryFault::is_recording:
      return "集計表 " + name + " は解析する記録です。別の名前にしてください。";
    case SummaryFault::is_results_file:
      return "集計表 " + name + " は書き出す結果ファイルです。別の名前にしてください。";
    case SummaryFault::is_map_table:
      return "集計表 " + name + " は書き出すマップの表です。別の名前にしてください。";
    case SummaryFault::not_a_file:
      return "集計表 " + name + " の場所にファイルでないものがあります。";
    case SummaryFault::not_a_summary:
      return name + " は集計表ではないので上書きしません（1行目が集計表の見出しではありません）。";
    case SummaryFault::none:
      break;
  }
  return {};
}

std::string layout_fault_words(LayoutFault fault) {
  switch (fault) {
    case LayoutFault::none:
      return {};
    case LayoutFault::no_header:
      return "1行目が見出し lead,x_mm,y_mm ではありません";
    case LayoutFault::field_count:
      return "カンマで区切った3つの値（誘導,x,y）ではありません";
    case LayoutFault::bad_lead:
      return "誘導が1以上の整数ではありません";
    case LayoutFault::bad_number:
      return "座標が数値ではありません";
    case LayoutFault::not_finite:
      return "座標が有限の数値ではありません";
    case LayoutFault::lead_twice:
      return "この誘導の位置は前の行にもあります";
    case LayoutFault::too_close:
      return "前の行の電極と1 µm未満しか離れていません";
    case LayoutFault::no_electrodes:
      return "電極の位置が1つもありません";
    case LayoutFault::bad_grid:
      return "格子が 行数x列数（1以上の整数、電極は" + count(kMaxGridElectrodes) + "個まで）ではありません";
    case LayoutFault::bad_pitch:
      return "間隔が0.001 mm以上の有限の数値ではありません";
  }
  return {};
}

std::string grid_refusal_message(LayoutFault fault, std::string_view grid, std::string_view pitch) {
  const bool of_pitch = fault == LayoutFault::bad_pitch;
  return std::string(of_pitch ? "--pitch " : "--grid ") + std::string(of_pitch ? pitch : grid) + ": " +
         layout_fault_words(fault) + "。";
}

std::string layout_file_message(const std::filesystem::path& file, const FileRead& read,
                                const LayoutProblem& problem) {
  const std::string name = "配置ファイル " + utf8_from_path(file);
  if (read.fault != FileReadFault::none) return name + ": " + read_message(read);
  return name + " の" + count(problem.line) + "行目: " + layout_fault_words(problem.fault) + "。";
}

std::string run_report(const RunCounts& c) {
  std::string line = "解析 " + count(c.analysed) + " 件、スキップ " + count(c.skipped) + " 件、失敗 " +
                     count(c.failed) + " 件（" + format_fixed(c.seconds, 1) + " 秒）。";
  switch (c.summary) {
    case SummaryPlace::written:
      return line + "集計表: " + utf8_from_path(c.summary_file);
    case SummaryPlace::failed:
      return line + "集計表は書けませんでした。";
    case SummaryPlace::not_written:
      break;
  }
  return line + "集計表は書いていません（解析した記録がありません）。";
}

}  // namespace telmor
