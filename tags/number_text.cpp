#include "tags/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace qmb {
namespace {

// Far beyond any track, far inside what the integer conversions hold.
constexpr float kLargestTime = 1.0e12f;

std::string Printf(const char* format, int precision, double x) {
  char buffer[512];
  int n = std::snprintf(buffer, sizeof buffer, format, precision, x);
  if (n < 0) return {};
  if (static_cast<std::size_t>(n) < sizeof buffer) return std::string(buffer, n);
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), format, precision, x);
  big.resize(static_cast<std::size_t>(n));
  return big;
}

}  // namespace

std::string NumberText(double x) {
  // Whole numbers (rows, counts, sizes) are most of them: the same text
  // without the cost of formatting a float, which long lists feel.
  if (std::fabs(x) < 1e15 && x == std::trunc(x)) {
    char buffer[24];
    buffer[0] = std::signbit(x) ? '-' : ' ';
    auto end =
        std::to_chars(buffer + 1, buffer + sizeof buffer, static_cast<std::int64_t>(std::fabs(x)))
            .ptr;
    return std::string(buffer, end);
  }
  return Printf("% .*G", 15, x);
}

std::string ZeroPad(std::int64_t number) {
  bool negative = number < 0;
  std::uint64_t magnitude =
      negative ? ~static_cast<std::uint64_t>(number) + 1 : static_cast<std::uint64_t>(number);
  std::string digits = std::to_string(magnitude);
  if (digits.size() == 1) digits.insert(0, "0");
  return negative ? "-" + digits : digits;
}

std::string TimeText(float seconds, int remaining, float reference) {
  std::string sign;
  float value = seconds;
  if (remaining == 1) {
    value = std::fabs(seconds - reference);
    sign = "-";
  }
  // A negative position has no clock face of its own: show its size after a sign.
  if (value < 0.0f) {
    value = -value;
    sign = "-";
  }
  if (!(value <= kLargestTime)) value = std::isnan(value) ? 0.0f : kLargestTime;
  float h = std::floor(value / 3600.0f);
  float rest = value - h * 3600.0f;
  float m = std::floor(rest / 60.0f);
  rest = rest - m * 60.0f;
  float s = std::floor(rest);
  float f = std::floor(100.0f * (rest - s));
  return sign + ZeroPad(static_cast<std::int64_t>(h)) + ":" +
         ZeroPad(static_cast<std::int64_t>(m)) + ":" + ZeroPad(static_cast<std::int64_t>(s)) + "." +
         ZeroPad(static_cast<std::int64_t>(f));
}

std::string MaskedNumber(std::string_view mask, double x) {
  int decimals = 0;
  std::size_t dot = mask.find('.');
  if (dot != std::string_view::npos) {
    for (std::size_t i = dot + 1; i < mask.size() && (mask[i] == '#' || mask[i] == ' '); ++i) {
      ++decimals;
    }
  }
  // More decimals than a double carries only add zeros.
  if (decimals > 30) decimals = 30;
  std::string fixed = Printf("%.*f", decimals, x);

  std::size_t digitsBegin = (!fixed.empty() && fixed[0] == '-') ? 1 : 0;
  std::size_t digitsEnd = digitsBegin;
  while (digitsEnd < fixed.size() && fixed[digitsEnd] >= '0' && fixed[digitsEnd] <= '9') {
    ++digitsEnd;
  }
  std::string text = fixed.substr(0, digitsBegin);
  for (std::size_t i = digitsBegin; i < digitsEnd; ++i) {
    std::size_t left = digitsEnd - i;
    if (i > digitsBegin && left % 3 == 0) text += ',';
    text += fixed[i];
  }
  text += fixed.substr(digitsEnd);

  if (mask.find('$') != std::string_view::npos) text.insert(0, "$");
  std::size_t blanks = 0;
  for (char c : mask) blanks += c == ' ';
  text.insert(0, blanks, ' ');
  return text;
}

}  // namespace qmb
