// The temporaries beside a results file: their names, and a save clearing
// away those that a killed writer left.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "files/file_replace.h"
#include "files/temporary_files.h"
#include "support/failing_files.h"
#include "support/test_files.h"

namespace telmor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Leaves a file at name last written age ago.
void leave(const fs::path& path, fs::file_time_type::duration age) {
  test::write_whole_file(path, "cut short");
  fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

TEST(TemporaryName, BesideTheTargetWithSixLettersOfItsOwn) {
  const fs::path target = fs::path("data") / "abcari.csv";
  std::set<fs::path> drawn;
  for (int i = 0; i < 200; ++i) {
    const fs::path name = temporary_name(target);
    EXPECT_EQ(name.parent_path(), target.parent_path());
    const std::string text = name.filename().string();
    ASSERT_EQ(text.size(), std::string("abcari.csv.123456.tmp").size()) << text;
    EXPECT_TRUE(text.starts_with("abcari.csv.") && text.ends_with(".tmp")) << text;
    EXPECT_TRUE(is_temporary_of(target, name)) << text;
    drawn.insert(name);
  }
  EXPECT_GT(drawn.size(), 195u);  // repeats are for O_EXCL to settle, and rare
}

TEST(TemporaryName, OnlyTheTargetsOwnTemporariesMatch) {
  const std::pair<const char*, bool> cases[] = {
      {"abcari.csv.Ab12Zz.tmp", true},
      {"abcari.csv.tmp", true},  // as earlier versions named it
      {"abcari.csv", false},
      {"abcari.csv.Ab12Z.tmp", false},
      {"abcari.csv.Ab12Zzz.tmp", false},
      {"abcari.csv.Ab-2Zz.tmp", false},
      {"abcari.csv.Ab12Zz.tmpx", false},
      {"abcari.csvXAb12Zz.tmp", false},
      {"xabcari.csv.Ab12Zz.tmp", false},
      {"bari.csv.Ab12Zz.tmp", false},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(is_temporary_of("dir/abcari.csv", fs::path("dir") / name), expected) << name;
  }
}

// What a kill between creating the temporary and the rename leaves.
TEST(StaleTemporaries, ASaveRemovesThoseOlderThanTenMinutes) {
  test::ScratchDir dir;
  leave(dir / "abcari.csv.Ab12Zz.tmp", 11min);
  leave(dir / "abcari.csv.tmp", 3h);
  leave(dir / "abcari.csv.Fresh1.tmp", 9min);      // perhaps a save going on now
  leave(dir / "otherari.csv.Ab12Zz.tmp", 11min);  // another file's
  leave(dir / "abcari.csv.bak", 11min);
  std::vector<LeftTemporary> left;
  ASSERT_EQ(replace_file_contents(dir / "abcari.csv", "new", left), std::error_code());
  EXPECT_TRUE(left.empty());
  const std::vector<std::string> expected = {"abcari.csv", "abcari.csv.Fresh1.tmp", "abcari.csv.bak",
                                             "otherari.csv.Ab12Zz.tmp"};
  EXPECT_EQ(test::folder_names(dir.path()), expected);
}

TEST(StaleTemporaries, OneThatCannotBeRemovedIsNamedAndTheSaveGoesOn) {
  test::ScratchDir dir;
  leave(dir / "abcari.csv.Ab12Zz.tmp", 1h);
  const test::FailingFiles files(test::FileCall::remove, std::errc::permission_denied);
  std::vector<LeftTemporary> left;
  ASSERT_EQ(replace_file_contents(dir / "abcari.csv", "new", left, files), std::error_code());
  EXPECT_EQ(test::read_whole_file(dir / "abcari.csv"), "new");
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].path, dir / "abcari.csv.Ab12Zz.tmp");
  EXPECT_EQ(left[0].error, std::errc::permission_denied);
}

TEST(StaleTemporaries, LinksAreLeftAlone) {
  test::ScratchDir dir;
  leave(dir / "other.txt", 1h);
  if (!test::make_symlink(dir / "other.txt", dir / "abcari.csv.Ab12Zz.tmp"))
    GTEST_SKIP() << "no symbolic links here";
  std::vector<LeftTemporary> left;
  ASSERT_EQ(replace_file_contents(dir / "abcari.csv", "new", left), std::error_code());
  EXPECT_TRUE(left.empty());
  EXPECT_TRUE(fs::is_symlink(dir / "abcari.csv.Ab12Zz.tmp"));
  EXPECT_EQ(test::read_whole_file(dir / "other.txt"), "cut short");
}

}  // namespace
}  // namespace telmor
