// Locale-free number parsing and formatting.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "base/decimal_scan.h"
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
// the same refusals, and it stops where the number ends; at the end of the
// text and with more text after it.
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
  // Up to 24 bits of digits, decimal exponents around +-10, with points,
  // exponents and signs in every form.
  std::mt19937_64 random(20261208);
  for (int n = 0; n < 400000; ++n) {
    const std::uint64_t mantissa = random() % ((n % 3 == 0) ? 16777300u : 100000u);
    const std::string digits = std::to_string(mantissa);
    const std::size_t point = random() % (digits.size() + 12);
    std::string text = random() % 2 == 0 ? "" : random() % 2 ? "-" : "+";
    if (point >= digits.size()) {
      text.append("0.").append(point - digits.size(), '0').append(digits);
    } else {
      text.append(digits, 0, digits.size() - point).append(".").append(digits, digits.size() - point);
    }
    if (random() % 4 == 0) text.append("e").append(std::to_string(static_cast<int>(random() % 25) - 12));
    expect_scan_as_parse(text);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

// The fast path must give the bits of std::from_chars (the correctly rounded
// float) on every number it takes, and scan_real on every other; count is
// how many the fast path took. A number beyond the range of floats is left
// to parse_real.
void expect_from_chars(const std::string& text, int& count) {
  const std::string_view digits = text.front() == '+' ? std::string_view(text).substr(1) : text;
  float expected = 0.0f;
  const auto [stop, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), expected);
  ASSERT_EQ(stop, digits.data() + digits.size()) << text;
  const char* const end = text.data() + text.size();
  const char* p = text.data();
  float value = 0.0f;
  if (ec == std::errc::result_out_of_range) {
    ASSERT_FALSE(scan_short_decimal(p, end, value)) << text;
    return;
  }
  ASSERT_EQ(ec, std::errc{}) << text;
  if (scan_short_decimal(p, end, value)) {
    ++count;
    ASSERT_EQ(p, end) << text;
    ASSERT_EQ(std::bit_cast<std::uint32_t>(value), std::bit_cast<std::uint32_t>(expected)) << text;
  }
  p = text.data();
  ASSERT_TRUE(scan_real(p, end, value)) << text;
  ASSERT_EQ(std::bit_cast<std::uint32_t>(value), std::bit_cast<std::uint32_t>(expected)) << text;
}

std::string random_digits(std::mt19937_64& random, std::size_t count) {
  std::string digits;
  for (std::size_t i = 0; i < count; ++i) digits += static_cast<char>('0' + random() % 10);
  return digits;
}

TEST(ShortDecimals, RoundAsFromCharsDoes) {
  // Two million short decimals: 1 to 19 digits (mostly a few, often around
  // 2^53), the point anywhere, exponents to +-30, leading zeros, signs.
  std::mt19937_64 random(7041);
  int fast = 0;
  constexpr int kCount = 2'000'000;
  for (int n = 0; n < kCount; ++n) {
    const std::size_t length = n % 4 == 0 ? 1 + random() % 19 : n % 4 == 1 ? 15 + random() % 3
                                                                           : 1 + random() % 9;
    const std::string digits = random_digits(random, length);
    const std::size_t point = random() % (length + 2);
    std::string text = n % 3 == 0 ? "-" : n % 7 == 0 ? "+" : "";
    if (point > length) {
      text.append(digits).append(".");
    } else if (point == length) {
      text.append(digits);
    } else {
      text.append(digits, 0, point).append(".").append(digits, point);
    }
    if (n % 5 == 0) {
      text.append(n % 2 ? "e" : "E").append(std::to_string(static_cast<int>(random() % 61) - 30));
    }
    expect_from_chars(text, fast);
    if (::testing::Test::HasFatalFailure()) return;
  }
  EXPECT_GT(fast, kCount / 2);  // the fast path's range is the usual one
}

TEST(ShortDecimals, NearTheMidpointsOfTwoFloatsRoundAsFromChars) {
  // The decimals closest to a midpoint between two floats, to 6..19
  // significant digits: they lie above, below or on it, some within a few
  // units of a double of it, where the fast path must leave the number to
  // parse_real.
  std::mt19937_64 random(5309);
  int fast = 0;
  for (int n = 0; n < 300000; ++n) {
    // Floats between about 1e-20 and 1e20, and small whole numbers.
    const float f = n % 2 ? std::ldexp(1.0f + static_cast<float>(random() % (1u << 23)) * 0x1p-23f,
                                       static_cast<int>(random() % 130) - 65)
                          : static_cast<float>(random() % (1u << 26));
    const double midpoint = (static_cast<double>(f) +
                             static_cast<double>(std::nextafter(f, std::numeric_limits<float>::max()))) / 2;
    char buf[64];
    const int precision = 5 + static_cast<int>(random() % 15);
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, midpoint,
                                         std::chars_format::scientific, precision);
    ASSERT_EQ(ec, std::errc{});
    expect_from_chars(std::string(buf, end), fast);
    if (::testing::Test::HasFatalFailure()) return;
  }
  EXPECT_GT(fast, 0);
}

TEST(ShortDecimals, EdgesOfTheFastPath) {
  // value, and whether the fast path may take it (else parse_real reads it).
  const std::pair<const char*, bool> cases[] = {
      {"16777217", false},                // 2^24 + 1: a midpoint, ties to even
      {"16777219", false},                // 2^24 + 3: a midpoint, ties to even (up)
      {"16777217.0000001", true},         // just above the midpoint
      {"16777216.9999999", true},         // just below it
      {"9007199254740991", true},         // 2^53 - 1, the largest mantissa
      {"9007199254740992", false},        // 2^53
      {"1234567890123456789", false},     // 19 digits beyond 2^53
      {"0000000000000000001", true},      // 19 digits, leading zeros
      {"00000000000000000001", false},    // 20 digits
      {"1e22", true},      {"1e23", false},        {"1e-22", true},  {"1e-23", false},
      {"9.9e21", true},    {"0.000000000000000000001", false},  // 22 digits
      {"12.5e-21", true}, {"12.5e-22", false},  {"-0", true},           {"-0.0e0", true}, {".5", true},
      {"5.", true},        {"+.5e+1", true},       {"1e+0000022", true},
      {"3.4028235e38", false},  // beyond the exponent range: parse_real
      {"1.17549435e-38", false}, {"1e-45", false},
  };
  for (const auto& [text, fast_path] : cases) {
    int fast = 0;
    expect_from_chars(text, fast);
    EXPECT_EQ(fast == 1, fast_path) << text;
  }
}

TEST(ParseReal, IgnoresTheLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
  EXPECT_EQ(real("0.25"), 0.25f);
  EXPECT_EQ(format_real(0.25f), "0.25");
  EXPECT_EQ(format_double(1000.5), "1000.5");
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

TEST(FormatDouble, ShortestRoundTrip) {
  const double values[] = {0.1, 1000.0, 1000.5, -2.5, 1e-300, 1.7976931348623157e308, 2.0 / 3.0, 5e-324};
  for (const double value : values) {
    const std::string text = format_double(value);
    double back = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(back, value) << text;
    EXPECT_EQ(text.find(','), std::string::npos) << text;
  }
  EXPECT_EQ(format_double(1000.0), "1000");
  EXPECT_EQ(format_double(-2.5), "-2.5");
  EXPECT_EQ(format_double(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(format_double(std::numeric_limits<double>::quiet_NaN()), "nan");
}

}  // namespace
}  // namespace telmor
