// Drive-letter paths mapped onto folders under the drives root.
#include <gtest/gtest.h>

#include "driver/drive_path.h"

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
#endif

}  // namespace
}  // namespace telmor
