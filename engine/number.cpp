// The portable leading-number reader: parse the decimal prefix, judge its exact
// range, then let std::from_chars round it correctly.
#include "engine/number.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/chars.h"

namespace {

// The significant digits of the exact decimal expansion of m * 2^k, by schoolbook
// doubling (or multiplying by 5 for k < 0, since 2^k = 5^-k * 10^k). m is no multiple
// of 5, so the last digit is never 0 (it is 5 for k < 0).
std::string exact_digits(std::uint64_t m, int k) {
  std::vector<int> little;  // least significant digit first
  for (std::uint64_t v = m; v != 0; v /= 10) little.push_back(static_cast<int>(v % 10));
  const int factor = k >= 0 ? 2 : 5;
  for (int step = 0; step < (k >= 0 ? k : -k); ++step) {
    int carry = 0;
    for (int& d : little) {
      const int v = d * factor + carry;
      d = v % 10;
      carry = v / 10;
    }
    if (carry != 0) little.push_back(carry);
  }
  std::string out(little.rbegin(), little.rend());
  for (char& c : out) c = static_cast<char>('0' + c);
  return out;
}

// Decimal exponents (as 0.d x 10^e) of the largest finite and the smallest normal double.
constexpr long long max_exponent10 = 309;
constexpr long long min_exponent10 = -307;

// Their digits, compared only with values of the same exponent.
const std::string& largest_double() {
  static const std::string digits = exact_digits((std::uint64_t{1} << 53) - 1, 1024 - 53);
  return digits;
}

const std::string& smallest_normal_double() {
  static const std::string digits = exact_digits(1, -1022);
  return digits;
}

// For a value with the bound's exponent: neither has leading or trailing zeros, so the
// digit strings compare like the fractions they spell.
int compare(const std::string& digits, const std::string& bound) { return digits.compare(bound); }

// Digits kept: beyond this a sticky "1" stands for the nonzero rest, which keeps
// both the rounding to double (at most 767 significant digits decide it) and the
// range comparisons exact.
constexpr size_t kept_digits = 800;

// 10^0 .. 10^22: every one is a double exactly.
constexpr double exact_powers_of_ten[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Saturation for written exponents: far beyond any double, far inside long long.
constexpr long long exponent_cap = 1'000'000'000'000LL;

}  // namespace

double read_leading_number(std::wstring_view text, bool& ok) {
  ok = false;
  const size_t n = text.size();
  size_t i = 0;
  while (i < n && is_space_char(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }

  std::string digits;
  bool sticky = false;      // a nonzero digit was dropped beyond kept_digits
  long long exponent = 0;   // value = 0.digits x 10^exponent
  bool any_digit = false;
  auto take = [&](wchar_t c, bool before_point) {
    any_digit = true;
    if (digits.empty() && c == L'0') {
      if (!before_point) --exponent;
      return;
    }
    if (before_point) ++exponent;
    if (digits.size() < kept_digits)
      digits.push_back(static_cast<char>(c));
    else if (c != L'0')
      sticky = true;
  };
  while (i < n && is_digit_char(text[i])) take(text[i++], true);
  if (i < n && text[i] == L'.') {
    ++i;
    while (i < n && is_digit_char(text[i])) take(text[i++], false);
  }
  if (!any_digit) return 0.0;

  // The exponent counts only when at least one digit follows "e", its sign included.
  if (i < n && (text[i] == L'e' || text[i] == L'E')) {
    size_t j = i + 1;
    bool exponent_negative = false;
    if (j < n && (text[j] == L'+' || text[j] == L'-')) {
      exponent_negative = text[j] == L'-';
      ++j;
    }
    if (j < n && is_digit_char(text[j])) {
      long long written = 0;
      while (j < n && is_digit_char(text[j])) {
        if (written < exponent_cap) written = written * 10 + (text[j] - L'0');
        ++j;
      }
      exponent += exponent_negative ? -written : written;
    }
  }

  if (digits.empty()) {
    ok = true;
    return negative ? -0.0 : 0.0;
  }
  if (sticky)
    digits.push_back('1');
  else
    while (digits.back() == '0') digits.pop_back();

  // Up to 15 digits make an integer below 2^53 and 10^0 .. 10^22 are exact doubles,
  // so one multiplication or division rounds correctly, exactly as from_chars does;
  // such values lie far inside the normal range. Most number tokens end here.
  const long long scale = exponent - static_cast<long long>(digits.size());
  if (digits.size() <= 15 && scale >= -22 && scale <= 22) {
    double m = 0.0;
    for (char d : digits) m = m * 10.0 + (d - '0');
    const double p = exact_powers_of_ten[scale < 0 ? -scale : scale];
    const double value = scale < 0 ? m / p : m * p;
    ok = true;
    return negative ? -value : value;
  }

  if (exponent > max_exponent10 ||
      (exponent == max_exponent10 && compare(digits, largest_double()) > 0))
    return 0.0;
  if (exponent < min_exponent10 ||
      (exponent == min_exponent10 && compare(digits, smallest_normal_double()) < 0))
    return 0.0;

  std::string normal = "0.";
  normal += digits;
  normal += 'e';
  normal += std::to_string(exponent);
  double value = 0.0;
  const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (error != std::errc() || end != normal.data() + normal.size()) return 0.0;
  ok = true;
  return negative ? -value : value;
}
