// The rows of a waveform file: separators, rows over lines, failures.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <bit>
#include <random>
#include <string>

#include "analysis/waveform_rows.h"

namespace telmor {
namespace {

struct Rows : ::testing::Test {
  std::unique_ptr<RunRecord> record = std::make_unique<RunRecord>();

  WaveReadStatus parse(const std::string& text, int leads, int samples) {
    std::istringstream in(text);
    return parse_waveform_rows(in, leads, samples, *record);
  }
  float w(int lead, int sample) const { return record->wave(lead, sample); }
};

TEST_F(Rows, CommasBlanksAndTabsReadAlike) {
  for (const char* text : {"0.1,0.2,0.3\n", "0.1 0.2 0.3\n", "0.1\t0.2\t0.3\n", "0.1 , 0.2 ,0.3\n",
                           "  0.1   0.2\t 0.3  \n"}) {
    record = std::make_unique<RunRecord>();
    ASSERT_EQ(parse(text, 3, 1), WaveReadStatus::ok) << text;
    EXPECT_EQ(w(1, 1), 0.1f);
    EXPECT_EQ(w(2, 1), 0.2f);
    EXPECT_EQ(w(3, 1), 0.3f);
  }
}

TEST_F(Rows, CrLfLineEnds) {
  ASSERT_EQ(parse("1 2\r\n3 4\r\n", 2, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 2), 3.0f);
  EXPECT_EQ(w(2, 2), 4.0f);
}

TEST_F(Rows, RowRunsOverLinesAndSkipsEmptyOnes) {
  ASSERT_EQ(parse("1 2\n\n3\n4 5 6\n", 3, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), 1.0f);
  EXPECT_EQ(w(2, 1), 2.0f);
  EXPECT_EQ(w(3, 1), 3.0f);
  // Row 2 starts on the next line after the one that completed row 1.
  EXPECT_EQ(w(1, 2), 4.0f);
  EXPECT_EQ(w(2, 2), 5.0f);
  EXPECT_EQ(w(3, 2), 6.0f);
}

TEST_F(Rows, ExtraColumnsAreSkipped) {
  ASSERT_EQ(parse("1 2 3 4\n5 6 x y\n", 2, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 2), 5.0f);
  EXPECT_EQ(w(2, 2), 6.0f);
  EXPECT_EQ(w(3, 1), 0.0f);
}

TEST_F(Rows, SlashEndsTheRowAndKeepsTheRest) {
  record->wave(2, 1) = 7.0f;
  record->wave(3, 1) = 8.0f;
  ASSERT_EQ(parse("1 / 9 9\n4 5 6\n", 3, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), 1.0f);
  EXPECT_EQ(w(2, 1), 7.0f);
  EXPECT_EQ(w(3, 1), 8.0f);
  EXPECT_EQ(w(1, 2), 4.0f);
  ASSERT_EQ(parse("1/\n", 1, 1), WaveReadStatus::ok);
}

TEST_F(Rows, EmptyCommaFieldsKeepTheirLead) {
  record->wave(1, 1) = -1.0f;
  record->wave(2, 1) = -2.0f;
  record->wave(2, 2) = -3.0f;
  record->wave(3, 3) = -4.0f;
  // Leading comma: empty lead 1. Two commas: empty lead 2. Comma, line end,
  // comma: one empty value. A comma before the line end is no empty value.
  ASSERT_EQ(parse(",5,6\n7,,8\n9,\n,\n10\n", 3, 3), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), -1.0f);
  EXPECT_EQ(w(2, 1), 5.0f);
  EXPECT_EQ(w(3, 1), 6.0f);
  EXPECT_EQ(w(1, 2), 7.0f);
  EXPECT_EQ(w(2, 2), -3.0f);
  EXPECT_EQ(w(3, 2), 8.0f);
  EXPECT_EQ(w(1, 3), 9.0f);
  EXPECT_EQ(w(2, 3), 0.0f);  // ", \n ," was one empty value: lead 2 kept its 0
  EXPECT_EQ(w(3, 3), 10.0f);
}

TEST_F(Rows, EmptyLastLeadEndsTheRow) {
  record->wave(3, 1) = -9.0f;
  ASSERT_EQ(parse("1,2,,\n4,5,6\n", 3, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(2, 1), 2.0f);
  EXPECT_EQ(w(3, 1), -9.0f);  // kept: the empty value was the row's last
  EXPECT_EQ(w(1, 2), 4.0f);   // the next row starts on the next line
  EXPECT_EQ(w(3, 2), 6.0f);
}

TEST_F(Rows, CommaAtLineEndJoinsTheNextLine) {
  ASSERT_EQ(parse("1,2,\n3\n", 3, 1), WaveReadStatus::ok);
  EXPECT_EQ(w(3, 1), 3.0f);
}

TEST_F(Rows, ShortFileEndsWithEndOfFile) {
  ASSERT_EQ(parse("1 2\n3 4\n", 2, 3), WaveReadStatus::end_of_file);
  EXPECT_EQ(w(1, 2), 3.0f);
  ASSERT_EQ(parse("", 2, 1), WaveReadStatus::end_of_file);
  ASSERT_EQ(parse("1 2\n3", 2, 2), WaveReadStatus::end_of_file);
  EXPECT_EQ(w(1, 2), 3.0f);  // the part of the row already read stays
}

TEST_F(Rows, LastLineWithoutLineEnd) {
  ASSERT_EQ(parse("1 2\n3 4", 2, 2), WaveReadStatus::ok);
  EXPECT_EQ(w(2, 2), 4.0f);
}

TEST_F(Rows, WhatIsNotANumberIsAReadError) {
  for (const char* text : {"lead1 lead2\n1 2\n", "1 2.5D-1\n", "3*1.0 2\n", "'1' 2\n", "1 inf\n",
                           "nan 1\n", "1 1e39\n", "1 \x01\x02\n", "1;2\n"}) {
    EXPECT_EQ(parse(text, 2, 1), WaveReadStatus::read_error) << text;
  }
}

TEST_F(Rows, SignsAndShortDecimalsAreNumbers) {
  ASSERT_EQ(parse("+1 -2 .5 5. 1.5E-2 -1e+1\n", 6, 1), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), 1.0f);
  EXPECT_EQ(w(2, 1), -2.0f);
  EXPECT_EQ(w(3, 1), 0.5f);
  EXPECT_EQ(w(4, 1), 5.0f);
  EXPECT_EQ(w(5, 1), 1.5e-2f);
  EXPECT_EQ(w(6, 1), -10.0f);
}

TEST_F(Rows, ByteOrderMarkIsSkipped) {
  ASSERT_EQ(parse("\xEF\xBB\xBF" "1 2\n", 2, 1), WaveReadStatus::ok);
  EXPECT_EQ(w(1, 1), 1.0f);
}

TEST_F(Rows, LinesAfterTheLastRowAreNeverRead) {
  ASSERT_EQ(parse("1\n2\nnot a number\n", 1, 2), WaveReadStatus::ok);
}

// The file-level reader with its console blocks.
// The reader of the programs (the whole text in memory, numbers on their
// fast path) against the straightforward one: the same values, the same
// failures, on texts made of every piece the row grammar knows.
TEST(FastRows, ReadLikeTheStraightforwardReader) {
  const char* const pieces[] = {"0.1234", "-12.5", "7", "+.5", "1e3", "1.5E-2", "-0", "3.4e38",
                                "1e39", "abc", "1.2.3", " ", "  ", "\t", ",", ", ", "/", "\n",
                                "\r\n", "\n\n", "" /* a NUL byte */, "16777217",
                                "0.000000000001", "\xEF\xBB\xBF"};
  std::mt19937 random(1208);
  // Two records for all texts (a record is megabytes): the rows a text can
  // reach are cleared before each.
  auto fast = std::make_unique<RunRecord>();
  auto reference = std::make_unique<RunRecord>();
  constexpr int kMostSamples = 12;
  for (int n = 0; n < 3000; ++n) {
    for (int lead = 1; lead <= kMaxLeads; ++lead) {
      for (int sample = 1; sample <= kMostSamples; ++sample) {
        fast->wave(lead, sample) = 0.0f;
        reference->wave(lead, sample) = 0.0f;
      }
    }
    std::string text = n % 7 == 0 ? "\xEF\xBB\xBF" : "";
    const int length = 1 + static_cast<int>(random() % 120);
    for (int k = 0; k < length; ++k) {
      const char* piece = pieces[random() % std::size(pieces)];
      text += piece[0] == '\0' && n % 2 ? std::string(1, '\0') : std::string(piece);
      if (random() % 3 == 0) text += ' ';
    }
    const int leads = 1 + static_cast<int>(random() % 20);
    const int samples = 1 + static_cast<int>(random() % kMostSamples);
    std::istringstream in(text);
    const WaveReadStatus expected = parse_waveform_rows(in, leads, samples, *reference);
    const WaveRows rows = read_waveform_rows(text, leads, samples, *fast);
    ASSERT_EQ(rows.status, expected) << '"' << text << "\" leads " << leads;
    for (int lead = 1; lead <= kMaxLeads; ++lead) {
      for (int sample = 1; sample <= samples; ++sample) {
        ASSERT_EQ(std::bit_cast<std::uint32_t>(fast->wave(lead, sample)),
                  std::bit_cast<std::uint32_t>(reference->wave(lead, sample)))
            << '"' << text << "\" lead " << lead << " sample " << sample;
      }
    }
  }
}

TEST(FastRows, NameTheRowWhereTheyStopped) {
  auto record = std::make_unique<RunRecord>();
  EXPECT_EQ(read_waveform_rows("1 2\n3 4\n", 2, 2, *record).row, 2);
  EXPECT_EQ(read_waveform_rows("1 2\n3 4\n", 2, 3, *record).row, 3);
  EXPECT_EQ(read_waveform_rows("1 2\nx 4\n", 2, 3, *record).row, 2);
  EXPECT_EQ(read_waveform_rows("1 2\nx 4\n", 2, 3, *record).status, WaveReadStatus::read_error);
}

}  // namespace
}  // namespace telmor
