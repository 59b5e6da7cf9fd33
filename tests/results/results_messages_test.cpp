// The reasons of failed saves and loads: the common causes in the user's
// words, the system's own text only for the rest.
#include <gtest/gtest.h>

#include <string>
#include <system_error>

#include "results/results_messages.h"

namespace telmor {
namespace {

bool has_latin_letters(const std::string& text) {
  for (const char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  }
  return false;
}

struct Cause {
  std::errc code;
  const char* writing;
  const char* reading;
};

TEST(SystemErrorReason, CommonCausesInPlainWords) {
  const Cause cases[] = {
      {std::errc::no_such_file_or_directory, "フォルダがありません。", "ファイルがありません。"},
      {std::errc::permission_denied, "書き込みが許可されていません。", "読込みが許可されていません。"},
      {std::errc::operation_not_permitted, "書き込みが許可されていません。",
       "読込みが許可されていません。"},
      {std::errc::no_space_on_device, "ディスクの空きが足りません。", "ディスクの空きが足りません。"},
      {std::errc::read_only_file_system, "読み取り専用のドライブなので書き込めません。",
       "読み取り専用のドライブなので書き込めません。"},
      {std::errc::is_a_directory, "ファイルではなくフォルダです。", "ファイルではなくフォルダです。"},
      {std::errc::not_a_directory, "パスの途中にフォルダでないファイルがあります。",
       "パスの途中にフォルダでないファイルがあります。"},
      {std::errc::too_many_symbolic_link_levels, "リンクが多すぎるか、循環しています。",
       "リンクが多すぎるか、循環しています。"},
      {std::errc::too_many_links, "リンクの数が上限を超えています。", "リンクの数が上限を超えています。"},
      {std::errc::filename_too_long, "名前が長すぎます。", "名前が長すぎます。"},
      {std::errc::directory_not_empty, "フォルダが空ではありません。", "フォルダが空ではありません。"},
  };
  for (const Cause& cause : cases) {
    const std::error_code error = std::make_error_code(cause.code);
    EXPECT_EQ(write_error_reason(error), cause.writing) << error.message();
    EXPECT_EQ(open_error_reason(error), cause.reading) << error.message();
    EXPECT_FALSE(has_latin_letters(write_error_reason(error))) << error.message();
  }
}

TEST(SystemErrorReason, OtherCausesCarryTheSystemsText) {
  const std::error_code other = std::make_error_code(std::errc::file_too_large);
  EXPECT_EQ(write_error_reason(other), "書き込みエラーです（" + other.message() + "）。");
  EXPECT_EQ(open_error_reason(other), "読込みエラーです（" + other.message() + "）。");
}

TEST(SystemErrorReason, LeftTemporaryNamesTheCause) {
  EXPECT_EQ(left_temporary_reason(std::make_error_code(std::errc::permission_denied)),
            "中断された保存の一時ファイルを消せません（書き込みが許可されていません。）。");
}

}  // namespace
}  // namespace telmor
