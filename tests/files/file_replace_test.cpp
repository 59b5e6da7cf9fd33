// Whole-file replacement: the old file survives every failure, no temporary
// is left behind, nothing standing at a temporary's name is written through,
// and writers at the same time each put a whole file in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "files/file_replace.h"
#include "support/failing_files.h"
#include "support/non_regular_files.h"
#include "support/test_files.h"

#if defined(__unix__) || defined(__APPLE__)
#include <csignal>
#include <sys/resource.h>
#define TELMOR_HAS_FILE_SIZE_LIMIT 1
#endif

namespace telmor {
namespace {

namespace fs = std::filesystem;

bool is_fresh_temporary_of(const std::string& target, const std::string& name) {
  return name.size() == target.size() + 11 && name.starts_with(target + ".") &&
         name.ends_with(".tmp") && is_temporary_of(target, name);
}

TEST(FileReplace, CreatesAMissingFileAndLeavesNoTemporary) {
  test::ScratchDir dir;
  const fs::path target = dir / "abcari.csv";
  EXPECT_EQ(replace_file_contents(target, "  0\r\n  0\r\n"), std::error_code());
  EXPECT_EQ(test::read_whole_file(target), "  0\r\n  0\r\n");
  EXPECT_EQ(test::folder_names(dir.path()), std::vector<std::string>{"abcari.csv"});
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

#ifdef TELMOR_HAS_SPECIAL_FILES
// Only a regular file is ever replaced: a device, FIFO, socket or folder at
// the target (or at the end of a link there) stays as it was, and the save
// says why. Run as root, a rename over a device node would replace it.
TEST(FileReplace, OnlyARegularFileIsReplaced) {
  const std::pair<test::Special, std::error_code> cases[] = {
      {test::Special::fifo, make_error_code(FileError::not_a_regular_file)},
      {test::Special::socket, make_error_code(FileError::not_a_regular_file)},
      {test::Special::device, make_error_code(FileError::not_a_regular_file)},
      {test::Special::folder, std::make_error_code(std::errc::is_a_directory)},
  };
  for (const auto& [kind, reason] : cases) {
    for (const bool through_link : {false, true}) {
      test::ScratchDir dir;
      const fs::path special = dir / "special";
      if (!test::make_special(kind, special)) continue;  // a device node as another user
      const fs::path target = through_link ? dir / "abcari.csv" : special;
      if (through_link && !test::make_symlink(special, target)) continue;
      const fs::file_type before = fs::status(special).type();
      EXPECT_EQ(replace_file_contents(target, "  0\r\n  0\r\n"), reason)
          << test::special_name(kind) << (through_link ? " through a link" : "");
      EXPECT_EQ(fs::status(special).type(), before) << test::special_name(kind);
      EXPECT_EQ(fs::symlink_status(target).type(), through_link ? fs::file_type::symlink : before);
      EXPECT_EQ(test::folder_names(dir.path()).size(), through_link ? 2u : 1u);  // no temporary left
    }
  }
}
#endif

TEST(FileReplace, ARegularFileAndALinkToOneAreReplaced) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "abcari.csv", "old");
  EXPECT_EQ(check_replaceable(dir / "abcari.csv"), std::error_code());
  EXPECT_EQ(check_replaceable(dir / "missing.csv"), std::error_code());
  EXPECT_EQ(replace_file_contents(dir / "abcari.csv", "new"), std::error_code());
  EXPECT_EQ(test::read_whole_file(dir / "abcari.csv"), "new");
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
  EXPECT_EQ(test::folder_names(dir.path()), std::vector<std::string>{"abcari.csv"});
}
#endif

TEST(FileReplace, DataReachesTheDiskBeforeTheRenameAndTheFolderAfterIt) {
  test::ScratchDir dir;
  const test::FailingFiles files;
  ASSERT_EQ(replace_file_contents(dir / "abcari.csv", "  0\r\n  0\r\n", files), std::error_code());
  ASSERT_EQ(files.calls.size(), 6u);
  const std::string created = files.calls[0].substr(std::string("create_new ").size());
  EXPECT_TRUE(files.calls[0].starts_with("create_new ")) << files.calls[0];
  EXPECT_TRUE(is_fresh_temporary_of("abcari.csv", created)) << created;
  const std::vector<std::string> rest(files.calls.begin() + 1, files.calls.end());
  const std::vector<std::string> expected = {"write", "sync", "close",
                                             "rename " + created + " abcari.csv", "sync_folder"};
  EXPECT_EQ(rest, expected);
  EXPECT_EQ(test::read_whole_file(dir / "abcari.csv"), "  0\r\n  0\r\n");
}

// Whichever call fails, the old file stays as it was and no temporary is left.
TEST(FileReplace, EveryFailingCallKeepsTheOldFile) {
  const std::pair<test::FileCall, std::errc> cases[] = {
      {test::FileCall::create_new, std::errc::permission_denied},  // a read-only folder
      {test::FileCall::write, std::errc::no_space_on_device},     // a full disk
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
    EXPECT_EQ(test::folder_names(dir.path()), std::vector<std::string>{"abcari.csv"})
        << files.calls.back();
  }
}

TEST(FileReplace, FolderThatCannotBeSyncedStillHasTheNewFile) {
  test::ScratchDir dir;
  const test::FailingFiles files(test::FileCall::sync_folder, std::errc::invalid_argument);
  EXPECT_EQ(replace_file_contents(dir / "abcari.csv", "new", files), std::error_code());
  EXPECT_EQ(test::read_whole_file(dir / "abcari.csv"), "new");
}

// Someone who may write into the folder plants a link where a save used to
// put its temporary, hoping that the save writes into the link's target.
TEST(FileReplace, LinkAtATemporaryNameIsNeverWrittenThrough) {
  enum class Link { symbolic, hard, dangling };
  for (const Link kind : {Link::symbolic, Link::hard, Link::dangling}) {
    test::ScratchDir dir;
    const fs::path target = dir / "abcari.csv";
    const fs::path other = dir / "other.txt";
    const fs::path planted = dir / "abcari.csv.tmp";
    if (kind != Link::dangling) test::write_whole_file(other, "someone else's file\n");
    if (kind == Link::hard) {
      fs::create_hard_link(other, planted);
    } else if (!test::make_symlink(other, planted)) {
      continue;  // no symbolic links here; the hard link stands for them
    }

    ASSERT_EQ(replace_file_contents(target, "  0\r\n  0\r\n"), std::error_code());
    EXPECT_EQ(test::read_whole_file(target), "  0\r\n  0\r\n");
    if (kind == Link::dangling) {
      EXPECT_FALSE(fs::exists(other)) << "the save created the link's target";
    } else {
      EXPECT_EQ(test::read_whole_file(other), "someone else's file\n");
    }
    // The link stays where it was planted; the results file is a file of its own.
    EXPECT_TRUE(fs::exists(fs::symlink_status(planted)));
    EXPECT_FALSE(fs::is_symlink(target));
  }
}

// A file created new refuses every name that exists, a link included, and
// the save draws another name.
TEST(FileReplace, CreatingNewRefusesAnythingAtTheName) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "other.txt", "kept\n");
  std::vector<std::string> names = {"other.txt", "hard", "folder"};
  fs::create_hard_link(dir / "other.txt", dir / "hard");
  fs::create_directory(dir / "folder");
  if (test::make_symlink(dir / "other.txt", dir / "link") &&
      test::make_symlink(dir / "missing.txt", dir / "dangling")) {
    names.insert(names.end(), {"link", "dangling"});
  }
  for (const std::string& name : names) {
    FileAccess::Handle handle = 0;
    EXPECT_EQ(system_files().create_new(dir / name, handle), std::errc::file_exists) << name;
  }
  EXPECT_EQ(test::read_whole_file(dir / "other.txt"), "kept\n");
  EXPECT_FALSE(fs::exists(dir / "missing.txt"));
}

