// Text fields of the CSV tables: quoted where they hold separators, guarded
// where a spreadsheet would take them for a formula, and read back as given.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "base/csv_text.h"

namespace telmor {
namespace {

// The field as a reader of CSV sees it: unquoted, quotes undoubled.
std::string unquoted(const std::string& field) {
  if (field.empty() || field.front() != '"') return field;
  std::string text;
  for (std::size_t i = 1; i + 1 < field.size(); ++i) {
    text += field[i];
    if (field[i] == '"') ++i;
  }
  return text;
}

TEST(CsvName, FormulasAreGuardedAndReadBackAsTheName) {
  struct Case {
    const char* name;
    const char* written;
  };
  const Case cases[] = {
      {"sample", "sample"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"=1+2", "'=1+2"},
      {"+1", "'+1"},
      {"-aVR", "'-aVR"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"'quoted", "''quoted"},
      {"a=b", "a=b"},
      {"", ""},
  };
  for (const Case& c : cases) {
    std::string text;
    append_csv_name(text, c.name);
    EXPECT_EQ(text, c.written) << c.name;
    EXPECT_EQ(csv_name(unquoted(text)), c.name) << c.name;
    EXPECT_EQ(guarded_csv_text(c.name), unquoted(c.written)) << c.name;
  }
}

TEST(CsvName, ControlsAreShownAndTheTableStaysUtf8) {
  struct Case {
    const char* name;
    const char* written;
  };
  const Case cases[] = {
      {"\tx", "\\x09x"},
      {"\rx", "\\x0Dx"},
      {"a\nb,c", "\"a\\x0Ab,c\""},
      {"V1\x1b[31m", "V1\\x1B[31m"},
      {"=\x07", "'=\\x07"},
      {"caf\xe9", "caf\xef\xbf\xbd"},  // a byte that is no UTF-8
  };
  for (const Case& c : cases) {
    std::string text;
    append_csv_name(text, c.name);
    EXPECT_EQ(text, c.written) << c.name;
    EXPECT_EQ(guarded_csv_text(c.name), unquoted(c.written)) << c.name;
  }
}

TEST(CsvFields, NumbersAndGaps) {
  std::string text;
  append_csv_integer(text, -12);
  append_csv_integer(text, false, 5);
  append_csv_number(text, 2.345, 2);
  append_csv_number(text, -0.001, 2);  // no sign on zero
  append_csv_number(text, std::numeric_limits<double>::quiet_NaN(), 1);
  EXPECT_EQ(text, ",-12,,2.35,0.00,");
}

}  // namespace
}  // namespace telmor
