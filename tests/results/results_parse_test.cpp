// Reading results file text: fixed columns, lenient fields, and every way a
// file can be short or wrong.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

#include "results/results_parse.h"

namespace telmor {
namespace {

using namespace std::string_literals;

constexpr const char* kExample =
    "  2\r\n"
    "    120.,    118.,    131.,\r\n"
    "    950.,    948.,      0.,\r\n"
    "  1\r\n"
    "    400.,    395.,    410.,\r\n";

struct ResultsRead : ::testing::Test {
  std::unique_ptr<LoadedTables> loaded = std::make_unique<LoadedTables>();

  ParseResult parse(const std::string& text, int leads) {
    loaded = std::make_unique<LoadedTables>();
    std::istringstream in(text);
    return parse_results(in, leads, *loaded);
  }
  // Reads text that must load; the fault, if any, is shown.
  void read(const std::string& text, int leads) {
    const ParseResult r = parse(text, leads);
    ASSERT_EQ(r.fault, ParseFault::none) << "line " << r.line << " lead " << r.lead;
  }
  float at(int lead, int row) const { return loaded->at_ms[lead - 1][row - 1]; }
  float rt(int lead, int row) const { return loaded->rt_ms[lead - 1][row - 1]; }
};

TEST_F(ResultsRead, TheThreeLeadExample) {
  read(kExample, 3);
  EXPECT_EQ(loaded->at_count, 2);
  EXPECT_EQ(loaded->rt_count, 1);
  EXPECT_EQ(at(1, 1), 120.0f);
  EXPECT_EQ(at(2, 1), 118.0f);
  EXPECT_EQ(at(3, 1), 131.0f);
  EXPECT_EQ(at(1, 2), 950.0f);
  EXPECT_EQ(at(2, 2), 948.0f);
  EXPECT_EQ(at(3, 2), 0.0f);
  EXPECT_EQ(rt(1, 1), 400.0f);
  EXPECT_EQ(rt(2, 1), 395.0f);
  EXPECT_EQ(rt(3, 1), 410.0f);
}

TEST_F(ResultsRead, LineFeedOnlyLineEnds) {
  read("  1\n      5.,      6.,\n  1\n      7.,      8.,", 2);  // and no end on the last line
  EXPECT_EQ(at(2, 1), 6.0f);
  EXPECT_EQ(rt(1, 1), 7.0f);
  EXPECT_EQ(rt(2, 1), 8.0f);
}

TEST_F(ResultsRead, BlanksInsideAFieldAreIgnored) {
  read("  1\r\n 3 0 0. ,1 2 . 5 ,  -  4 .,\r\n  0\r\n", 3);
  EXPECT_EQ(at(1, 1), 300.0f);
  EXPECT_EQ(at(2, 1), 12.5f);
  EXPECT_EQ(at(3, 1), -4.0f);
}

TEST_F(ResultsRead, FieldsReadAsWrittenWithOrWithoutPointOrExponent) {
  read("  1\r\n     120,   12.25,   1.5E2,   25e-1,     0.1,   1 e 2,\r\n  0\r\n", 6);
  EXPECT_EQ(at(1, 1), 120.0f);
  EXPECT_EQ(at(2, 1), 12.25f);
  EXPECT_EQ(at(3, 1), 150.0f);
  EXPECT_EQ(at(4, 1), 2.5f);
  EXPECT_EQ(at(5, 1), 0.1f);
  EXPECT_EQ(at(6, 1), 100.0f);
}

TEST_F(ResultsRead, FieldOfBlanksReadsZero) {
  read("  1\r\n        ,      7.,        ,\r\n  0\r\n", 3);
  EXPECT_EQ(at(1, 1), 0.0f);
  EXPECT_EQ(at(2, 1), 7.0f);
  EXPECT_EQ(at(3, 1), 0.0f);
}

TEST_F(ResultsRead, CountOfBlanksReadsZero) {
  read("   \r\n  1\r\n      9.,\r\n", 1);
  EXPECT_EQ(loaded->at_count, 0);
  EXPECT_EQ(loaded->rt_count, 1);
  EXPECT_EQ(rt(1, 1), 9.0f);
  // An empty line is a count of blanks as well.
  read("\r\n\r\n", 1);
  EXPECT_EQ(loaded->at_count, 0);
  EXPECT_EQ(loaded->rt_count, 0);
}

TEST_F(ResultsRead, CountTakesItsFirstThreeColumnsBlanksIgnored) {
  std::string rt_rows;
  for (int row = 1; row <= 12; ++row) rt_rows += "      1.,\r\n";
  read(" 1 and more\r\n      4.,\r\n1 2 3\r\n" + rt_rows, 1);
  EXPECT_EQ(loaded->at_count, 1);
  EXPECT_EQ(at(1, 1), 4.0f);
  EXPECT_EQ(loaded->rt_count, 12);
  EXPECT_EQ(rt(1, 12), 1.0f);
}

TEST_F(ResultsRead, SeparatorColumnIsSkippedWhateverItHolds) {
  read("  1\r\n    120.;    118.x    131.\0\r\n  0\r\n"s, 3);
  EXPECT_EQ(at(1, 1), 120.0f);
  EXPECT_EQ(at(2, 1), 118.0f);
  EXPECT_EQ(at(3, 1), 131.0f);
}

TEST_F(ResultsRead, ShortLineReadsBlanksForTheMissingLeads) {
  read("  2\r\n    120.,\r\n      1\r\n  0\r\n", 3);
  EXPECT_EQ(at(1, 1), 120.0f);
  EXPECT_EQ(at(2, 1), 0.0f);
  EXPECT_EQ(at(3, 1), 0.0f);
  EXPECT_EQ(at(1, 2), 1.0f);  // a field cut short reads as if blank-filled
}

TEST_F(ResultsRead, ColumnsAfterTheLastLeadAreIgnored) {
  read("  1\r\n    120.,    118.,junk\xff\0\xe6\x99\x82\r\n  0\r\n"s, 2);
  EXPECT_EQ(at(1, 1), 120.0f);
  EXPECT_EQ(at(2, 1), 118.0f);
}

TEST_F(ResultsRead, FiveLeadFileIntoThreeLeads) {
  const std::string five =
      "  1\r\n      1.,      2.,      3.,      4.,      5.,\r\n"
      "  1\r\n     11.,     12.,     13.,     14.,     15.,\r\n";
  read(five, 3);
  EXPECT_EQ(at(3, 1), 3.0f);
  EXPECT_EQ(at(4, 1), 0.0f);
  EXPECT_EQ(rt(3, 1), 13.0f);
  EXPECT_EQ(rt(4, 1), 0.0f);
}

TEST_F(ResultsRead, FiveLeadFileIntoEightLeads) {
  const std::string five =
      "  1\r\n      1.,      2.,      3.,      4.,      5.,\r\n"
      "  1\r\n     11.,     12.,     13.,     14.,     15.,\r\n";
  read(five, 8);
  EXPECT_EQ(at(5, 1), 5.0f);
  EXPECT_EQ(rt(5, 1), 15.0f);
  for (int lead = 6; lead <= 8; ++lead) {
    EXPECT_EQ(at(lead, 1), 0.0f);
    EXPECT_EQ(rt(lead, 1), 0.0f);
  }
}

TEST_F(ResultsRead, MoreAtRowsAnnouncedTakeTheRtCountLineAsARow) {
  // AT says 3 but holds 2: the RT count line becomes AT row 3, and the RT
  // row, whose first three columns are blank, becomes an RT count of 0.
  read("  3\r\n    120.,\r\n    950.,\r\n  1\r\n    400.,\r\n", 1);
  EXPECT_EQ(loaded->at_count, 3);
  EXPECT_EQ(at(1, 3), 1.0f);
  EXPECT_EQ(loaded->rt_count, 0);
}

TEST_F(ResultsRead, MoreAtRowsAnnouncedThanTheFileHoldsIsAnEarlyEnd) {
  const ParseResult r = parse("  4\r\n    120.,\r\n    950.,\r\n  1\r\n    400.,\r\n", 1);
  EXPECT_EQ(r.fault, ParseFault::early_end);
  EXPECT_EQ(r.block, Block::rt);  // all five lines went into AT
  EXPECT_EQ(r.line, 6);
}

TEST_F(ResultsRead, EmptyTextHasNoCountLine) {
  const ParseResult r = parse("", 3);
  EXPECT_EQ(r.fault, ParseFault::early_end);
  EXPECT_EQ(r.block, Block::at);
  EXPECT_EQ(r.line, 1);
}

TEST_F(ResultsRead, EndBeforeTheAnnouncedRows) {
  ParseResult r = parse("  2\r\n    120.,\r\n", 1);
  EXPECT_EQ(r.fault, ParseFault::early_end);
  EXPECT_EQ(r.block, Block::at);
  EXPECT_EQ(r.line, 3);

  r = parse("  0\r\n", 1);
  EXPECT_EQ(r.fault, ParseFault::early_end);
  EXPECT_EQ(r.block, Block::rt);
  EXPECT_EQ(r.line, 2);

  r = parse("  0\r\n  2\r\n      1.,\r\n", 1);
  EXPECT_EQ(r.fault, ParseFault::early_end);
  EXPECT_EQ(r.line, 4);
}

TEST_F(ResultsRead, FieldThatIsNotANumber) {
  ParseResult r = parse("  1\r\n    120.,   1x8.,\r\n  0\r\n", 2);
  EXPECT_EQ(r.fault, ParseFault::not_a_number);
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.lead, 2);

