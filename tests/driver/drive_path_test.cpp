// Drive-letter paths mapped onto folders under the drives root, and names
// that would climb out of their drive.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "driver/dialogue.h"
#include "driver/drive_path.h"
#include "driver/waveform_reader.h"
#include "support/scripted_layer.h"
#include "support/test_files.h"

namespace telmor {
namespace {

#ifndef _WIN32
TEST(DrivePath, DriveLetterBecomesAFolder) {
  EXPECT_EQ(host_path("d:\\data\\map\\abc.txt        ", "/r"), "/r/d/data/map/abc.txt");
  EXPECT_EQ(host_path("C:\\data\\map\\abc.txt", "/r"), "/r/c/data/map/abc.txt");
  EXPECT_EQ(host_path("d:\\data\\map\\abcari.csv", "root"), "root/d/data/map/abcari.csv");
}

TEST(DrivePath, KeepsJapaneseNames) {
  EXPECT_EQ(host_path("d:\\data\\map\\心電図.txt", "/r"), "/r/d/data/map/心電図.txt");
}

TEST(DrivePath, NamesThatClimbOutOfTheirDrive) {
  const std::pair<const char*, bool> cases[] = {
      {"d:\\data\\map\\abc.txt      ", false},
      {"d:\\data\\map\\..\\x.txt", false},          // d/data/x.txt
      {"d:\\data\\map\\..\\..\\x.txt", false},      // d/x.txt, as d:\x.txt on Windows
      {"d:\\data\\map\\a\\..\\..\\..\\x.txt", false},
      {"d:\\data\\map\\..\\..\\..\\x.txt", true},   // the drives root itself
      {"d:\\data\\map\\..\\..\\..\\..\\.txt", true},  // above the drives root
      {"d:\\data\\map\\..\\..\\..\\e\\x.txt", true},  // another drive's folder
      {"\\:\\data\\map\\x.txt", true},             // from the top of the host's tree
      {".:\\data\\map\\..\\..\\..\\x.txt", true},
  };
  for (const auto& [built, leaves] : cases) EXPECT_EQ(leaves_its_drive(built), leaves) << built;
}
#else
TEST(DrivePath, WindowsPathsStandAsTheyAre) {
  EXPECT_EQ(host_path("d:\\data\\map\\..\\..\\..\\x.txt   ", "r"), "d:\\data\\map\\..\\..\\..\\x.txt");
  EXPECT_FALSE(leaves_its_drive("d:\\data\\map\\..\\..\\..\\..\\.txt"));
}
#endif

#ifndef _WIN32
// A name typed at the dialogue that reaches a recording above the drive: the
// cannot-open block, and the status bar says why.
TEST(DrivePath, ReadingOutsideTheDriveIsRefusedAsCannotOpen) {
  test::ScratchDir dir;
  const std::filesystem::path root = dir / "drives";
  std::filesystem::create_directories(root / "d" / "data" / "map");
  std::string rows;
  for (int i = 1; i <= 1000; ++i) rows += std::to_string(i) + "\n";
  test::write_whole_file(root / "x.txt", rows);  // d:\data\map\..\..\..\x.txt
  test::write_whole_file(dir / ".txt", rows);     // d:\data\map\..\..\..\..\.txt

  for (const char* name : {"..\\..\\..\\x", "..\\..\\..\\..\\"}) {
    test::ScriptedLayer layer;
    layer.console_input = {"x"};
    auto record = std::make_unique<RunRecord>();
    record->drive.assign("d");
    record->file_name.assign(name);
    build_paths(*record);
    record->lead_count = 1;
    record->record_seconds = 1;
    record->sample_count = 1000;
    EXPECT_FALSE(read_waveform_file(layer, *record, root)) << name;
    ASSERT_GE(layer.console_lines.size(), 3u) << name;
    EXPECT_EQ(layer.console_lines[2], std::string(record->data_path.view()) + "が読めません。考えられるのは、")
        << name;
    EXPECT_EQ(layer.notes, std::vector<std::string>{std::string(kOutsideDrivesNote)}) << name;
  }
}
#endif

}  // namespace
}  // namespace telmor
