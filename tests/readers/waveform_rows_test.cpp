// The rows of a waveform file: separators, rows over lines, failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "readers/waveform_rows.h"
#include "support/test_files.h"

namespace telmor {
namespace {

// Leads of the desktop's length, lead after lead, as the readers fill them.
struct Waves {
  static constexpr std::size_t kLeads = 20, kStride = 30000;
  std::vector<float> values = std::vector<float>(kLeads * kStride, 0.0f);
  static std::size_t at(int lead, int sample) {
    return static_cast<std::size_t>(lead - 1) * kStride + static_cast<std::size_t>(sample - 1);
  }
  float& wave(int lead, int sample) { return values[at(lead, sample)]; }
  float wave(int lead, int sample) const { return values[at(lead, sample)]; }
};

WaveTarget wave_target(Waves& w) { return {w.values.data(), Waves::kStride}; }

struct Rows : ::testing::Test {
  std::unique_ptr<Waves> record = std::make_unique<Waves>();

  WaveReadStatus parse(const std::string& text, int leads, int samples) {
    std::istringstream in(text);
    return parse_waveform_rows(in, leads, samples, wave_target(*record)).status;
  }
  float w(int lead, int sample) const { return record->wave(lead, sample); }
};

TEST_F(Rows, CommasBlanksAndTabsReadAlike) {
  for (const char* text : {"0.1,0.2,0.3\n", "0.1 0.2 0.3\n", "0.1\t0.2\t0.3\n", "0.1 , 0.2 ,0.3\n",
                           "  0.1   0.2\t 0.3  \n"}) {
    record = std::make_unique<Waves>();
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

// The reader of the programs (the whole text in memory, usual rows and
// numbers on their fast paths) against the straightforward one: the same
// values, the same failures, on texts made of every piece the row grammar
// knows, and on usual rows with a piece of those here and there.
TEST(FastRows, ReadLikeTheStraightforwardReader) {
  const char* const pieces[] = {
      "0.1234", "-12.5", "7", "+.5", "1e3", "1.5E-2", "-0", "3.4e38", "1e39", "abc", "1.2.3", " ",
      "  ", "\t", ",", ", ", "/", "\n", "\r\n", "\n\n", "" /* a NUL byte */, "16777217",
      "0.000000000001", "\xEF\xBB\xBF", "\r", "\xFF\xFE", "-1e40", "1 2\n", ",\n", "5\n6 7\n",
      "0012.50", "5.", "-.5", "1.17549435e-38", "1e-45", "1.4e-46", "3.40282347e38",
      "3.4028236e38", "9007199254740993", "1234567890123456789", "12345678901234567890",
      "1e22", "1e-22", "1e23", "-1e-23", "1E+5", "1e+", "1e", "+-1", ",,", "\t,", "1,", ".", "-",
      "2.906180500000e+07", "0.0000000000000000000000000000000000000000000001", "1d3", "-0.000e-0"};
  std::mt19937 random(1208);
  // Beyond the 20 leads of a run record, into storage with room between the
  // leads (watched for stray writes).
  constexpr int kMostLeads = 24;
  constexpr int kMostSamples = 12;
  constexpr std::size_t kStride = kMostSamples + 3;
  constexpr float kUntouched = -777.0f;
  std::vector<float> fast(kMostLeads * kStride), reference(kMostLeads * kStride);
  for (int n = 0; n < 6000; ++n) {
    std::fill(fast.begin(), fast.end(), kUntouched);
    std::fill(reference.begin(), reference.end(), kUntouched);
    std::string text = n % 7 == 0 ? "\xEF\xBB\xBF" : "";
    const int leads = 1 + static_cast<int>(random() % kMostLeads);
    const int samples = 1 + static_cast<int>(random() % kMostSamples);
    if (n % 2 == 0) {
      // Usual rows: short decimals, one separator kind, LF or CR LF.
      const char* const separators[] = {" ", "\t", ",", " , ", "  "};
      const char* separator = separators[random() % std::size(separators)];
      const char* line_end = n % 3 == 0 ? "\r\n" : "\n";
      for (int row = 0; row < samples + 1; ++row) {
        for (int lead = 0; lead < leads + static_cast<int>(random() % 2); ++lead) {
          if (lead > 0) text += separator;
          if (random() % 40 == 0) {
            text += pieces[random() % std::size(pieces)];
            continue;
          }
          char buf[32];
          const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
          const auto [end, ec] = std::isfinite(value)
                                     ? std::to_chars(buf, buf + sizeof buf, value,
                                                     std::chars_format::fixed,
                                                     static_cast<int>(random() % 6))
                                     : std::to_chars(buf, buf + sizeof buf, random() % 1000);
          text.append(buf, ec == std::errc{} ? end : buf);
        }
        if (row < samples || random() % 2) text += line_end;
      }
    } else {
      const int length = 1 + static_cast<int>(random() % 120);
      for (int k = 0; k < length; ++k) {
        const char* piece = pieces[random() % std::size(pieces)];
        text += piece[0] == '\0' && n % 4 == 1 ? std::string(1, '\0') : std::string(piece);
        if (random() % 3 == 0) text += ' ';
      }
    }
    std::istringstream in(text);
    const WaveRows expected = parse_waveform_rows(in, leads, samples, {reference.data(), kStride});
    const WaveRows rows = read_waveform_rows(text, leads, samples, {fast.data(), kStride});
    ASSERT_EQ(rows.status, expected.status) << '"' << text << "\" leads " << leads;
    ASSERT_EQ(rows.row, expected.row) << '"' << text << "\" leads " << leads;
    ASSERT_EQ(rows.cause, expected.cause) << '"' << text << "\" leads " << leads;
    ASSERT_EQ(rows.first_line_values, expected.first_line_values) << '"' << text << '"';
    for (std::size_t at = 0; at < fast.size(); ++at) {
      ASSERT_EQ(std::bit_cast<std::uint32_t>(fast[at]), std::bit_cast<std::uint32_t>(reference[at]))
          << '"' << text << "\" lead " << at / kStride + 1 << " sample " << at % kStride + 1;
    }
  }
}

// A recording beyond the run record: 64 leads into storage of any layout.
TEST(AnySize, ManyLeadsIntoStorageWithRoomBetweenLeads) {
  constexpr int kLeads = 64;
  constexpr int kSamples = 300;
  constexpr std::size_t kStride = 311;
  constexpr float kUntouched = -777.0f;
  std::mt19937 random(64);
  std::vector<float> expected(kLeads * kStride, kUntouched);
  std::string text;
  for (int sample = 1; sample <= kSamples; ++sample) {
    for (int lead = 1; lead <= kLeads; ++lead) {
      // t / 1000 lies at least 2^-35 (relative) from every midpoint of two
      // floats, so the double quotient rounds to the float of the text.
      const int thousandths = static_cast<int>(random() % 20001) - 10000;
      expected[static_cast<std::size_t>(lead - 1) * kStride + static_cast<std::size_t>(sample - 1)] =
          static_cast<float>(thousandths / 1000.0);
      char buf[16];
      const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, thousandths);
      ASSERT_EQ(ec, std::errc{});
      std::string_view written(buf, static_cast<std::size_t>(end - buf));
      if (lead > 1) text += '\t';
      if (written.front() == '-') {
        text += '-';
        written.remove_prefix(1);
      }
      // At least four digits, so "0.005" rather than ".5".
      std::string digits(4 - std::min<std::size_t>(written.size(), 4), '0');
      digits.append(written);
      text.append(digits, 0, digits.size() - 3).append(".").append(digits, digits.size() - 3);
    }
    text += '\n';
  }
  std::vector<float> values(kLeads * kStride, kUntouched);
  const WaveRows rows = read_waveform_rows(text, kLeads, kSamples, {values.data(), kStride});
  ASSERT_EQ(rows.status, WaveReadStatus::ok);
  EXPECT_EQ(rows.row, kSamples);
  EXPECT_EQ(rows.first_line_values, kLeads);
  for (std::size_t at = 0; at < values.size(); ++at) {
    ASSERT_EQ(std::bit_cast<std::uint32_t>(values[at]), std::bit_cast<std::uint32_t>(expected[at]))
        << "lead " << at / kStride + 1 << " sample " << at % kStride + 1;
  }
}

TEST(FastRows, NameTheRowWhereTheyStopped) {
  auto record = std::make_unique<Waves>();
  EXPECT_EQ(read_waveform_rows("1 2\n3 4\n", 2, 2, wave_target(*record)).row, 2);
  EXPECT_EQ(read_waveform_rows("1 2\n3 4\n", 2, 3, wave_target(*record)).row, 3);
  EXPECT_EQ(read_waveform_rows("1 2\nx 4\n", 2, 3, wave_target(*record)).row, 2);
  EXPECT_EQ(read_waveform_rows("1 2\nx 4\n", 2, 3, wave_target(*record)).status, WaveReadStatus::read_error);
}

// Both readers on one text: they must agree on everything they report.
WaveRows read_both(const std::string& text, int leads, int samples) {
  auto record = std::make_unique<Waves>();
  std::istringstream in(text);
  const WaveRows stream = parse_waveform_rows(in, leads, samples, wave_target(*record));
  const WaveRows memory = read_waveform_rows(text, leads, samples, wave_target(*record));
  EXPECT_EQ(stream.status, memory.status) << text;
  EXPECT_EQ(stream.row, memory.row) << text;
  EXPECT_EQ(stream.cause, memory.cause) << text;
  EXPECT_EQ(stream.first_line_values, memory.first_line_values) << text;
  return memory;
}

TEST(LeadCountFit, RowsOverSeveralLinesMustEndAtALineEnd) {
  constexpr WaveReadStatus ok = WaveReadStatus::ok;
  constexpr WaveReadStatus mismatch = WaveReadStatus::lead_count_mismatch;
  struct Case {
    const char* text;
    int leads, samples;
    WaveReadStatus status;
    int row, first_line_values;
  };
  const Case cases[] = {
      {"1 2\n3\n4 5\n6\n", 3, 2, ok, 2, 2},          // wrapped rows that end at line ends
      {"1 2\n3 ,\n4 5\n6\t \r\n", 3, 2, ok, 2, 2},   // blanks, tabs and commas may follow
      {"1,2,\n3\n", 3, 1, ok, 1, 2},
      {"1 2 3 4\n5 6 7 8\n", 3, 2, ok, 2, 4},        // single-line rows keep ignoring columns
      {"\n\n1 2 3 4\n", 3, 1, ok, 1, 4},             // lines without a value do not count
      {"1 2 3\n4 5 6\n", 4, 1, mismatch, 1, 3},      // 4 leads on 3 columns
      {"1 2\n\n3 4\n", 3, 1, mismatch, 1, 2},
      {"1 2\n3 x\n", 3, 1, mismatch, 1, 2},          // what follows need not be a number
      {"1 2\n3 / 9\n", 3, 1, mismatch, 1, 2},
      {"1,2\n,,x\n", 3, 1, mismatch, 1, 2},          // an empty value completes the row
      {"1 2 3\n4 5 6\n7\n8 9 10\n", 3, 3, mismatch, 3, 3},
      {"\n 5 6 7 8 9\n1 2 3\n4 5 6\n", 6, 1, mismatch, 1, 5},  // the first line with values
  };
  for (const Case& c : cases) {
    const WaveRows rows = read_both(c.text, c.leads, c.samples);
    EXPECT_EQ(rows.status, c.status) << c.text;
    EXPECT_EQ(rows.row, c.row) << c.text;
    EXPECT_EQ(rows.first_line_values, c.first_line_values) << c.text;
  }
}

TEST(LeadCountFit, RowsReadBeforeTheMismatchStay) {
  auto record = std::make_unique<Waves>();
  ASSERT_EQ(read_waveform_rows("1 2\n3 4\n5\n6 7\n", 2, 3, wave_target(*record)).status,
            WaveReadStatus::lead_count_mismatch);
  EXPECT_EQ(record->wave(2, 2), 4.0f);
  EXPECT_EQ(record->wave(1, 3), 5.0f);
  EXPECT_EQ(record->wave(2, 3), 6.0f);  // written as read, as the other failures leave values
}

// The bundled 8-lead, 10-second sample read as 12 leads and 5 seconds: row 1
// takes line 1 and half of line 2.
TEST(LeadCountFit, EightLeadSampleReadAsTwelveLeadsFailsAtRowOne) {
  const std::string text = test::read_whole_file(std::filesystem::path(TELMOR_SOURCE_DIR) /
                                                 "examples" / "d" / "data" / "map" / "sample.txt");
  const WaveRows rows = read_both(text, 12, 5000);
  EXPECT_EQ(rows.status, WaveReadStatus::lead_count_mismatch);
  EXPECT_EQ(rows.row, 1);
  EXPECT_EQ(rows.first_line_values, 8);
  EXPECT_EQ(read_both(text, 8, 10000).status, WaveReadStatus::ok);
}

std::string utf16le(std::string_view ascii, bool byte_order_mark) {
  std::string text = byte_order_mark ? "\xFF\xFE" : "";
  for (const char c : ascii) {
    text += c;
    text += '\0';
  }
  return text;
}

std::string utf16be(std::string_view ascii) {
  std::string text;
  for (const char c : ascii) {
    text += '\0';
    text += c;
  }
  return text;
}

TEST(ReadCauses, FailuresNameWhatTheTextShows) {
  constexpr WaveCause none = WaveCause::none;
  struct Case {
    std::string text;
    int leads, samples;
    WaveReadStatus status;
    WaveCause cause;
    int row;
  };
  const Case cases[] = {
      {"1 2\r3 4\r5 6\r", 2, 3, WaveReadStatus::end_of_file, WaveCause::cr_line_ends, 2},
      {utf16le("1 2\r\n3 4\r\n", true), 2, 2, WaveReadStatus::read_error, WaveCause::utf16_text, 1},
      {utf16le("1 2\n3 4\n", false), 2, 2, WaveReadStatus::read_error, WaveCause::utf16_text, 1},
      {utf16be("1 2\n3 4\n"), 2, 2, WaveReadStatus::read_error, WaveCause::utf16_text, 1},
      {"1 2\n3 1e39\n", 2, 2, WaveReadStatus::read_error, WaveCause::value_beyond_float, 2},
      {"1 2\n-1E+400,3\n", 2, 2, WaveReadStatus::read_error, WaveCause::value_beyond_float, 2},
      {"1 2\n3 abc\n", 2, 2, WaveReadStatus::read_error, none, 2},
      {"1 2\n3 1.5D3\n", 2, 2, WaveReadStatus::read_error, none, 2},
      {"1 2\n3 inf\n", 2, 2, WaveReadStatus::read_error, none, 2},
      {"1 2\r\n3 4\r\n", 2, 3, WaveReadStatus::end_of_file, none, 3},  // CR LF is no cause
      {"1 2\n3 1e-60\n", 2, 2, WaveReadStatus::ok, none, 2},          // too small reads as 0
  };
  for (const Case& c : cases) {
    const WaveRows rows = read_both(c.text, c.leads, c.samples);
    EXPECT_EQ(rows.status, c.status) << c.text;
    EXPECT_EQ(rows.cause, c.cause) << c.text;
    EXPECT_EQ(rows.row, c.row) << c.text;
  }
}

TEST(ReadCauses, FirstLineShowsUtf16AndCrOnlyLineEnds) {
  const std::pair<std::string, WaveCause> cases[] = {
      {"1 2", WaveCause::none},
      {"1 2\r", WaveCause::none},  // the CR of a CR LF line end
      {"1 2\r\r", WaveCause::none},
      {"", WaveCause::none},
      {std::string("\0\0", 2), WaveCause::none},
      {"1 2\r3 4", WaveCause::cr_line_ends},
      {"\xFF\xFE", WaveCause::utf16_text},
      {"\xFE\xFF", WaveCause::utf16_text},
      {std::string("1\0", 2), WaveCause::utf16_text},
      {std::string("\0" "1", 2), WaveCause::utf16_text},
  };
  for (const auto& [line, cause] : cases) EXPECT_EQ(first_line_cause(line), cause) << line;
}

}  // namespace
}  // namespace telmor