  for (const std::string& field :
        {"    1,2."s, "    \0""12."s, "   \xe6\x99\x82""12"s, "    12.\r"s, "       +"s,
        "       ."s, "    1e99"s, "     inf"s, "    0x10"s}) {
    ASSERT_EQ(field.size(), 8u);
    r = parse("  0\r\n  1\r\n" + field + ",\r\n", 1);
    EXPECT_EQ(r.fault, ParseFault::not_a_number) << field;
    EXPECT_EQ(r.block, Block::rt);
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.lead, 1);
  }
}

TEST_F(ResultsRead, MultibyteCharacterAcrossTwoFieldsIsNotANumber) {
  // The three bytes of one character straddle the separator column.
  const ParseResult r = parse("  1\r\n     12\xe6\x99\x82     1.,\r\n  0\r\n", 2);
  EXPECT_EQ(r.fault, ParseFault::not_a_number);
  EXPECT_EQ(r.lead, 1);
}

TEST_F(ResultsRead, CountThatIsNotAWholeNumber) {
  for (const char* count : {"abc", "1.0", "1e2", "２", "+-1"}) {
    const ParseResult r = parse(std::string(count) + "\r\n  0\r\n", 1);
    EXPECT_EQ(r.fault, ParseFault::not_a_number) << count;
    EXPECT_EQ(r.line, 1);
    EXPECT_EQ(r.lead, 0);
  }
}

