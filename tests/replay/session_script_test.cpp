// Parsing of session scripts: directive forms, kept blanks, comments, line ends, errors.
#include "replay/session_script.h"

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace telmor {
namespace {

Directive only(std::string_view text) {
  const std::vector<Directive> directives = parse_session_script(text);
  EXPECT_EQ(directives.size(), 1u);
  return directives.empty() ? Directive{} : directives.front();
}

int error_line(std::string_view text) {
  try {
    parse_session_script(text);
  } catch (const ScriptError& error) {
    return error.line_number();
  }
  return 0;
}

TEST(SessionScript, ConsoleLineKeepsItsBlanks) {
  const Directive d = only("console   y , n");
  EXPECT_EQ(d.kind, DirectiveKind::console);
  EXPECT_EQ(d.text, "  y , n");
  EXPECT_EQ(d.line_number, 1);
  EXPECT_EQ(d.source, "console   y , n");
  EXPECT_EQ(only("console abc  ").text, "abc  ");
}

TEST(SessionScript, EmptyTypedLines) {
  EXPECT_EQ(only("console").text, "");
  EXPECT_EQ(only("console ").text, "");
  EXPECT_EQ(only("console").kind, DirectiveKind::console);
  EXPECT_EQ(only("chart").kind, DirectiveKind::chart);
  EXPECT_EQ(only("chart ").text, "");
  EXPECT_EQ(only("console  ").text, " ");
}

TEST(SessionScript, ChartLine) {
  const Directive d = only("chart d");
  EXPECT_EQ(d.kind, DirectiveKind::chart);
  EXPECT_EQ(d.text, "d");
}

TEST(SessionScript, PressAndDouble) {
  const Directive left = only("press left 120 45");
  EXPECT_EQ(left.kind, DirectiveKind::press);
  EXPECT_EQ(left.button, MouseButton::left);
  EXPECT_EQ(left.x, 120);
  EXPECT_EQ(left.y, 45);

  const Directive right = only("double right -3 32767");
  EXPECT_EQ(right.kind, DirectiveKind::double_click);
  EXPECT_EQ(right.button, MouseButton::right);
  EXPECT_EQ(right.x, -3);
  EXPECT_EQ(right.y, 32767);

  const Directive spaced = only("press  right\t7   -32768");
  EXPECT_EQ(spaced.button, MouseButton::right);
  EXPECT_EQ(spaced.x, 7);
  EXPECT_EQ(spaced.y, -32768);
}

TEST(SessionScript, Snapshot) {
  const Directive d = only("snapshot out/my chart.png");
  EXPECT_EQ(d.kind, DirectiveKind::snapshot);
  EXPECT_EQ(d.text, "out/my chart.png");
}

TEST(SessionScript, CommentsBlankLinesAndLineNumbers) {
  const std::vector<Directive> directives = parse_session_script(
      "# a comment\n"
      "\n"
      "console y\n"
      "   \n"
      "#console not this\n"
      "press left 1 2\n");
  ASSERT_EQ(directives.size(), 2u);
  EXPECT_EQ(directives[0].line_number, 3);
  EXPECT_EQ(directives[1].line_number, 6);
  EXPECT_EQ(directives[1].kind, DirectiveKind::press);
}

TEST(SessionScript, CrLfLineEnds) {
  const std::vector<Directive> directives =
      parse_session_script("console y \r\n\r\nchart\r\npress left 1 2\r\nconsole last");
  ASSERT_EQ(directives.size(), 4u);
  EXPECT_EQ(directives[0].text, "y ");
  EXPECT_EQ(directives[1].kind, DirectiveKind::chart);
  EXPECT_EQ(directives[1].text, "");
  EXPECT_EQ(directives[1].line_number, 3);
  EXPECT_EQ(directives[2].y, 2);
  EXPECT_EQ(directives[3].text, "last");
  EXPECT_EQ(directives[3].source, "console last");
}

TEST(SessionScript, Utf8TextAndByteOrderMark) {
  const std::vector<Directive> directives =
      parse_session_script("\xEF\xBB\xBF" "console \xE3\x81\x82\n");
  ASSERT_EQ(directives.size(), 1u);
  EXPECT_EQ(directives[0].text, "\xE3\x81\x82");
}

TEST(SessionScript, EmptyScript) {
  EXPECT_TRUE(parse_session_script("").empty());
  EXPECT_TRUE(parse_session_script("\n# only a comment\n").empty());
}

TEST(SessionScript, ChangedFileAnswers) {
  const Directive keep = only("changed-file keep");
  EXPECT_EQ(keep.kind, DirectiveKind::changed_file);
  EXPECT_EQ(keep.file_answer, ChangedFileAnswer::keep);
  EXPECT_EQ(only("changed-file overwrite").file_answer, ChangedFileAnswer::overwrite);
  EXPECT_EQ(error_line("changed-file"), 1);
  EXPECT_EQ(error_line("changed-file yes"), 1);
  EXPECT_EQ(error_line("changed-file keep overwrite"), 1);
}

TEST(SessionScript, MalformedLinesNameTheirLine) {
  EXPECT_EQ(error_line("console y\nclick left 1 2\n"), 2);
  EXPECT_EQ(error_line("\n\npress middle 1 2"), 3);
  EXPECT_EQ(error_line("press left 1"), 1);
  EXPECT_EQ(error_line("press left 1 2 3"), 1);
  EXPECT_EQ(error_line("press left x 2"), 1);
  EXPECT_EQ(error_line("press left 1.5 2"), 1);
  EXPECT_EQ(error_line("press left 32768 2"), 1);
  EXPECT_EQ(error_line("double right 1 -32769"), 1);
  EXPECT_EQ(error_line("double"), 1);
  EXPECT_EQ(error_line("snapshot"), 1);
  EXPECT_EQ(error_line("snapshot  "), 1);
  EXPECT_EQ(error_line(" console y"), 1);
  EXPECT_EQ(error_line("Console y"), 1);
  EXPECT_EQ(error_line("consoley"), 1);
}

TEST(SessionScript, ErrorMessageNamesLineAndDirective) {
  try {
    parse_session_script("console a\n\nwait 3\n");
    FAIL() << "no error";
  } catch (const ScriptError& error) {
    EXPECT_STREQ(error.what(), "line 3: unknown directive 'wait'");
  }
}

TEST(SessionScript, LoadsAFile) {
  test::ScratchDir dir;
  test::write_whole_file(dir / "s.txt", "console a\r\nchart b\r\n");
  const std::vector<Directive> directives = load_session_script(dir / "s.txt");
  ASSERT_EQ(directives.size(), 2u);
  EXPECT_EQ(directives[1].text, "b");
  EXPECT_THROW(load_session_script(dir / "missing.txt"), std::runtime_error);
  EXPECT_THROW(load_session_script(dir.path()), std::runtime_error);
}

}  // namespace
}  // namespace telmor
