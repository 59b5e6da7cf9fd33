// A reader program run contained (the test's own, contained_test_reader):
// what it hands on comes back whole; a crash, an abort, a hang, an exception
// or a flood of memory costs only its file and is named; it has no
// descriptor but its pipe, nothing it prints reaches the caller's streams,
// no process is left behind; and the stream it sends is checked like a file.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "readers/contained_read.h"
#include "support/test_files.h"

namespace telmor {
namespace {

using namespace std::chrono_literals;

// The test's reader program, doing what mode says.
RecordingProblem read_test(const std::string& mode, Recording& recording, const Containment& containment = {}) {
  return read_contained("TEST", TELMOR_TEST_READER, {mode}, recording, containment);
}

// No child of this test is left: waitpid has none to wait for.
void expect_no_children() {
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(ContainedRead, WhatTheReaderHandsOnComesBackWhole) {
  Recording r;
  const RecordingProblem p = read_test("two_leads", r);
  ASSERT_FALSE(p) << p.detail;
  EXPECT_EQ(r.lead_count, 2);
  EXPECT_EQ(r.sample_count, 5);
  EXPECT_EQ(r.rate_hz, 500.0);
  EXPECT_EQ(r.values, (std::vector<float>{1, 2, 3, 4, 5, -1, -2, -3, -4, -5}));
  EXPECT_EQ(r.labels, (std::vector<std::string>{"V1", "V2"}));
  EXPECT_EQ(r.units, (std::vector<std::string>{"mV", "mV"}));
  expect_no_children();
}

TEST(ContainedRead, ALargeRecordingCrossesInBlocks) {
  Recording r;
  const RecordingProblem p = read_test("large", r);
  ASSERT_FALSE(p) << p.detail;
  ASSERT_EQ(r.values.size(), 9'000'000u);
  EXPECT_EQ(r.value(3, 3'000'000), static_cast<float>(3 * 1e-3 * (3'000'000 - 1)));
  EXPECT_EQ(r.value(2, 1), 0.0f);
}

TEST(ContainedRead, TheReaderHasOnlyItsPipeAndItsOwnProblemComesBack) {
  Recording r;
  RecordingProblem p = read_test("descriptors", r);
  EXPECT_FALSE(p) << p.detail << " " << p.count;
  p = read_test("problem", r);
  EXPECT_EQ(p.fault, RecordingFault::dataset_not_found);
  EXPECT_EQ(p.detail, "/data\\x1B[2J");  // a control sent back is shown, not obeyed
}

// Each way a library can go wrong, and the reason it becomes.
TEST(ContainedRead, CrashesHangsAndExceptionsCostOnlyTheFile) {
  struct Case {
    const char* mode;
    RecordingFault fault;
    std::int64_t count;
  };
  const std::vector<Case> cases = {
      {"segfault", RecordingFault::library_crashed, SIGSEGV},
      {"abort", RecordingFault::library_crashed, SIGABRT},
      {"exit", RecordingFault::library_crashed, 0},
      {"hang", RecordingFault::library_hung, 1},
      {"bad_alloc", RecordingFault::too_large, 0},
      {"length_error", RecordingFault::format_unreadable, 0},
      {"half", RecordingFault::library_crashed, SIGBUS},
      {"missing", RecordingFault::end_of_file, 0},
      {"no such mode", RecordingFault::format_unreadable, 0},
  };
  Containment brief;
  brief.quiet = 1s;
  for (const Case& c : cases) {
    Recording r;
    const RecordingProblem p = read_test(c.mode, r, brief);
    EXPECT_EQ(p.fault, c.fault) << c.mode;
    EXPECT_EQ(p.count, c.count) << c.mode;
    if (p.fault == RecordingFault::library_crashed || p.fault == RecordingFault::library_hung) {
      EXPECT_EQ(p.detail, "TEST") << c.mode;
    }
    EXPECT_EQ(r.lead_count, 0) << c.mode;
  }
  expect_no_children();
}

TEST(ContainedRead, AMissingReaderProgramIsNamed) {
  Recording r;
  EXPECT_EQ(read_contained("TEST", "", {"two_leads"}, r).fault, RecordingFault::format_unreadable);
  const RecordingProblem p = read_contained("TEST", "/nonexistent/telmor-read", {"two_leads"}, r);
  EXPECT_EQ(p.fault, RecordingFault::format_unreadable);
  EXPECT_NE(p.detail.find("/nonexistent/telmor-read"), std::string::npos) << p.detail;
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// A library that asks for more than any recording needs is refused the
// memory rather than given the machine's.
TEST(ContainedRead, AFloodOfMemoryIsRefused) {
  Containment small;
  small.memory = std::uint64_t{256} << 20;
  Recording r;
  EXPECT_EQ(read_test("flood", r, small).fault, RecordingFault::too_large);
}
#endif

TEST(ContainedRead, WhatTheLibraryPrintsStaysInTheReader) {
  test::ScratchDir dir;
  const auto captured = dir / "streams";
  std::fflush(nullptr);
  const int saved_out = ::dup(1), saved_err = ::dup(2);
  std::FILE* file = std::fopen(captured.c_str(), "w");
  ::dup2(::fileno(file), 1);
  ::dup2(::fileno(file), 2);
  Recording r;
  const RecordingProblem p = read_test("print", r);
  std::fflush(nullptr);
  ::dup2(saved_out, 1);
  ::dup2(saved_err, 2);
  ::close(saved_out);
  ::close(saved_err);
  std::fclose(file);
  EXPECT_FALSE(p);
  EXPECT_EQ(test::read_whole_file(captured), "");
}

TEST(ContainedRead, ReadsFromManyThreadsAtOnce) {
  std::vector<RecordingProblem> problems(6);
  std::vector<Recording> recordings(6);
  {
    std::vector<std::jthread> threads;
    for (std::size_t k = 0; k < problems.size(); ++k)
      threads.emplace_back([&, k] { problems[k] = read_test("two_leads", recordings[k]); });
  }
  for (std::size_t k = 0; k < problems.size(); ++k) {
    EXPECT_FALSE(problems[k]) << k;
    EXPECT_EQ(recordings[k].sample_count, 5) << k;
  }
  expect_no_children();
}

// The stream on its own: each lie a damaged child could tell is refused
// before it is believed.
TEST(ContainedStream, LiesAreRefusedBeforeAnythingIsAllocated) {
  const auto head = [](char kind, std::uint32_t length) {
    std::string h(1, kind);
    h.append(reinterpret_cast<const char*>(&length), sizeof length);
    return h;
  };
  const std::vector<float> three = {1, 2, 3};
  struct Case {
    const char* what;
    std::string bytes;
    bool damaged;
    RecordingFault fault;
  };
  const std::vector<Case> cases = {
      {"a message beyond the most", head('V', 0xFFFFFFF0u), true, RecordingFault::none},
      {"an unknown kind", head('X', 0), true, RecordingFault::none},
      {"values before the shape", values_message(1, three), false, RecordingFault::format_unreadable},
      {"a shape beyond the limit", begin_message(1u << 20, 1u << 30, 1000.0, {}, {}), false,
       RecordingFault::first_line_values},
      {"2^62 + 1 samples", begin_message(4, (std::uint64_t{1} << 62) + 1, 1000.0, {}, {}), false,
       RecordingFault::beyond_limit},
      {"a rate of NaN", begin_message(1, 3, std::nan(""), {}, {}), false, RecordingFault::rate_invalid},
      {"a lead outside", begin_message(1, 3, 1000.0, {}, {}) + values_message(2, three), false,
       RecordingFault::format_unreadable},
      {"more values than samples", begin_message(1, 2, 1000.0, {}, {}) + values_message(1, three), false,
       RecordingFault::format_unreadable},
      {"a label count that lies", head('B', 28) + std::string(24, '\0') + "\xff\xff\xff\x7f", true,
       RecordingFault::none},
      {"a problem of no fault", problem_message(RecordingProblem{}), true, RecordingFault::none},
      {"a finish with a payload", head('F', 1) + "x", true, RecordingFault::none},
  };
  for (const Case& c : cases) {
    // Byte by byte and whole: the split must not matter.
    for (const bool bytewise : {false, true}) {
      RecordingBuilder b;
      ContainedStream s(b);
      if (bytewise) {
        for (const char ch : c.bytes)
          if (!s.feed({&ch, 1})) break;
      } else {
        s.feed(c.bytes);
      }
      EXPECT_EQ(s.damaged(), c.damaged) << c.what << (bytewise ? " (bytewise)" : "");
      EXPECT_EQ(s.problem().fault, c.fault) << c.what << (bytewise ? " (bytewise)" : "");
    }
  }
}

TEST(ContainedStream, AWholeStreamBuildsItsRecording) {
  RecordingBuilder builder;
  ContainedStream stream(builder);
  const std::vector<float> values = {0.5f, -0.25f};
  const std::string bytes = begin_message(1, 2, 250.0, {"E\xc9"}, {}) + values_message(1, values) + finished_message();
  for (const char ch : bytes) stream.feed({&ch, 1});
  ASSERT_TRUE(stream.finished());
  Recording r;
  ASSERT_FALSE(builder.finish(r));
  EXPECT_EQ(r.values, values);
  EXPECT_EQ(r.labels.front(), "E\xc3\x89");  // a Latin-1 label as UTF-8
}

}  // namespace
}  // namespace telmor
