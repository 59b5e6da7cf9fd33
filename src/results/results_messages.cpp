// Reason lines of the results dialogues.
#include "results/results_messages.h"

#include "base/number_text.h"

namespace telmor {
namespace {

bool is_permission(std::error_code error) {
  return error == std::errc::permission_denied || error == std::errc::operation_not_permitted;
}

// The common causes, the same whichever way the file was used; empty for the rest.
std::string_view shared_cause(std::error_code error) {
  if (error == std::errc::no_space_on_device) return "ディスクの空きが足りません。";
  if (error == std::errc::read_only_file_system) return "読み取り専用のドライブなので書き込めません。";
  if (error == std::errc::is_a_directory) return "ファイルではなくフォルダです。";
  if (error == std::errc::not_a_directory) return "パスの途中にフォルダでないファイルがあります。";
  if (error == std::errc::directory_not_empty) return "フォルダが空ではありません。";
  if (error == std::errc::too_many_symbolic_link_levels)
    return "リンクが多すぎるか、循環しています。";
  if (error == std::errc::too_many_links) return "リンクの数が上限を超えています。";
  if (error == std::errc::filename_too_long) return "名前が長すぎます。";
  return {};
}

std::string line_number(int line) { return format_integer(line) + "行目"; }

}  // namespace

std::string format_fault_reason(const FormatResult& result) {
  const std::string block(block_name(result.block));
  switch (result.fault) {
    case FormatFault::count_out_of_range:
      return block + "の件数" + format_integer(result.count) + "が0から200の範囲にありません。";
    case FormatFault::time_too_wide:
      return block + "の誘導" + format_integer(result.lead) + "の" + format_integer(result.row) +
             "拍目の時刻が8桁の欄に書けません。";
    case FormatFault::none:
      break;
  }
  return {};
}

std::string system_error_reason(std::error_code error, FileUse use) {
  const bool writing = use == FileUse::writing;
  // Writing creates the file, so a missing name is its folder.
  if (error == std::errc::no_such_file_or_directory)
    return writing ? "フォルダがありません。" : "ファイルがありません。";
  if (is_permission(error))
    return writing ? "書き込みが許可されていません。" : "読込みが許可されていません。";
  if (const std::string_view cause = shared_cause(error); !cause.empty()) return std::string(cause);
  return std::string(writing ? "書き込みエラーです" : "読込みエラーです") + "（" + error.message() +
         "）。";
}

std::string write_error_reason(std::error_code error) {
  return system_error_reason(error, FileUse::writing);
}

std::string open_error_reason(std::error_code error) {
  return system_error_reason(error, FileUse::reading);
}

std::string left_temporary_reason(std::error_code error) {
  return "中断された保存の一時ファイルを消せません（" + write_error_reason(error) + "）。";
}

std::string parse_fault_reason(const ParseResult& result) {
  const std::string where = line_number(result.line);
  const std::string block(block_name(result.block));
  switch (result.fault) {
    case ParseFault::early_end:
      return "ファイルが途中で終わっています（" + where + "がありません）。";
    case ParseFault::not_a_number:
      if (result.lead == 0) return where + "の" + block + "の件数が数値ではありません。";
      return where + "の誘導" + format_integer(result.lead) + "の時刻が数値ではありません。";
    case ParseFault::count_out_of_range:
      return where + "の" + block + "の件数" + format_integer(result.count) +
             "が0から200の範囲にありません。";
    case ParseFault::read_error:
      return "読込み中にエラーが起きました。";
    case ParseFault::none:
      break;
  }
  return {};
}

}  // namespace telmor
