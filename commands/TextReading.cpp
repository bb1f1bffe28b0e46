#include "commands/TextReading.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

size_t SkipBlanks(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  return at;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsDigit(std::string_view text, size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; }

size_t SkipDigits(std::string_view text, size_t at) {
  while (IsDigit(text, at)) ++at;
  return at;
}

}  // namespace

int32_t ReadHexCount(std::string_view text) {
  size_t at = SkipBlanks(text);
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) at += 2;
  // Accumulated in 64 bits and held at the 32-bit limit, so that a long run
  // of digits cannot overflow.
  const int64_t limit = int64_t(INT32_MAX) + 1;
  int64_t value = 0;
  for (int digit; at < text.size() && (digit = HexDigit(text[at])) >= 0; ++at)
    value = std::min(value * 16 + digit, limit);
  if (negative) return int32_t(-value);
  return int32_t(std::min<int64_t>(value, INT32_MAX));
}

double ScanReal(std::string_view text, size_t& used) {
  used = 0;
  size_t start = SkipBlanks(text);
  size_t at = start;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  size_t digits = at;
  at = SkipDigits(text, at);
  bool whole = at > digits;
  if (at < text.size() && text[at] == '.' && (whole || IsDigit(text, at + 1))) at = SkipDigits(text, at + 1);
  if (at == digits) return 0.0;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    size_t exponent = at + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    if (IsDigit(text, exponent)) at = SkipDigits(text, exponent);
  }
  // from_chars reads the same grammar in the "C" locale whatever the user's
  // locale is; a number beyond the double range becomes infinite or 0.
  std::string_view number = text.substr(digits, at - digits);
  double value = 0.0;
  if (std::from_chars(number.data(), number.data() + number.size(), value).ec == std::errc::result_out_of_range) {
    size_t mark = number.find_first_of("eE");
    bool tiny = mark != std::string_view::npos && number[mark + 1] == '-';
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  }
  used = at;
  return negative ? -value : value;
}

double ReadReal(std::string_view text) {
  size_t used = 0;
  return ScanReal(text, used);
}

int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= double(INT32_MAX)) return INT32_MAX;
  if (value <= double(INT32_MIN)) return INT32_MIN;
  return int32_t(value);
}

int32_t SecondsToFrames(double seconds, int32_t rate) { return TruncateToInt32(seconds * rate); }

int32_t RateFromScrollPosition(int32_t position) {
  int32_t rate = 25 * (position / 25);
  return std::clamp(rate, 2100, 44100);
}
