// The catalogues: every reason, flag and review state has its words in each
// language, and the reasons of failed saves and loads are the common causes
// in the user's words, the system's own text only for the rest.
#include <gtest/gtest.h>

#include <string>
#include <system_error>
#include <vector>

#include "words/words.h"

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
    EXPECT_EQ(japanese().write_error(error), cause.writing) << error.message();
    EXPECT_EQ(japanese().open_error(error), cause.reading) << error.message();
    EXPECT_FALSE(has_latin_letters(japanese().write_error(error))) << error.message();
  }
}

TEST(SystemErrorReason, OtherCausesCarryTheSystemsText) {
  const std::error_code other = std::make_error_code(std::errc::file_too_large);
  EXPECT_EQ(japanese().write_error(other), "書き込みエラーです（" + other.message() + "）。");
  EXPECT_EQ(japanese().open_error(other), "読込みエラーです（" + other.message() + "）。");
}

TEST(SystemErrorReason, LeftTemporaryNamesTheCause) {
  EXPECT_EQ(japanese().left_temporary(std::make_error_code(std::errc::permission_denied)),
            "中断された保存の一時ファイルを消せません（書き込みが許可されていません。）。");
}

// Every value of every enum the catalogues take, but none: a text in each
// language, and not the same text for two values (a reader could not tell
// them apart). The enums' last values are named so that a value added after
// them fails here until it has its words.
template <typename Enum>
std::vector<Enum> all_but_none(Enum last) {
  std::vector<Enum> values;
  for (int v = 1; v <= static_cast<int>(last); ++v) values.push_back(static_cast<Enum>(v));
  return values;
}

bool is_ascii(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

TEST(Catalogues, EveryValueHasItsOwnWordsInEachLanguage) {
  for (const Language language : {Language::japanese, Language::english}) {
    const Words& w = words(language);
    EXPECT_EQ(w.language(), language);
    // The texts of each kind of value, apart: within a kind no two alike.
    std::vector<std::vector<std::string>> kinds(7);
    for (const RecordingFault f : all_but_none(RecordingFault::too_large))
      kinds[0].push_back(w.recording_problem({f, 12, 34, 5}));
    for (const AnalysisFault f : all_but_none(AnalysisFault::amplitude_lost))
      kinds[1].push_back(w.analysis_problem({f, 2, 9.0, 3}));
    for (const LayoutFault f : all_but_none(LayoutFault::too_many)) kinds[2].push_back(w.layout_fault(f));
    for (const MarkReview at : all_but_none(MarkReview::weak)) {
      kinds[3].push_back(w.mark_review(at, MarkReview::none));
      kinds[3].push_back(w.mark_review(MarkReview::none, at));
      for (const MarkReview rt : all_but_none(MarkReview::weak)) kinds[3].push_back(w.mark_review(at, rt));
    }
    for (const WaveCause c : all_but_none(WaveCause::value_beyond_float))
      kinds[4].push_back(w.read_note({WaveReadStatus::read_error, 7, 0, c}, 3));
    kinds[4].push_back(w.read_note({WaveReadStatus::lead_count_mismatch, 7, 4, WaveCause::none}, 3));
    for (const FormatFault f : all_but_none(FormatFault::time_too_wide))
      kinds[5].push_back(w.format_fault({f, Block::rt, 201, 2, 3}));
    for (const ParseFault f : all_but_none(ParseFault::read_error))
      kinds[6].push_back(w.parse_fault({f, Block::at, 5, 2, 300}));
    std::vector<std::string> texts;
    for (const std::vector<std::string>& kind : kinds) {
      for (std::size_t i = 0; i < kind.size(); ++i) {
        EXPECT_FALSE(kind[i].empty());
        for (std::size_t j = i + 1; j < kind.size(); ++j) EXPECT_NE(kind[i], kind[j]) << kind[i];
      }
      texts.insert(texts.end(), kind.begin(), kind.end());
    }
    // English is plain ASCII but for the one multiplication sign of a shape.
    if (language == Language::english) {
      for (const std::string& text : texts) {
        if (text.find("×") == std::string::npos) {
          EXPECT_TRUE(is_ascii(text)) << text;
        }
      }
    }
    // No words for what is not wrong.
    EXPECT_EQ(w.recording_problem({}), "");
    EXPECT_EQ(w.analysis_problem({}), "");
    EXPECT_EQ(w.mark_review(MarkReview::none, MarkReview::none), "");
    EXPECT_EQ(w.read_note({WaveReadStatus::end_of_file, 3, 0, WaveCause::none}, 3), "");
  }
}

TEST(Catalogues, AShapeIsAskedForWhereStatingItMendsTheRead) {
  EXPECT_TRUE(asks_for_shape(RecordingFault::first_line_values));
  EXPECT_TRUE(asks_for_shape(RecordingFault::rows_not_whole_seconds));
  EXPECT_FALSE(asks_for_shape(RecordingFault::not_a_number));
  EXPECT_FALSE(asks_for_shape(RecordingFault::too_many_seconds));
}

}  // namespace
}  // namespace telmor
