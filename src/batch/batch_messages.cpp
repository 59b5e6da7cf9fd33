// The words of telmor-batch's reports, made from the reasons' values in one place.
#include "batch_messages.h"

#include "readers/recording_shape.h"
#include "base/number_text.h"
#include "base/printable_text.h"
#include "base/utf8_path.h"
#include "words/words.h"

namespace telmor {
namespace {

using std::filesystem::file_type;

constexpr std::string_view kGiveTheShape = "--leads と --seconds で形を指定してください。";

std::string count(int n) { return format_integer(n); }

std::string step_words(BatchStep step) {
  switch (step) {
    case BatchStep::reading:
      return "記録の読み込み中";
    case BatchStep::analysis:
      return "解析中";
    case BatchStep::maps:
      return "マップの表の作成中";
    case BatchStep::figures:
      return "図の作成中";
    case BatchStep::results_file:
      return "結果ファイルの書き込み中";
    case BatchStep::summary:
      return "集計表の行の作成中";
  }
  return {};
}

// A size in bytes, in the largest binary unit it is a whole number of.
std::string format_bytes(std::size_t bytes) {
  if (bytes >= (std::size_t{1} << 30) && bytes % (std::size_t{1} << 30) == 0)
    return format_integer(static_cast<std::int64_t>(bytes >> 30)) + " GiB";
  if (bytes >= (std::size_t{1} << 20) && bytes % (std::size_t{1} << 20) == 0)
    return format_integer(static_cast<std::int64_t>(bytes >> 20)) + " MiB";
  return format_integer(static_cast<std::int64_t>(bytes)) + " バイト";
}

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
      return "大きすぎるので読みません（" + format_bytes(read.limit) + "まで）。";
    case FileReadFault::out_of_memory:
      return "読み込むメモリが足りません。";
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
      return "記録ではありません（名前が .txt .csv .tsv .edf .bdf .gdf .h5 .hdf5 .mat のどれでも終わりません）。";
    case PathFault::own_table:
      return "TELMOR の書く表（結果ファイル、集計表、マップの表、配置）なので記録として読みません。";
    case PathFault::same_results_file:
      return "同じフォルダに同じ名前の記録があり、結果ファイルが同じになるので解析しません（名前を変えてください）。";
    case PathFault::folder_unreadable:
      return "フォルダを読めません（" + problem.error.message() + "）。";
    case PathFault::no_recordings:
      return "フォルダに記録（*.txt、*.csv、*.edf、*.h5、*.mat など）がありません。";
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
  std::string text = japanese().recording_problem(p);
  if (asks_for_shape(p.fault)) text += kGiveTheShape;
  return text;
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
    case OutcomeFault::analysis:
      return japanese().analysis_problem(reason.analysis);
    case OutcomeFault::out_of_memory:
      return "メモリが足りなくなりました（" + step_words(reason.step) + "）。この記録は解析していません。";
    case OutcomeFault::no_beats:
      return "拍が見つかりません（誘導 " + count(reason.beat_lead) +
             " で探しました）。この記録は解析していません。";
    case OutcomeFault::failed:
      return "解析できませんでした（" + step_words(reason.step) + "に " + escaped_controls(reason.detail) +
             "）。この記録は解析していません。";
    case OutcomeFault::results_unformattable:
      return "結果ファイルを書けません（" + japanese().format_fault(reason.format) + "）。";
    case OutcomeFault::results_unwritable:
      return "結果ファイル " + utf8_from_path(reason.results_file) + " を書けません（" +
             japanese().write_error(reason.error) + "）。";
    case OutcomeFault::maps_unwritable:
      return "マップのファイル " + utf8_from_path(reason.map_file) + " を書けません（" +
             japanese().write_error(reason.error) + "）。結果ファイルは書いていません。";
  }
  return {};
}

std::string beyond_results_file_note(int leads, int rows) {
  return "注意: 誘導 " + count(leads) + " 個・" + count(rows) +
         " 行の表は結果ファイル（20誘導・200行まで）に入らないので、集計表にだけ書きました。";
}

std::string velocities_without_value_note(int count) {
  return "注意: 伝導速度の値が出ない電極が" + format_integer(count) +
         "件ありました（伝導速度の表では速さと向きが空、flag は no_value）。";
}

std::string range_warnings_note(const std::vector<RangeWarning>& warnings, bool at) {
  std::vector<int> leads;
  for (const RangeWarning& w : warnings) {
    if (w.at == at) leads.push_back(w.lead);
  }
  if (leads.empty()) return {};
  return "注意: " + japanese().range_warning(leads, at) + "（--ranges auto で提案できます）。";
}

std::string suggested_ranges_note(bool suggested, std::int32_t at_from, std::int32_t at_to, std::int32_t rt_from,
                                  std::int32_t rt_to) {
  if (!suggested)
    return "注意: 認識範囲を提案できませんでした（はっきりした波のある誘導がありません）。指定の範囲 AT " +
           format_integer(at_from) + "〜" + format_integer(at_to) + " ms、RT " + format_integer(rt_from) + "〜" +
           format_integer(rt_to) + " ms で解析しました。";
  return "認識範囲を記録から提案しました: AT " + format_integer(at_from) + "〜" + format_integer(at_to) + " ms、RT " +
         format_integer(rt_from) + "〜" + format_integer(rt_to) + " ms。";
}

std::string maps_left_out_note(int dead_lead, int flagged) {
  return "マップ・伝導速度・回復性・ばらつきから印を除きました: 信号のない誘導の印 " + count(dead_lead) +
         " 個、窓の端に近いか弱い印 " + count(flagged) + " 個。";
}

std::string fit_messages_note(int lines) {
  return "注意: 最小二乗近似のメッセージが" + count(lines) + "件ありました（近似できない点の微分は0です）。";
}

std::string out_folder_message(std::error_code error) {
  return "結果のフォルダを作れません（" + error.message() + "）。";
}

std::string summary_unwritable_message(std::error_code error) {
  return "集計表を書けません（" + japanese().write_error(error) + "）。";
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

std::string grid_refusal_message(LayoutFault fault, std::string_view grid, std::string_view pitch) {
  const bool of_pitch = fault == LayoutFault::bad_pitch;
  return std::string(of_pitch ? "--pitch " : "--grid ") + std::string(of_pitch ? pitch : grid) + ": " +
         japanese().layout_fault(fault) + "。";
}

std::string layout_file_message(const std::filesystem::path& file, const FileRead& read,
                                const LayoutProblem& problem) {
  const std::string name = "配置ファイル " + utf8_from_path(file);
  if (read.fault != FileReadFault::none) return name + ": " + read_message(read);
  return name + " の" + count(problem.line) + "行目: " + japanese().layout_fault(problem.fault) + "。";
}

std::string run_report(const RunCounts& c) {
  std::string line = "解析 " + count(c.analysed) + " 件、スキップ " + count(c.skipped) + " 件、失敗 " +
                     count(c.failed) + " 件（" + format_fixed(c.seconds, 1) + " 秒）。";
  switch (c.summary) {
    case SummaryPlace::written:
      line += "集計表: " + utf8_from_path(c.summary_file);
      break;
    case SummaryPlace::failed:
      line += "集計表は書けませんでした。";
      break;
    case SummaryPlace::not_written:
      line += "集計表は書いていません。";
      break;
  }
  if (c.notes == SummaryPlace::written) line += "、注記: " + utf8_from_path(c.notes_file);
  if (c.notes == SummaryPlace::failed) line += "（注記の表は書けませんでした）";
  return line;
}

}  // namespace telmor