TEST_F(ResultsRead, CountOutsideZeroTo200) {
  ParseResult r = parse("201\r\n", 1);
  EXPECT_EQ(r.fault, ParseFault::count_out_of_range);
  EXPECT_EQ(r.count, 201);
  EXPECT_EQ(r.line, 1);

  r = parse("  0\r\n -1\r\n", 1);
  EXPECT_EQ(r.fault, ParseFault::count_out_of_range);
  EXPECT_EQ(r.block, Block::rt);
  EXPECT_EQ(r.count, -1);
  EXPECT_EQ(r.line, 2);
}

TEST_F(ResultsRead, TwoHundredRowsReadToTheLast) {
  std::string text = "200\r\n";
  for (int row = 1; row <= 200; ++row) text += "      1.,\r\n";
  text += "  0\r\n";
  text.replace(text.size() - 5 - 11, 11, "    200.,\r\n");
  read(text, 1);
  EXPECT_EQ(loaded->at_count, 200);
  EXPECT_EQ(at(1, 199), 1.0f);
  EXPECT_EQ(at(1, 200), 200.0f);
}

TEST_F(ResultsRead, VeryLongLineIsCutAndTheNextLineReadsWhole) {
  // Row 1 runs far past lead 20; row 2 ends inside the field of lead 20, its
  // CR in that field's columns.
  std::string full;
  for (int lead = 1; lead <= 20; ++lead) full += "     " + std::to_string(10 + lead) + ".,";
  ASSERT_EQ(full.size(), 180u);
  read("  2\r\n" + full + std::string(5000, 'z') + "\r\n" + full.substr(0, 178) +
           "\r\n  1\r\n      4.,\r\n",
       20);
  EXPECT_EQ(at(1, 1), 11.0f);
  EXPECT_EQ(at(20, 1), 30.0f);
  EXPECT_EQ(at(20, 2), 30.0f);
  EXPECT_EQ(rt(1, 1), 4.0f);
}

TEST_F(ResultsRead, LinesAfterTheLastRtRowAreNotRead) {
  read(std::string(kExample) + "garbage\r\n  9\r\n", 3);
  EXPECT_EQ(loaded->rt_count, 1);
}

TEST_F(ResultsRead, ByteOrderMarkBeforeTheFirstCount) {
  read("\xEF\xBB\xBF  1\r\n      3.,\r\n  0\r\n", 1);
  EXPECT_EQ(loaded->at_count, 1);
  EXPECT_EQ(at(1, 1), 3.0f);
}

// Hands out its text, then fails as a broken disk would.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::string text) : text_(std::move(text)) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 protected:
  int_type underflow() override { throw std::runtime_error("device error"); }

 private:
  std::string text_;
};

TEST_F(ResultsRead, ReadErrorIsNotAnEarlyEnd) {
  FailingBuffer buffer("  2\r\n      1.,\r\n   ");
  std::istream in(&buffer);
  const ParseResult r = parse_results(in, 1, *loaded);
  EXPECT_EQ(r.fault, ParseFault::read_error);
}

}  // namespace
}  // namespace telmor
