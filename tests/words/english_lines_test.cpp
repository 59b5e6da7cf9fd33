// The program's lines in English: fixed lines, lines with names and numbers
// in them (the parts kept), parts that are lines themselves, and what no
// pattern knows keeping its words with English punctuation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "words/english_lines.h"

namespace telmor {
namespace {

TEST(EnglishLines, EachLineOfTheFlowInEnglishWithItsParts) {
  struct Case {
    const char* japanese;
    const char* english;
  };
  const std::vector<Case> cases = {
      {"可変設定条件", "Settings"},
      {"波形データd:\\data\\map\\sample.txt        を読み込みました。",
       "Read the waveform data d:\\data\\map\\sample.txt        ."},
      {"選択した点（msec） 4890", "Point chosen (msec) 4890"},
      {"誘導  2の  1.5-  2.5secを解析します。", "Lead  2   1.5-  2.5sec is analysed."},
      {"誘導3 AT 2583 ms を追加", "Added lead 3's AT 2583 ms"},
      {"拍 2000 ms を削除しました（印 2 個）", "Removed the beat at 2000 ms (2 marks)"},
      // A part that is a line of its own.
      {"微分を中心化3次（RT用 35 ms）にしました。次の c から使われます",
       "The derivative is now the centred cubic (RT's: 35 ms). The next c uses it"},
      {"ASCII stays as it is", "ASCII stays as it is"},
      // Unknown: its punctuation in English, its words kept.
      {"未知の行（1、2）", "未知の行 (1, 2)"},
  };
  for (const Case& c : cases) EXPECT_EQ(english_line(c.japanese), c.english) << c.japanese;
}

TEST(EnglishLines, JapaneseIsToldFromOtherCharacters) {
  EXPECT_TRUE(holds_japanese("誘導"));
  EXPECT_TRUE(holds_japanese("ｱ"));   // half-width katakana
  EXPECT_TRUE(holds_japanese("（"));  // full-width forms
  EXPECT_FALSE(holds_japanese("1.5–2.5 s → ±3 °C"));
  EXPECT_FALSE(holds_japanese("plain"));
}

}  // namespace
}  // namespace telmor
