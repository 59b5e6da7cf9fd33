// The save and load dialogues of the results file.
#include "driver/results_dialogues.h"

#include <memory>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "console/reply_read.h"
#include "files/file_replace.h"
#include "files/file_seen_now.h"
#include "session/part_file.h"
#include "base/utf8_path.h"
#include "results/results_format.h"
#include "results/results_parse.h"
#include "record/loaded_results.h"
#include "record/text_rules.h"
#include "words/words.h"

namespace telmor {
namespace {

// A line naming the results file with all its columns, trailing blanks included.
std::string about_file(std::string_view before, const RunRecord& record, std::string_view after) {
  std::string line(before);
  line += shown_result_path(record);
  line += after;
  return line;
}

bool answered_yes(WindowLayer& layer) {
  return is_yes(read_reply(layer, Window::chart));
}

// Reads the whole file into loaded; the reason line when it cannot.
std::string read_results_file(const std::filesystem::path& file, int lead_count,
                              LoadedTables& loaded, const FileAccess& files) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(file, ec);
  // Checked first: opening would create nothing, but a folder opens and then fails to read.
  if (status.type() == std::filesystem::file_type::not_found)
    return japanese().open_error(std::make_error_code(std::errc::no_such_file_or_directory));
  if (status.type() == std::filesystem::file_type::directory)
    return japanese().open_error(std::make_error_code(std::errc::is_a_directory));

  std::error_code error;
  const std::unique_ptr<std::istream> in = files.open_read(file, error);
  if (!in) return japanese().open_error(error);
  const ParseResult parsed = parse_results(*in, lead_count, loaded);
  return parsed.fault == ParseFault::none ? std::string() : japanese().parse_fault(parsed);
}

// What the chart window says of a change someone else made to the file.
std::string_view change_line(FileChange change) {
  switch (change) {
    case FileChange::removed:
      return "このファイルは、この画面が最後に見た後に、ほかで削除されています。";
    case FileChange::created:
      return "このファイルは、この画面が最後に見た時にはなく、その後ほかで作られています。";
    case FileChange::changed:
    case FileChange::none:
      break;
  }
  return "このファイルは、この画面が最後に見た後に、ほかで書き換えられています。";
}

// Whether file may be replaced: it is as this run last saw it, or the user
// says to overwrite what someone else made of it. Kept, the chart window
// says so and the tables stay unsaved, even where they equal the file this
// run last saw: that file is no longer there.
bool may_replace(WindowLayer& layer, RunRecord& record, const std::filesystem::path& file,
                 const FileAccess& files) {
  const FileChange change = change_since(record.results_seen, see_file(file, files));
  if (change == FileChange::none) return true;
  ChangedFile changed{change, std::string(shown_result_path(record))};
  while (!changed.shown_path.empty() && changed.shown_path.back() == ' ') changed.shown_path.pop_back();
  if (layer.ask_changed_file(changed) == ChangedFileAnswer::overwrite) return true;
  layer.chart_write(about_file("AT,RTデータを", record, "に保存しませんでした。"));
  layer.chart_write(change_line(change));
  layer.chart_write("ファイルはそのままにしました。AT,RTは未保存です。");
  record.kept_others_file = true;
  update_unsaved(record);
  return false;
}

// A name as a line may show it: a control character (which a part file may
// hold, escaped) is shown as '?'.
std::string shown_name(std::string name) {
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') c = '?';
  }
  return name;
}

// A part as the windows name it: the file, its channels, its span and rate.
std::string part_text(const RecordedPart& part) {
  std::string text = shown_name(part.source) + "、チャンネル " + channel_list_text(part.channels) + "、" +
                     seconds_text(part.start_s) + "〜" + seconds_text(part.start_s + part.seconds) + " 秒、" +
                     seconds_text(part.rate_hz) + " Hz";
  if (part.dataset) text += "、データセット " + shown_name(*part.dataset);
  if (part.orientation == 1 || part.orientation == 2)
    text += std::string("、向き ") + (part.orientation == 1 ? "samples-by-leads" : "leads-by-samples");
  return text;
}

