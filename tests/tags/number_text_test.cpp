#include "tags/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qmb {
namespace {

TEST(NumberTextTest, BlankBeforeNonNegativeAndFifteenDigits) {
  struct Case {
    double x;
    const char* text;
  } cases[] = {
      {2, " 2"},
      {-2, "-2"},
      {0, " 0"},
      {215.347, " 215.347"},
      {1.0 / 3, " 0.333333333333333"},
      {1e20, " 1E+20"},
      {1234567, " 1234567"},
      {-0.0, "-0"},
      {999999999999999, " 999999999999999"},
      {1e15, " 1E+15"},
      {-123456789012345, "-123456789012345"},
  };
  for (const Case& c : cases) EXPECT_EQ(NumberText(c.x), c.text) << c.x;
}

TEST(NumberTextTest, ZeroPadPadsOneDigitOnly) {
  const std::pair<std::int64_t, const char*> cases[] = {
      // clang-format off
      {0, "00"}, {7, "07"}, {42, "42"}, {100, "100"}, {-5, "-05"},
      {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
      // clang-format on
  };
  for (auto [x, text] : cases) EXPECT_EQ(ZeroPad(x), text) << x;
}

TEST(NumberTextTest, TimeTexts) {
  struct Case {
    float seconds;
    int remaining;
    float reference;
    const char* text;
  } cases[] = {
      // clang-format off
      {0, 0, 0, "00:00:00.00"}, {3725.5f, 0, 0, "01:02:05.50"}, {215.347f, 0, 0, "00:03:35.34"},
      {30, 1, 200, "-00:02:50.00"}, {200, 1, 30, "-00:02:50.00"}, {360000, 0, 0, "100:00:00.00"},
      {-5, 0, 0, "-00:00:05.00"},
      // clang-format on
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TimeText(c.seconds, c.remaining, c.reference), c.text) << c.seconds;
  }
}

TEST(NumberTextTest, TimeTextSurvivesValuesNoClockHolds) {
  for (float v : {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(),
                  3.0e38f, -3.0e38f}) {
    std::string text = TimeText(v, 0, 0);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.find(':'), std::string::npos);
  }
  EXPECT_EQ(TimeText(std::numeric_limits<float>::quiet_NaN(), 0, 0), "00:00:00.00");
}

TEST(NumberTextTest, MaskedNumbers) {
  struct Case {
    const char* mask;
    double x;
    const char* text;
  } cases[] = {
      // clang-format off
      {"###", 1234, "1,234"}, {"###", 12, "12"}, {"###", 123, "123"}, {"###", 1234567, "1,234,567"},
      {"###", -123456, "-123,456"}, {"#,###.##", 1234.567, "1,234.57"}, {"$###.#", 5.25, "$5.2"},
      {" ###", 1000, " 1,000"}, {"###.", 3.7, "4"},
      // clang-format on
  };
  for (const Case& c : cases) EXPECT_EQ(MaskedNumber(c.mask, c.x), c.text) << c.mask;
}

TEST(NumberTextTest, MaskedNumberOfHugeAndOddValuesStaysSane) {
  EXPECT_EQ(MaskedNumber("###", 1e300).size(), 301u + 100u);
  EXPECT_EQ(MaskedNumber("###", std::nan("")), "nan");
  EXPECT_EQ(MaskedNumber("###", -std::numeric_limits<double>::infinity()), "-inf");
  std::string longMask = "#." + std::string(1000, '#');
  EXPECT_LT(MaskedNumber(longMask, 1).size(), 64u);
}

}  // namespace
}  // namespace qmb
