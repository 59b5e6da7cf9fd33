// Locale-free number parsing and formatting.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "base/number_text.h"

namespace telmor {
namespace {

float real(std::string_view text) {
  float v = -12345.0f;
  EXPECT_TRUE(parse_real(text, v)) << text;
  return v;
}

bool rejects(std::string_view text) {
  float v = -12345.0f;
  return !parse_real(text, v) && v == -12345.0f;
}

TEST(ParseReal, OrdinaryDecimalForms) {
  EXPECT_EQ(real("12"), 12.0f);
  EXPECT_EQ(real("-0.35"), -0.35f);
  EXPECT_EQ(real("1.5E-2"), 1.5e-2f);
  EXPECT_EQ(real("1.5e+2"), 150.0f);
  EXPECT_EQ(real("+7"), 7.0f);
  EXPECT_EQ(real(".5"), 0.5f);
  EXPECT_EQ(real("5."), 5.0f);
  EXPECT_EQ(real("-.5"), -0.5f);
}

TEST(ParseReal, RefusesWhatIsNotAPlainDecimal) {
  for (std::string_view bad : {"", "+", "-", ".", "e5", "1.5D-2", "3*1.0", "'1.0'", "inf", "-inf",
                               "nan", "NaN", "0x1p3", "1e", "1.0.0", "+-1", "--1", "1,5", "abc",
                               "12a"}) {
    EXPECT_TRUE(rejects(bad)) << bad;
  }
}

TEST(ParseReal, OverflowIsRefusedUnderflowReadsAsZero) {
  EXPECT_TRUE(rejects("3.4028236e38"));
  EXPECT_TRUE(rejects("1e39"));
  EXPECT_TRUE(rejects("-1e39"));
  EXPECT_TRUE(rejects("123456789012345678901234567890123456789012345"));
  EXPECT_EQ(real("3.4028235e38"), std::numeric_limits<float>::max());
  EXPECT_EQ(real("1e-50"), 0.0f);
  EXPECT_TRUE(std::signbit(real("-1e-50")));
  EXPECT_EQ(real("0.0000000000000000000000000000000000000000000000000001"), 0.0f);
  EXPECT_EQ(real("1e-45"), std::numeric_limits<float>::denorm_min());
}

TEST(ParseReal, RoundsStraightFromTheDecimalText) {
  // 1 + 2^-24 + 2^-60: through a double it becomes the midpoint 1 + 2^-24 and
  // then rounds to even (1.0); correctly rounded it is just above the midpoint.
  EXPECT_EQ(real("1.000000059604644776257986737988403547206"), std::nextafter(1.0f, 2.0f));
  EXPECT_EQ(real("1.00000005960464477539062499"), 1.0f);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(real("0.1")), 0x3DCCCCCDu);
}

// scan_real must read every number as parse_real reads it: the same bits,
// the same refusals, and it stops where the number ends; near the end of the
// text and with more text after it (the path that reads eight bytes at once).
void expect_scan_as_parse(const std::string& token) {
  const std::string more(24, '9');
  for (const std::string& after :
       {std::string(), std::string(" 7"), std::string(",8"), std::string("\n"), std::string("/x"),
        " " + more, "\r\n" + more, "," + more, "\t" + more, "/" + more, "\n\n" + more}) {
    const std::string text = token + after;
    float parsed = -1.0f, scanned = -1.0f;
    const bool parse_ok = parse_real(token, parsed);
    const char* p = text.data();
    const bool scan_ok = scan_real(p, text.data() + text.size(), scanned);
    ASSERT_EQ(scan_ok, parse_ok) << '"' << text << '"';
    if (!parse_ok) continue;
    ASSERT_EQ(std::bit_cast<std::uint32_t>(scanned), std::bit_cast<std::uint32_t>(parsed))
        << '"' << text << '"';
    ASSERT_EQ(p, text.data() + token.size()) << '"' << text << '"';
  }
}

TEST(ScanReal, ReadsEveryNumberAsParseRealDoes) {
  for (const std::string token :
       {"12", "-0.35", "1.5E-2", "1.5e+2", "+7", ".5", "5.", "-.5", "0", "-0", "-0.0000", "00012.50",
        "16777216", "16777217", "0.16777217", "1677721.7", "9999999999", "0.0000000001",
        "1e10", "1e11", "1e-10", "1e-11", "123456789", "1234567890", "0.1234567890123456789",
        "12345678901234567890", "3.4028235e38", "1e39", "1e-50", "-1e-50", "1e-45", "1e0000002",
        "1e", "1e+", "e5", ".", "+", "-", "", "1.0.0", "12a", "1x", "inf", "nan", "0x1p3",
        "1.000000059604644776257986737988403547206"}) {
    expect_scan_as_parse(token);
  }
  expect_scan_as_parse(std::string("1\0", 2));  // a NUL byte right after the digits
}

TEST(ScanReal, RandomDecimalsReadAsParseRealDoes) {
  // The fast path's range and its edges: up to 24 bits of digits, decimal
  // exponents around +-10, with points, exponents and signs in every form.
  std::mt19937_64 random(20261208);
  for (int n = 0; n < 400000; ++n) {
    const std::uint64_t mantissa = random() % ((n % 3 == 0) ? 16777300u : 100000u);
    std::string digits = std::to_string(mantissa);
    const int point = static_cast<int>(random() % (digits.size() + 12));
    if (point >= static_cast<int>(digits.size())) {
      digits = "0." + std::string(static_cast<std::size_t>(point) - digits.size(), '0') + digits;
    } else {
      digits.insert(digits.size() - static_cast<std::size_t>(point), ".");
    }
    if (random() % 4 == 0) digits += "e" + std::to_string(static_cast<int>(random() % 25) - 12);
    if (random() % 2 == 0) digits.insert(0, random() % 2 ? "-" : "+");
    expect_scan_as_parse(digits);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(ParseReal, IgnoresTheLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  EXPECT_EQ(real("0.25"), 0.25f);
  EXPECT_EQ(format_real(0.25f), "0.25");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParseInteger, WholeNumbersOnly) {
  std::int32_t v = 0;
  EXPECT_TRUE(parse_integer("20", v));
  EXPECT_EQ(v, 20);
  EXPECT_TRUE(parse_integer("-80", v));
  EXPECT_EQ(v, -80);
  EXPECT_TRUE(parse_integer("+5", v));
  EXPECT_EQ(v, 5);
  v = 11;
  for (std::string_view bad : {"", "+", "3.0", "1e2", "x", "2147483648", "+-3", " 3"}) {
    EXPECT_FALSE(parse_integer(bad, v)) << bad;
  }
  EXPECT_EQ(v, 11);
}

TEST(FormatWidth, RightAlignedOrAsterisks) {
  EXPECT_EQ(format_integer_width(2, 4), "   2");
  EXPECT_EQ(format_integer_width(-12, 3), "-12");
  EXPECT_EQ(format_integer_width(12345, 4), "****");
  EXPECT_EQ(format_integer_width(-100, 3), "***");
  EXPECT_EQ(format_fixed_width(1.5, 5, 1), "  1.5");
  EXPECT_EQ(format_fixed_width(0.0, 5, 1), "  0.0");
  EXPECT_EQ(format_fixed_width(123456.0, 5, 1), "*****");
}

TEST(FormatReal, ShortestRoundTrip) {
  EXPECT_EQ(format_real(0.1f), "0.1");
  EXPECT_EQ(format_real(7.0f), "7");
  EXPECT_EQ(format_real(-80.0f), "-80");
}

}  // namespace
}  // namespace telmor