// Why the results file of an opened part must not be loaded, in lines: its
// part file records another part, or cannot be read. None when it may: the
// same part, or no part file (a results file written before parts were
// recorded).
std::vector<std::string> part_refusal(const RunRecord& record, const std::filesystem::path& file, const FileAccess& files) {
  if (!record.part) return {};
  const std::filesystem::path part_file = part_file_of(file);
  RecordedPart recorded;
  const PartFileFault fault = read_part_file(part_file, recorded, files);
  if (fault == PartFileFault::missing) return {};
  if (fault != PartFileFault::none)
    return {"この結果ファイルがどの部分のものかを記録したファイル " + utf8_from_path(part_file) + " を読めません。"};
  if (recorded == *record.part) return {};
  return {"この結果ファイルは別の部分（" + part_text(recorded) + "）の結果です。",
          "開いているのは " + part_text(*record.part) + " です。"};
}

}  // namespace

void save_results(WindowLayer& layer, RunRecord& record, const std::filesystem::path& file,
                  const FileAccess& files) {
  layer.chart_write(about_file("AT,RTデータを", record, "に保存します。"));
  layer.chart_write("いいですか? <y/n>");
  if (!answered_yes(layer)) return;
  write_results(layer, record, file, files);
}

bool write_results(WindowLayer& layer, RunRecord& record, const std::filesystem::path& file,
                   const FileAccess& files) {
  if (!may_replace(layer, record, file, files)) return false;
  std::string text;
  const FormatResult formatted = format_results(record.marks, record.lead_count, text);
  std::string reason;
  std::error_code error;
  if (formatted.fault != FormatFault::none) {
    reason = japanese().format_fault(formatted);
  } else if (record.part &&
             (error = replace_file_contents(part_file_of(file), part_file_text(*record.part), files))) {
    // The part first: a results file is never left beside another part's record by a failure.
    reason = japanese().write_error(error);
  } else if ((error = replace_file_contents(file, text, files))) {
    reason = japanese().write_error(error);
  }
  if (!reason.empty()) {
    // The tables stay in memory and the old file as it was; the user may try again.
    layer.chart_write(about_file("AT,RTデータを", record, "に保存できませんでした。"));
    layer.chart_write(reason);
    return false;
  }
  layer.chart_write(about_file("AT,RTデータ", record, "を保存しました。"));
  record.results_seen = seen_content(text);
  note_saved(record);
  return true;
}

void load_results(WindowLayer& layer, RunRecord& record, const std::filesystem::path& file,
                  const FileAccess& files) {
  layer.chart_write(about_file("AT,RTデータを", record, "から読込みます。"));
  layer.chart_write("未保存のAT,RTは消去されます。いいですか? <y/n>");
  if (!answered_yes(layer)) return;

  // The whole file is read before the run's tables are touched, so a bad
  // file leaves them as they were.
  // An opened part loads only results recorded for that part.
  if (const std::vector<std::string> refused = part_refusal(record, file, files); !refused.empty()) {
    layer.chart_write(about_file("AT,RTデータ", record, "を読込めませんでした。"));
    for (const std::string& line : refused) layer.chart_write(line);
    layer.chart_write("AT,RTは変更していません。");
    return;
  }
  LoadedTables loaded;
  // Seen before it is read: should it change meanwhile, a later save asks
  // rather than replaces it unasked.
  const FileSeen seen = see_file(file, files);
  const std::string reason = read_results_file(file, record.lead_count, loaded, files);
  if (!reason.empty()) {
    layer.chart_write(about_file("AT,RTデータ", record, "を読込めませんでした。"));
    layer.chart_write(reason);
    layer.chart_write("AT,RTは変更していません。");
    return;
  }
  store_loaded(loaded, record);
  record.results_seen = seen;
  note_saved(record);
  layer.chart_write(about_file("AT,RTデータ", record, "を読込みました。"));
  if (loaded.file_leads > 0 && loaded.file_leads < record.lead_count) {
    layer.show_note("結果ファイルは" + format_integer(loaded.file_leads) + "誘導分、この記録は" +
                    format_integer(record.lead_count) + "誘導です（誘導" +
                    format_integer(loaded.file_leads + 1) + "以降は空です）。");
  }
}

}  // namespace telmor
