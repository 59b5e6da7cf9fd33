// Paths from UTF-8 text: Japanese names survive the round trip and name the
// same file, also where the system's narrow code page is not UTF-8.
#include "base/utf8_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace telmor {
namespace {

TEST(Utf8Path, JapaneseNamesNameTheFileWrittenAndRead) {
  const std::string name = "波形データ_¥1.txt";
  EXPECT_EQ(utf8_from_path(path_from_utf8(name)), name);
  test::ScratchDir dir;
  const std::filesystem::path file = dir.path() / path_from_utf8(name);
  test::write_whole_file(file, "1 2\n");
  EXPECT_EQ(test::read_whole_file(dir.path() / path_from_utf8(name)), "1 2\n");
  bool listed = false;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    listed = listed || utf8_from_path(entry.path().filename()) == name;
  EXPECT_TRUE(listed);
}

#ifndef _WIN32
// (Windows takes them from the process's wide command line, not from argv.)
TEST(Utf8Path, ArgumentsAreTheOnesAfterTheProgramName) {
  char program[] = "telmor-batch";
  char first[] = "--jobs";
  char second[] = "データ";
  char* argv[] = {program, first, second};
  EXPECT_EQ(utf8_arguments(3, argv), (std::vector<std::string>{"--jobs", "データ"}));
}
#endif

}  // namespace
}  // namespace telmor
