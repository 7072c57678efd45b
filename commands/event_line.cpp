// Parses the console driver's event lines; a strict reader, so that typos are reported.
#include "commands/event_line.h"

#include <charconv>
#include <system_error>

namespace {

constexpr const char* expected = "expected k ID, c CODE, title or captions";
constexpr unsigned largest_value = 65535;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Splits off the first word of rest; an empty view when only blanks remain.
std::string_view next_word(std::string_view& rest) {
  std::size_t start = 0;
  while (start < rest.size() && is_blank(rest[start])) ++start;
  std::size_t end = start;
  while (end < rest.size() && !is_blank(rest[end])) ++end;
  const std::string_view word = rest.substr(start, end - start);
  rest.remove_prefix(end);
  return word;
}

// A whole number from 0 to 65535 in decimal digits only; false for anything else.
bool read_value(std::string_view word, int& value) {
  if (word.empty()) return false;
  for (char c : word)
    if (c < '0' || c > '9') return false;
  unsigned long long parsed = 0;
  const auto result = std::from_chars(word.data(), word.data() + word.size(), parsed);
  if (result.ec != std::errc() || parsed > largest_value) return false;
  value = static_cast<int>(parsed);
  return true;
}

}  // namespace

Event parse_event(std::string_view line, bool& ok, std::string& message) {
  ok = false;
  std::string_view rest = line;
  const std::string_view name = next_word(rest);
  const std::string_view argument = next_word(rest);
  const bool extra = !next_word(rest).empty();

  if (name.empty()) {
    message = std::string("empty line; ") + expected;
  } else if (name == "k" || name == "c") {
    const char* what = name == "k" ? "k needs one control id" : "c needs one UTF-16 code unit";
    int value = 0;
    if (extra || !read_value(argument, value)) {
      message = std::string(what) + ", a whole number from 0 to 65535";
    } else {
      ok = true;
      return {name == "k" ? EventKind::key : EventKind::typed_char, value};
    }
  } else if (name == "title" || name == "captions") {
    if (!argument.empty()) {
      message = std::string(name) + " takes no argument";
    } else {
      ok = true;
      return {name == "title" ? EventKind::title : EventKind::captions, 0};
    }
  } else {
    message = std::string("unknown event; ") + expected;
  }
  return {EventKind::key, 0};
}
