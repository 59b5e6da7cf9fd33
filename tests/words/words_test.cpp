// The catalogues: every reason, flag and review state has its words in each
// language, and the reasons of failed saves and loads are the common causes
// in the user's words, the system's own text only for the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
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

// The last value of every enum the catalogues take. The enums' own headers
// are counted below: a value added anywhere fails that count until it is
// named here, and then the catalogues' test asks for its words.
constexpr RecordingFault kLastRecordingFault = RecordingFault::library_hung;
constexpr AnalysisFault kLastAnalysisFault = AnalysisFault::amplitude_lost;
constexpr LayoutFault kLastLayoutFault = LayoutFault::too_many;
constexpr MarkReview kLastMarkReview = MarkReview::near_edge;
constexpr WaveCause kLastWaveCause = WaveCause::value_beyond_float;
constexpr FormatFault kLastFormatFault = FormatFault::time_too_wide;
constexpr ParseFault kLastParseFault = ParseFault::read_error;

// The enumerators of enum class `name` in a header of the sources, counted
// from its text (comments left out).
int enumerators_in(const std::string& header, const std::string& name) {
  std::ifstream in(std::string(TELMOR_SOURCE_DIR) + "/src/" + header);
  std::string text, line;
  while (std::getline(in, line)) text += line.substr(0, line.find("//")) + "\n";
  const std::size_t at = text.find("enum class " + name + " ");
  if (at == std::string::npos) return -1;
  const std::size_t open = text.find('{', at), close = text.find('}', at);
  int count = 0;
  bool in_name = false;
  // Names stand after the brace or a comma; what follows one (its value
  // given with '=' included) is not another name.
  for (std::size_t i = open + 1; i < close; ++i) {
    const char c = text[i];
    if (c == ',') {
      in_name = false;
    } else if (!in_name && (std::isalpha(static_cast<unsigned char>(c)) || c == '_')) {
      in_name = true;
      ++count;
    }
  }
  return count;
}

TEST(Catalogues, NameTheLastValueOfEveryEnumTheyTake) {
  struct Enum {
    const char* header;
    const char* name;
    int last;
  };
  const Enum enums[] = {
      {"signal/include/signal/recording_problem.h", "RecordingFault", static_cast<int>(kLastRecordingFault)},
      {"timing/include/timing/analysis.h", "AnalysisFault", static_cast<int>(kLastAnalysisFault)},
      {"signal/include/signal/electrode_layout.h", "LayoutFault", static_cast<int>(kLastLayoutFault)},
      {"timing/include/timing/beat_table.h", "MarkReview", static_cast<int>(kLastMarkReview)},
      {"readers/include/readers/waveform_rows.h", "WaveCause", static_cast<int>(kLastWaveCause)},
      {"results/include/results/results_format.h", "FormatFault", static_cast<int>(kLastFormatFault)},
      {"results/include/results/results_parse.h", "ParseFault", static_cast<int>(kLastParseFault)},
  };
  for (const Enum& e : enums) EXPECT_EQ(enumerators_in(e.header, e.name), e.last + 1) << e.name;
}

// Every value of every enum the catalogues take, but none: a text in each
// language, and not the same text for two values (a reader could not tell
// them apart).
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
    for (const RecordingFault f : all_but_none(kLastRecordingFault))
      kinds[0].push_back(w.recording_problem({f, 12, 34, 5}));
    for (const AnalysisFault f : all_but_none(kLastAnalysisFault))
      kinds[1].push_back(w.analysis_problem({.fault = f, .part = SettingPart::rt, .value = 9.0, .lead = 2, .leads = 3}));
    for (const LayoutFault f : all_but_none(kLastLayoutFault)) kinds[2].push_back(w.layout_fault(f));
    for (const MarkReview at : all_but_none(kLastMarkReview)) {
      kinds[3].push_back(w.mark_review(at, MarkReview::none));
      kinds[3].push_back(w.mark_review(MarkReview::none, at));
      for (const MarkReview rt : all_but_none(kLastMarkReview)) kinds[3].push_back(w.mark_review(at, rt));
    }
    for (const WaveCause c : all_but_none(kLastWaveCause))
      kinds[4].push_back(w.read_note({WaveReadStatus::read_error, 7, 0, c}, 3));
    kinds[4].push_back(w.read_note({WaveReadStatus::lead_count_mismatch, 7, 4, WaveCause::none}, 3));
    for (const FormatFault f : all_but_none(kLastFormatFault))
      kinds[5].push_back(w.format_fault({f, Block::rt, 201, 2, 3}));
    for (const ParseFault f : all_but_none(kLastParseFault))
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

// How often each of the placeholders' values stands in a text, as a word of
// its own (not inside a longer number).
std::vector<int> placeholders_in(const std::string& text, const std::vector<std::string>& values) {
  std::vector<int> counts;
  for (const std::string& value : values) {
    int n = 0;
    for (std::size_t at = text.find(value); at != std::string::npos; at = text.find(value, at + 1)) {
      const bool digit_before = at > 0 && std::isdigit(static_cast<unsigned char>(text[at - 1]));
      const std::size_t end = at + value.size();
      const bool digit_after = end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]));
      n += !digit_before && !digit_after;
    }
    counts.push_back(n);
  }
  return counts;
}

// Each value's text fills in the same placeholders in both languages: one
// that a language leaves out or says twice fails. The values are numbers no
// text holds of its own.
TEST(Catalogues, BothLanguagesFillInTheSamePlaceholders) {
  const std::vector<std::string> values = {"4711", "8123", "37", "977", "23", "31", "213", "17", "19",
                                           "53", "29", "307", "71", "41", "43"};
  const auto texts_of = [](const Words& w) {
    std::vector<std::string> texts;
    for (const RecordingFault f : all_but_none(kLastRecordingFault))
      texts.push_back(w.recording_problem({f, 4711, 8123, 37}));
    for (const AnalysisFault f : all_but_none(kLastAnalysisFault))
      texts.push_back(w.analysis_problem({.fault = f, .part = SettingPart::rt, .value = 977.0, .lead = 23, .leads = 31}));
    for (const FormatFault f : all_but_none(kLastFormatFault))
      texts.push_back(w.format_fault({f, Block::rt, 213, 17, 19}));
    for (const ParseFault f : all_but_none(kLastParseFault)) texts.push_back(w.parse_fault({f, Block::at, 53, 29, 307}));
    for (const WaveCause c : all_but_none(kLastWaveCause))
      texts.push_back(w.read_note({WaveReadStatus::read_error, 71, 0, c}, 41));
    texts.push_back(w.read_note({WaveReadStatus::lead_count_mismatch, 71, 43, WaveCause::none}, 41));
    return texts;
  };
  const std::vector<std::string> ja = texts_of(japanese()), en = texts_of(english());
  ASSERT_EQ(ja.size(), en.size());
  for (std::size_t k = 0; k < ja.size(); ++k)
    EXPECT_EQ(placeholders_in(ja[k], values), placeholders_in(en[k], values)) << ja[k] << " / " << en[k];
}

TEST(Catalogues, AShapeIsAskedForWhereStatingItMendsTheRead) {
  EXPECT_TRUE(asks_for_shape(RecordingFault::first_line_values));
  EXPECT_TRUE(asks_for_shape(RecordingFault::rows_not_whole_seconds));
  EXPECT_FALSE(asks_for_shape(RecordingFault::not_a_number));
  EXPECT_FALSE(asks_for_shape(RecordingFault::too_many_seconds));
}

}  // namespace
}  // namespace telmor