// Two programs saving the same file at once: each save stands alone.
TEST(FileReplace, WritersAtTheSameTimeEachPutAWholeFile) {
  test::ScratchDir dir;
  const fs::path target = dir / "abcari.csv";
  constexpr int kWriters = 4;
  constexpr int kSaves = 25;
  std::vector<std::string> contents;
  for (int w = 0; w < kWriters; ++w)
    contents.push_back(std::string(20000 + 1000 * w, static_cast<char>('a' + w)));
  std::vector<int> failures(kWriters, 0);
  {
    std::vector<std::jthread> writers;
    for (int w = 0; w < kWriters; ++w) {
      writers.emplace_back([&, w] {
        const auto mine = static_cast<std::size_t>(w);
        for (int i = 0; i < kSaves; ++i) {
          if (replace_file_contents(target, contents[mine])) ++failures[mine];
        }
      });
    }
  }
  EXPECT_EQ(failures, std::vector<int>(kWriters, 0));
  const std::string last = test::read_whole_file(target);
  EXPECT_NE(std::find(contents.begin(), contents.end(), last), contents.end())
      << "a file of " << last.size() << " bytes";
  EXPECT_EQ(test::folder_names(dir.path()), std::vector<std::string>{"abcari.csv"});
}

}  // namespace
}  // namespace telmor
