// Whole-file replacement: the old file survives every failure, and no
// temporary is left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "results/file_replace.h"
#include "results/results_messages.h"
#include "support/failing_files.h"
#include "support/test_files.h"

#if defined(__unix__) || defined(__APPLE__)
#include <csignal>
#include <sys/resource.h>
#define TELMOR_HAS_FILE_SIZE_LIMIT 1
#endif

namespace telmor {
namespace {

namespace fs = std::filesystem;

TEST(FileReplace, CreatesAMissingFileAndLeavesNoTemporary) {
  test::ScratchDir dir;
  const fs::path target = dir / "abcari.csv";
  EXPECT_EQ(replace_file_contents(target, "  0\r\n  0\r\n"), std::error_code());
  EXPECT_EQ(test::read_whole_file(target), "  0\r\n  0\r\n");
  EXPECT_FALSE(fs::exists(temporary_beside(target)));
  EXPECT_EQ(temporary_beside(target).parent_path(), target.parent_path());
}

TEST(FileReplace, MissingFolderIsNamedAsSuch) {
  test::ScratchDir dir;
  const fs::path target = dir / "missing" / "abcari.csv";
  EXPECT_EQ(replace_file_contents(target, "x"), std::errc::no_such_file_or_directory);
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST(FileReplace, FolderThatIsAFileIsNotAFolder) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "plain", "p");
  EXPECT_EQ(replace_file_contents(dir / "plain" / "abcari.csv", "x"), std::errc::not_a_directory);
  EXPECT_EQ(test::read_whole_file(dir / "plain"), "p");
}

#ifdef TELMOR_HAS_FILE_SIZE_LIMIT
// A file size limit makes the write fail part way, as a full disk would.
TEST(FileReplace, WriteFailingPartWayKeepsTheOldFile) {
  test::ScratchDir dir;
  const fs::path target = dir / "abcari.csv";
  test::write_whole_file(target, "old content\r\n");
  const std::string content(64 * 1024, '7');

  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 1000;
  const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::error_code error = replace_file_contents(target, content);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous_handler);

  EXPECT_EQ(error, std::errc::file_too_large);
  EXPECT_EQ(test::read_whole_file(target), "old content\r\n");
  EXPECT_FALSE(fs::exists(temporary_beside(target)));
}
#endif

TEST(FileReplace, DataReachesTheDiskBeforeTheRenameAndTheFolderAfterIt) {
  test::ScratchDir dir;
  const test::FailingFiles files;
  ASSERT_EQ(replace_file_contents(dir / "abcari.csv", "  0\r\n  0\r\n", files), std::error_code());
  const std::vector<std::string> expected = {"create abcari.csv.tmp", "write", "sync", "close",
                                             "rename abcari.csv.tmp abcari.csv", "sync_folder"};
  EXPECT_EQ(files.calls, expected);
  EXPECT_EQ(test::read_whole_file(dir / "abcari.csv"), "  0\r\n  0\r\n");
}

// Whichever call fails, the old file stays as it was and no temporary is left.
TEST(FileReplace, EveryFailingCallKeepsTheOldFile) {
  const std::pair<test::FileCall, std::errc> cases[] = {
      {test::FileCall::create, std::errc::permission_denied},   // a read-only folder
      {test::FileCall::write, std::errc::no_space_on_device},  // a full disk
      {test::FileCall::sync, std::errc::io_error},
      {test::FileCall::close, std::errc::no_space_on_device},
      {test::FileCall::rename, std::errc::read_only_file_system},
  };
  for (const auto& [call, code] : cases) {
    test::ScratchDir dir;
    const fs::path target = dir / "abcari.csv";
    test::write_whole_file(target, "old content\r\n");
    test::FailingFiles files(call, code);
    files.write_before = 10;
    EXPECT_EQ(replace_file_contents(target, std::string(4096, '7'), files), code)
        << files.calls.back();
    EXPECT_EQ(test::read_whole_file(target), "old content\r\n") << files.calls.back();
    EXPECT_FALSE(fs::exists(temporary_beside(target))) << files.calls.back();
  }
}

TEST(FileReplace, FolderThatCannotBeSyncedStillHasTheNewFile) {
  test::ScratchDir dir;
  const test::FailingFiles files(test::FileCall::sync_folder, std::errc::invalid_argument);
  EXPECT_EQ(replace_file_contents(dir / "abcari.csv", "new", files), std::error_code());
  EXPECT_EQ(test::read_whole_file(dir / "abcari.csv"), "new");
}

TEST(WriteErrorReason, CommonCausesInPlainWords) {
  EXPECT_EQ(write_error_reason(std::make_error_code(std::errc::no_such_file_or_directory)),
            "フォルダがありません。");
  EXPECT_EQ(write_error_reason(std::make_error_code(std::errc::permission_denied)),
            "書き込みが許可されていません。");
  EXPECT_EQ(write_error_reason(std::make_error_code(std::errc::read_only_file_system)),
            "書き込みが許可されていません。");
  EXPECT_EQ(write_error_reason(std::make_error_code(std::errc::no_space_on_device)),
            "ディスクの空きが足りません。");
  // Anything else carries the system's own words.
  const std::error_code other = std::make_error_code(std::errc::file_too_large);
  EXPECT_EQ(write_error_reason(other), "書き込みエラーです（" + other.message() + "）。");
}

}  // namespace
}  // namespace telmor
