// The part file beside an opened part's results file: its text, what reads
// back, what is refused as damaged, what is never opened, and the names that
// tell the parts of one recording file apart.
#include "session/part_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/non_regular_files.h"
#include "support/test_files.h"

namespace telmor {
namespace {

RecordedPart a_part() {
  RecordedPart p;
  p.source = "grid12.edf";
  p.channels = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  p.start_s = 2.5;
  p.seconds = 10;
  p.rate_hz = 500.0;
  return p;
}

TEST(PartFile, TheTextOfAPart) {
  EXPECT_EQ(part_file_text(a_part()),
            "# TELMOR part\r\nsource=grid12.edf\r\nchannels=2,3,4,5,6,7,8,9,10,11,12,13\r\nstart_s=2.5\r\n"
            "seconds=10\r\nrate_hz=500\r\n");
  RecordedPart told = a_part();
  told.dataset = "/raw/ecg";
  told.orientation = 2;
  told.source = "odd%\nname.h5";
  told.rate_hz = 2034.5;
  EXPECT_EQ(part_file_text(told),
            "# TELMOR part\r\nsource=odd%25%0Aname.h5\r\nchannels=2,3,4,5,6,7,8,9,10,11,12,13\r\nstart_s=2.5\r\n"
            "seconds=10\r\nrate_hz=2034.5\r\ndataset=/raw/ecg\r\norientation=leads-by-samples\r\n");
}

TEST(PartFile, EveryPartReadsBackAsWritten) {
  std::vector<RecordedPart> parts = {a_part()};
  RecordedPart odd = a_part();
  odd.source = "記録 %1\t.mat";
  odd.channels = {20, 1, 7};
  odd.start_s = 0.001;
  odd.rate_hz = 1.0 / 3.0;
  odd.dataset = "ecg";
  odd.orientation = 1;
  parts.push_back(odd);
  for (const RecordedPart& part : parts) {
    RecordedPart back;
    ASSERT_TRUE(parse_part_file(part_file_text(part), back)) << part_file_text(part);
    EXPECT_EQ(back, part) << part_file_text(part);
  }
  // LF line ends and a key of a later version read too.
  RecordedPart back;
  EXPECT_TRUE(parse_part_file("# TELMOR part\nsource=a.edf\nchannels=1\nstart_s=0\nseconds=1\nrate_hz=256\n"
                              "colour=blue\n",
                              back));
  EXPECT_EQ(back.source, "a.edf");
}

TEST(PartFile, DamagedTextIsRefused) {
  const std::string good = part_file_text(a_part());
  const auto without = [&](std::string_view line) {
    std::string text = good;
    text.erase(text.find(line), line.size());
    return text;
  };
  const std::vector<std::string> damaged = {
      "",
      "# TELMOR recovery\r\n" + good.substr(good.find('\n') + 1),
      without("source=grid12.edf\r\n"),
      without("channels=2,3,4,5,6,7,8,9,10,11,12,13\r\n"),
      without("start_s=2.5\r\n"),
      without("seconds=10\r\n"),
      without("rate_hz=500\r\n"),
      good.substr(0, good.size() - 2),  // the last line cut
      good + "seconds=11\r\n",          // a key twice
      good + "no equals sign\r\n",
      good + "orientation=sideways\r\n",
      "# TELMOR part\r\nsource=\r\nchannels=1\r\nstart_s=0\r\nseconds=1\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a\r\nchannels=0\r\nstart_s=0\r\nseconds=1\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a\r\nchannels=1,,2\r\nstart_s=0\r\nseconds=1\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a\r\nchannels=1,\r\nstart_s=0\r\nseconds=1\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a\r\nchannels=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21\r\n"
      "start_s=0\r\nseconds=1\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a\r\nchannels=1\r\nstart_s=-1\r\nseconds=1\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a\r\nchannels=1\r\nstart_s=nan\r\nseconds=1\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a\r\nchannels=1\r\nstart_s=0\r\nseconds=31\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a\r\nchannels=1\r\nstart_s=0\r\nseconds=1\r\nrate_hz=0\r\n",
      "# TELMOR part\r\nsource=a\r\nchannels=1\r\nstart_s=0\r\nseconds=1\r\nrate_hz=inf\r\n",
      "# TELMOR part\r\nsource=a%2\r\nchannels=1\r\nstart_s=0\r\nseconds=1\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a%zz\r\nchannels=1\r\nstart_s=0\r\nseconds=1\r\nrate_hz=1\r\n",
      "# TELMOR part\r\nsource=a\tb\r\nchannels=1\r\nstart_s=0\r\nseconds=1\r\nrate_hz=1\r\n",
  };
  for (const std::string& text : damaged) {
    RecordedPart part = a_part();
    EXPECT_FALSE(parse_part_file(text, part)) << text;
    EXPECT_EQ(part, a_part()) << text;  // untouched
  }
}

TEST(PartFile, OnlyASmallRegularFileIsRead) {
  test::ScratchDir dir;
  const auto path = dir / "gridari.csv.part";
  EXPECT_EQ(part_file_of(dir / "gridari.csv"), path);
  RecordedPart part;
  EXPECT_EQ(read_part_file(path, part), PartFileFault::missing);
  test::write_whole_file(path, part_file_text(a_part()));
  EXPECT_EQ(read_part_file(path, part), PartFileFault::none);
  EXPECT_EQ(part, a_part());
  test::write_whole_file(path, part_file_text(a_part()) + std::string(kMaxPartFileBytes, '#'));
  EXPECT_EQ(read_part_file(path, part), PartFileFault::too_large);
  test::write_whole_file(path, "# TELMOR part\r\n");
  EXPECT_EQ(read_part_file(path, part), PartFileFault::damaged);
#ifdef TELMOR_HAS_SPECIAL_FILES
  for (const test::Special kind : {test::Special::fifo, test::Special::folder}) {
    std::filesystem::remove(path);
    ASSERT_TRUE(test::make_special(kind, path)) << test::special_name(kind);
    EXPECT_EQ(read_part_file(path, part), PartFileFault::not_regular) << test::special_name(kind);
  }
#endif
  EXPECT_EQ(part, a_part());
}

TEST(PartFile, NamesTellThePartsApart) {
  struct Case {
    std::vector<int> channels;
    double start_s;
    int seconds;
    const char* suffix;
  };
  const std::vector<Case> cases = {
      {{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, 2.5, 10, "_ch2-13_2.5-12.5s"},
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 0.0, 10, "_ch1-12_0-10s"},
      {{1, 2, 3, 4, 7, 9, 10, 11, 12}, 30.0, 30, "_ch1-4,7,9-12_30-60s"},
      {{3, 1, 2}, 0.125, 1, "_ch3,1-2_0.125-1.125s"},
      {{5}, 1.0, 5, "_ch5_1-6s"},
      {{1, 3}, 0.0, 2, "_ch1,3_0-2s"},
  };
  for (const Case& c : cases) {
    RecordedPart part = a_part();
    part.channels = c.channels;
    part.start_s = c.start_s;
    part.seconds = c.seconds;
    EXPECT_EQ(part_name_suffix(part), c.suffix);
  }
}

}  // namespace
}  // namespace telmor
