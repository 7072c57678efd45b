// The rules that every fuzz target checks after each command, shared by all of them.
#include "fuzz/invariants.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "commands/events.h"
#include "commands/state.h"
#include "engine/format.h"
#include "engine/number.h"

namespace {

bool is_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool same_refreshes(const RefreshLog& a, const RefreshLog& b) {
  return a.display == b.display && a.key_labels == b.key_labels;
}

std::size_t count_digits(const std::wstring& text, std::size_t& i) {
  const std::size_t start = i;
  while (i < text.size() && is_digit(text[i])) ++i;
  return i - start;
}

// Significant digits of the digit characters of text[first, last): leading zeros and
// the "." do not count.
std::size_t significant_digits(const std::wstring& text, std::size_t first, std::size_t last) {
  std::size_t count = 0;
  bool leading = true;
  for (std::size_t i = first; i < last; ++i) {
    if (!is_digit(text[i])) continue;
    if (leading && text[i] == L'0') continue;
    leading = false;
    ++count;
  }
  return count;
}

bool is_error_word(const std::wstring& text) { return text == error_word || text == infinity_word; }

// The one exception to "= shows the same text again": the exponent form hides the
// digits of an integer below 1e15, which the integer rule then writes out in full.
bool is_exponent_form_integer(const std::wstring& text, double& value) {
  if (text.find(L'e') == std::wstring::npos) return false;
  bool ok = false;
  value = read_leading_number(text, ok);
  return ok && std::floor(value) == value && std::fabs(value) >= 1e12 && std::fabs(value) < 1e15;
}

// The second exception: a result in the subnormal range shows its digits, but the number
// reader rejects a nonzero magnitude below the smallest normal double (as std::stod
// does), so "=" on that text gives "错误".
bool is_subnormal_text(const std::wstring& text) {
  bool ok = false;
  read_leading_number(text, ok);
  if (ok) return false;
  const std::string narrow(text.begin(), text.end());
  const double value = std::strtod(narrow.c_str(), nullptr);
  return value != 0 && std::fabs(value) < std::numeric_limits<double>::min();
}

bool is_integer_form(const std::wstring& text) {
  return text.find(L'.') == std::wstring::npos && text.find(L'e') == std::wstring::npos;
}

// A text as it appears in a message: ASCII as it is, everything else as \uXXXX.
void print_text(const std::wstring& text) {
  std::size_t shown = 0;
  for (wchar_t c : text) {
    if (++shown > 400) {
      std::fputs("...", stderr);
      break;
    }
    if (c >= 0x20 && c < 0x7F) std::fputc(static_cast<int>(c), stderr);
    else std::fprintf(stderr, "\\u%04X", static_cast<unsigned>(c) & 0xFFFFu);
  }
}

// The characters behind input bytes 0x80..0xEF, cycled.
constexpr wchar_t special_chars[] = {
    L'\u00D7', L'\u00F7',            // "×" "÷": typed multiplication and division
    L'\u9519', L'\u8BEF',            // "错" "误"
    L'\u65E0', L'\u7A77', L'\u5927', // "无" "穷" "大"
    L'\u03C0', L'\u221A',            // "π" "√"
    L'\u00B2', L'\u00B3',            // "²" "³": digits to some runtimes
    L'\uFF11', L'\u0661',            // fullwidth one, Arabic-Indic one
    L'\u00A0', L'\u3000', L'\u2028', // no-break, ideographic and line-separator spaces
    L'\u00C9', L'\u00E9',            // letters outside ASCII
    L'\uFFFF', L'\uFEFF', L'\u0000', // non-character, byte order mark, NUL
};
constexpr std::size_t special_count = sizeof special_chars / sizeof special_chars[0];

}  // namespace

StateSnapshot take_snapshot() {
  return {expression, memory, second_mode, radian_mode, result_shown, refresh_log};
}

void restore_snapshot(const StateSnapshot& state) {
  expression = state.expression;
  memory = state.memory;
  second_mode = state.second_mode;
  radian_mode = state.radian_mode;
  result_shown = state.result_shown;
  refresh_log = state.refreshes;
}

void reset_state() {
  reset_session();
  refresh_log = RefreshLog{};
}

