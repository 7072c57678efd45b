// Parses the console driver's event lines; a strict reader, so that typos are reported.
#include "cli/event_line.h"

#include <charconv>
#include <system_error>

#include "ui/shortcuts.h"

namespace {

constexpr const char* expected =
    "expected k ID, c CODE, shortcut NAME, undo, redo, up, down, paste TEXT, title, captions, "
    "state or shortcuts";
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

// The words that stand alone, and what each is.
struct PlainWord {
  std::string_view name;
  EventKind kind;
};
constexpr PlainWord plain_words[] = {
    {"undo", EventKind::undo},   {"redo", EventKind::redo},         {"up", EventKind::up},
    {"down", EventKind::down},   {"title", EventKind::title},       {"captions", EventKind::captions},
    {"state", EventKind::state}, {"shortcuts", EventKind::shortcuts},
};

// The text after "paste" and one blank, with its escapes read; false for a bad escape.
bool read_paste_text(std::string_view rest, std::string& text) {
  if (!rest.empty()) rest.remove_prefix(1);
  text.clear();
  text.reserve(rest.size());
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '\\') {
      text += rest[i];
      continue;
    }
    const char next = i + 1 < rest.size() ? rest[++i] : '\0';
    if (next == 'r') text += '\r';
    else if (next == 'n') text += '\n';
    else if (next == '\\') text += '\\';
    else return false;
  }
  return true;
}

}  // namespace

Event parse_event(std::string_view line, bool& ok, std::string& message) {
  ok = false;
  std::string_view rest = line;
  const std::string_view name = next_word(rest);
  if (name == "paste") {
    Event event{EventKind::paste, 0, {}};
    if (read_paste_text(rest, event.text)) {
      ok = true;
      return event;
    }
    message = "paste: a backslash must start \\r, \\n or \\\\";
    return {EventKind::key, 0, {}};
  }
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
      return {name == "k" ? EventKind::key : EventKind::typed_char, value, {}};
    }
  } else if (name == "shortcut") {
    const Shortcut* shortcut = extra ? nullptr : find_shortcut_named(argument);
    if (shortcut) {
      ok = true;
      return {EventKind::shortcut, static_cast<int>(shortcut - shortcut_table.data()), {}};
    }
    message = "shortcut needs one name from the shortcut table, such as Alt+S or F9";
  } else {
    for (const PlainWord& word : plain_words) {
      if (name != word.name) continue;
      if (!argument.empty()) {
        message = std::string(name) + " takes no argument";
        return {EventKind::key, 0, {}};
      }
      ok = true;
      return {word.kind, 0, {}};
    }
    message = std::string("unknown event; ") + expected;
  }
  return {EventKind::key, 0, {}};
}
