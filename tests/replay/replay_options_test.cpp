// The telmor-replay command line.
#include "replay/replay_options.h"

#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace telmor {
namespace {

ReplayOptions parse(std::vector<std::string_view> arguments) {
  return parse_replay_arguments(arguments);
}

TEST(ReplayOptions, ScriptAlone) {
  const ReplayOptions options = parse({"session.txt"});
  EXPECT_EQ(options.script, "session.txt");
  EXPECT_EQ(options.root, ".");
  EXPECT_FALSE(options.draw_log.has_value());
  EXPECT_FALSE(options.help);
}

TEST(ReplayOptions, RootAndDrawLogInAnyOrder) {
  const ReplayOptions options = parse({"--draw-log", "draw.txt", "s.txt", "--root", "/data"});
  EXPECT_EQ(options.script, "s.txt");
  EXPECT_EQ(options.root, "/data");
  ASSERT_TRUE(options.draw_log.has_value());
  EXPECT_EQ(*options.draw_log, "draw.txt");
}

// The program's lines follow the locale's language unless --lang names one.
TEST(ReplayOptions, LanguageFromTheLocaleUnlessAsked) {
  struct Case {
    std::vector<std::string_view> arguments;
    Language locale;
    bool english;
  };
  const Case cases[] = {
      {{"s.txt"}, Language::japanese, false},
      {{"s.txt"}, Language::english, true},
      {{"--lang", "ja", "s.txt"}, Language::english, false},
      {{"--lang", "en", "s.txt"}, Language::japanese, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(parse_replay_arguments(c.arguments, c.locale).english, c.english) << c.arguments.front();
}

TEST(ReplayOptions, DoubleDashEndsTheOptions) {
  EXPECT_EQ(parse({"--", "-odd.txt"}).script, "-odd.txt");
}

TEST(ReplayOptions, HelpAndVersionNeedNoScript) {
  EXPECT_TRUE(parse({"--help"}).help);
  EXPECT_TRUE(parse({"-h"}).help);
  EXPECT_TRUE(parse({"--version"}).version);
  EXPECT_FALSE(parse({"s.txt"}).version);
  EXPECT_EQ(parse({"--", "--version"}).script, "--version");
}

TEST(ReplayOptions, UsageErrors) {
  EXPECT_THROW(parse({}), UsageError);
  EXPECT_THROW(parse({"a.txt", "b.txt"}), UsageError);
  EXPECT_THROW(parse({"--root"}), UsageError);
  EXPECT_THROW(parse({"s.txt", "--draw-log"}), UsageError);
  EXPECT_THROW(parse({"--verbose", "s.txt"}), UsageError);
  EXPECT_THROW(parse({"--root", "r"}), UsageError);
}

}  // namespace
}  // namespace telmor