void fail(const char* rule, const std::wstring& detail) {
  std::fprintf(stderr, "\nbroken rule: %s\n  text: \"", rule);
  print_text(detail);
  std::fputs("\"\n", stderr);
  std::abort();
}

bool is_number_text(const std::wstring& text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == L'-') ++i;
  const std::size_t first_digit = i;
  const std::size_t whole_digits = count_digits(text, i);
  if (whole_digits == 0) return false;
  if (whole_digits > 1 && text[first_digit] == L'0') return false;
  bool has_fraction = false;
  if (i < text.size() && text[i] == L'.') {
    has_fraction = true;
    ++i;
    if (count_digits(text, i) == 0 || text[i - 1] == L'0') return false;  // no trailing zeros
  }
  const std::size_t mantissa_end = i;
  bool has_exponent = false;
  if (i < text.size() && text[i] == L'e') {
    has_exponent = true;
    ++i;
    if (i == text.size() || (text[i] != L'+' && text[i] != L'-')) return false;
    ++i;
    const std::size_t exponent_digits = count_digits(text, i);
    if (exponent_digits < 2 || exponent_digits > 3) return false;
  }
  if (i != text.size()) return false;
  const std::size_t significant = significant_digits(text, first_digit, mantissa_end);
  if (has_exponent) return whole_digits == 1 && text[first_digit] != L'0' && significant <= 12;
  if (has_fraction) return significant >= 1 && significant <= 12;
  // An integer: all its digits up to 15, and never a negative zero.
  return whole_digits <= 15 && text != L"-0";
}

void checked_evaluate(Command equals) {
  const StateSnapshot before = take_snapshot();
  try {
    equals();
  } catch (...) {
    fail("an exception left \"=\"", before.expression);
  }
  const StateSnapshot after = take_snapshot();
  if (!same_bits(after.memory, before.memory) || after.second_mode != before.second_mode ||
      after.radian_mode != before.radian_mode)
    fail("\"=\" changed memory or a mode", before.expression);
  if (before.expression.empty() || before.expression == L"0") {
    if (after.expression != before.expression || after.result_shown != before.result_shown ||
        !same_refreshes(after.refreshes, before.refreshes))
      fail("\"=\" on \"\" or \"0\" changed something", before.expression);
    return;
  }
  if (!after.result_shown) fail("\"=\" left result_shown false", before.expression);
  if (after.refreshes.display != before.refreshes.display + 1 ||
      after.refreshes.key_labels != before.refreshes.key_labels)
    fail("\"=\" did not ask for exactly one display refresh", before.expression);
  if (!is_error_word(after.expression) && !is_number_text(after.expression))
    fail("\"=\" left neither a number text nor an error word", after.expression);
}

void check_repeated_evaluate(Command equals) {
  const StateSnapshot saved = take_snapshot();
  const std::wstring first = expression;
  if (is_error_word(first)) {
    checked_evaluate(equals);
    if (expression != error_word) fail("\"=\" on an error word did not give the error word", first);
  } else if (is_number_text(first)) {
    double value = 0.0;
    const bool exception = is_exponent_form_integer(first, value);
    const bool subnormal = is_subnormal_text(first);
    checked_evaluate(equals);
    const std::wstring second = expression;
    if (subnormal) {
      if (second != error_word) fail("\"=\" on a subnormal number text did not give the error word", first);
    } else if (!exception) {
      if (second != first) fail("\"=\" on a number text changed it", first + L" -> " + second);
    } else {
      bool ok = false;
      if (!is_integer_form(second) || read_leading_number(second, ok) != value || !ok)
        fail("\"=\" on an exponent-form integer did not write its digits", first + L" -> " + second);
      checked_evaluate(equals);
      if (expression != second)
        fail("\"=\" on a full-digit integer changed it", second + L" -> " + expression);
    }
  }
  restore_snapshot(saved);
}

std::wstring text_from_bytes(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  text.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t byte = data[i];
    if (byte < 0x80) {
      text += static_cast<wchar_t>(byte);
    } else if (byte < 0xF0) {
      text += special_chars[(byte - 0x80u) % special_count];
    } else if (i + 2 < size) {
      const unsigned unit = static_cast<unsigned>(data[i + 1]) << 8 | data[i + 2];
      text += static_cast<wchar_t>(unit);
      i += 2;
    }
  }
  return text;
}
