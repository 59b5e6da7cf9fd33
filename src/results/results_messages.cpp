// Reason lines of the results dialogues.
#include "results/results_messages.h"

#include "base/number_text.h"

namespace telmor {
namespace {

bool is_permission(std::error_code error) {
  return error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
         error == std::errc::read_only_file_system;
}

std::string system_reason(std::string_view what, std::error_code error) {
  return std::string(what) + "（" + error.message() + "）。";
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

std::string write_error_reason(std::error_code error) {
  if (error == std::errc::no_such_file_or_directory) return "フォルダがありません。";
  if (is_permission(error)) return "書き込みが許可されていません。";
  if (error == std::errc::no_space_on_device) return "ディスクの空きが足りません。";
  return system_reason("書き込みエラーです", error);
}

std::string open_error_reason(std::error_code error) {
  if (error == std::errc::no_such_file_or_directory) return "ファイルがありません。";
  if (error == std::errc::is_a_directory) return "ファイルではなくフォルダです。";
  if (is_permission(error)) return "読込みが許可されていません。";
  return system_reason("読込みエラーです", error);
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
