// Result formatting with std::to_chars: correctly rounded and locale-free on every runtime.
#include "engine/format.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace {

// Large enough for any %.17g text ("-1.2345678901234567e-308") and any int64.
constexpr int buffer_size = 40;

std::wstring widen(const char* first, const char* last) { return std::wstring(first, last); }

}  // namespace

std::wstring format_general(double x, int precision) {
  if (precision < 1) precision = 1;
  if (precision > 17) precision = 17;
  char buffer[buffer_size];
  const auto result =
      std::to_chars(buffer, buffer + buffer_size, x, std::chars_format::general, precision);
  return widen(buffer, result.ptr);
}

std::wstring format_result(double x) {
  // Comparisons only, no call into the C library: NaN is the one value unequal to
  // itself, and below 1e15 in magnitude the truncation to int64 is exact.
  if (x != x) return error_word;
  if (x > std::numeric_limits<double>::max() || x < -std::numeric_limits<double>::max())
    return infinity_word;
  if (x < 1e15 && x > -1e15 && static_cast<double>(static_cast<std::int64_t>(x)) == x) {
    char buffer[buffer_size];
    // Negative zero converts to 0 and so shows as "0".
    const auto result = std::to_chars(buffer, buffer + buffer_size, static_cast<std::int64_t>(x));
    return widen(buffer, result.ptr);
  }
  return format_general(x, 12);
}

std::wstring format_full(double x) {
  if (x != x) return error_word;
  if (x > std::numeric_limits<double>::max() || x < -std::numeric_limits<double>::max())
    return infinity_word;
  char buffer[buffer_size];
  const auto result = std::to_chars(buffer, buffer + buffer_size, x);
  return widen(buffer, result.ptr);
}
