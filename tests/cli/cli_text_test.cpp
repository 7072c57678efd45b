// The console driver's text side: UTF-8 conversion and the event-line reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "cli/driver.h"
#include "cli/event_line.h"
#include "cli/utf8.h"
#include "tests/support/session.h"
#include "ui/shortcuts.h"

namespace {

struct Utf8Case {
  const char* bytes;
  const wchar_t* text;
};

const Utf8Case valid_cases[] = {
    {"", L""},
    {"k 1002", L"k 1002"},
    {"6\xC3\x97" "7", L"6\u00D77"},                          // "6×7"
    {"\xE9\x94\x99\xE8\xAF\xAF", L"\u9519\u8BEF"},           // "错误"
    {"\xE2\x88\x9A", L"\u221A"},                              // "√"
    {"\xF0\x9F\x98\x80", L"\U0001F600"},                      // an emoji, outside the BMP
    {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},                      // the last code point
    {"\xEF\xBF\xBD", L"\uFFFD"},
    {"\x7F", L"\x7F"},
    // The first and last code point of each length.
    {"\xC2\x80", L"\u0080"},
    {"\xDF\xBF", L"\u07FF"},
    {"\xE0\xA0\x80", L"\u0800"},
    {"\xEF\xBF\xBF", L"\uFFFF"},
    {"\xF0\x90\x80\x80", L"\U00010000"},
    {"\xED\x9F\xBF", L"\uD7FF"},  // either side of the surrogates
    {"\xEE\x80\x80", L"\uE000"},
    {"\xF1\x80\x80\x80", L"\U00040000"},  // a four-byte lead other than F0
};

TEST(Utf8, ValidTextRoundTrips) {
  for (const Utf8Case& c : valid_cases) {
    bool ok = false;
    EXPECT_EQ(utf8_to_wide(c.bytes, ok), c.text) << c.bytes;
    EXPECT_TRUE(ok) << c.bytes;
    EXPECT_EQ(wide_to_utf8(c.text), c.bytes);
  }
}

TEST(Utf8, NulBytesAreText) {
  bool ok = false;
  const std::wstring text = utf8_to_wide(std::string("1\0" "2", 3), ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(text, std::wstring(L"1\0" L"2", 3));
}

const char* const invalid_cases[] = {
    "\x80",                  // a continuation byte without a lead
    "\xBF" "a",
    "\xC3",                  // cut after the lead
    "\xE9\x94",              // cut in the middle
    "\xC3" "a",              // a lead followed by ASCII
    "\xC0\xAF",              // overlong "/"
    "\xE0\x80\xAF",          // overlong "/" in three bytes
    "\xF0\x80\x80\xAF",      // overlong "/" in four bytes
    "\xC1\xBF",              // overlong U+007F, the last one-byte code point
    "\xE0\x9F\xBF",          // overlong U+07FF
    "\xF0\x8F\xBF\xBF",      // overlong U+FFFF
    "\xED\xA0\x80",          // a high surrogate
    "\xED\xBF\xBF",          // a low surrogate
    "\xF4\x90\x80\x80",      // above U+10FFFF
    "\xF8\x88\x80\x80\x80",  // five-byte form
    "\xFF",
    "\xFE\xFF",
    "ok\xC3",                // valid start, cut at the end
};

TEST(Utf8, InvalidBytesAreRejected) {
  for (const char* bytes : invalid_cases) {
    bool ok = true;
    EXPECT_TRUE(utf8_to_wide(bytes, ok).empty()) << testing::PrintToString(std::string(bytes));
    EXPECT_FALSE(ok) << testing::PrintToString(std::string(bytes));
  }
}

TEST(Utf8, UnencodableWideCharactersBecomeReplacement) {
  // A lone surrogate cannot be written as UTF-8 on either runtime; only a high one
  // followed by a low one is a pair (on Windows).
  const struct {
    std::vector<unsigned> units;
    const char* bytes;
  } rows[] = {
      {{0xD800}, "\xEF\xBF\xBD"},
      {{0xDC00, '1'}, "\xEF\xBF\xBD" "1"},
      {{0xD7FF, 0xDC00}, "\xED\x9F\xBF" "\xEF\xBF\xBD"},
      {{0xDC00, 0xDC00}, "\xEF\xBF\xBD" "\xEF\xBF\xBD"},
      {{0xD800, 0xE000}, "\xEF\xBF\xBD" "\xEE\x80\x80"},
  };
  for (const auto& row : rows) {
    const std::wstring text(row.units.begin(), row.units.end());
    EXPECT_EQ(wide_to_utf8(text), row.bytes) << testing::PrintToString(row.units);
  }
  if constexpr (sizeof(wchar_t) == 4) {  // past the last code point
    EXPECT_EQ(wide_to_utf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
  }
}

struct EventCase {
  const char* line;
  EventKind kind;
  int value;
  const char* text = "";  // what a paste types
};

const EventCase event_cases[] = {
    {"k 1002", EventKind::key, 1002},
    {"k 0", EventKind::key, 0},
    {"k 65535", EventKind::key, 65535},
    {"k\t1016", EventKind::key, 1016},
    {"  k   01001  ", EventKind::key, 1001},
    {"c 13", EventKind::typed_char, 13},
    {"c 42", EventKind::typed_char, 42},
    {"c 38477", EventKind::typed_char, 38477},
    {"title", EventKind::title, 0},
    {" captions ", EventKind::captions, 0},
    {"undo", EventKind::undo, 0},
    {"\tredo ", EventKind::redo, 0},
    {"up", EventKind::up, 0},
    {"down", EventKind::down, 0},
    {"state", EventKind::state, 0},
    {"shortcuts", EventKind::shortcuts, 0},
    {"paste 1+2", EventKind::paste, 0, "1+2"},
    {"paste", EventKind::paste, 0, ""},
    {"paste  two  blanks ", EventKind::paste, 0, " two  blanks "},
    {"paste\t6*7\\r", EventKind::paste, 0, "6*7\r"},
    {"paste 1\\n2\\\\3\\r\\r", EventKind::paste, 0, "1\n2\\3\r\r"},
    {"  paste \xC3\x97", EventKind::paste, 0, "\xC3\x97"},
};

TEST(EventLine, GoodLines) {
  for (const EventCase& c : event_cases) {
    bool ok = false;
    std::string message;
    const Event event = parse_event(c.line, ok, message);
    EXPECT_TRUE(ok) << c.line;
    EXPECT_EQ(event.kind, c.kind) << c.line;
    EXPECT_EQ(event.value, c.value) << c.line;
    EXPECT_EQ(event.text, c.text) << c.line;
  }
}

struct BadLineCase {
  const char* line;
  const char* message_start;
};

const BadLineCase bad_cases[] = {
    {"", "empty line"},
    {"   \t", "empty line"},
    {"bogus", "unknown event"},
    {"K 1002", "unknown event"},
    {"key 1002", "unknown event"},
    {"k1002", "unknown event"},
    {"1002", "unknown event"},
    {"k", "k needs one control id"},
    {"k x", "k needs one control id"},
    {"k -1", "k needs one control id"},
    {"k +5", "k needs one control id"},
    {"k 65536", "k needs one control id"},
    {"k 99999999999999999999999999", "k needs one control id"},
    {"k 10.5", "k needs one control id"},
    {"k 1002 1003", "k needs one control id"},
    {"c", "c needs one UTF-16 code unit"},
    {"c 0x2A", "c needs one UTF-16 code unit"},
    {"c 70000", "c needs one UTF-16 code unit"},
    {"title now", "title takes no argument"},
    {"captions 2", "captions takes no argument"},
    {"undo 2", "undo takes no argument"},
    {"state x", "state takes no argument"},
    {"shortcuts Alt+S", "shortcuts takes no argument"},
    {"shortcut", "shortcut needs one name"},
    {"shortcut alt+s", "shortcut needs one name"},    // names are case-sensitive
    {"shortcut Alt+s", "shortcut needs one name"},
    {"shortcut S", "shortcut needs one name"},        // a plain letter is typing's
    {"shortcut Alt+S Alt+O", "shortcut needs one name"},
    {"shortcut Alt+F4", "shortcut needs one name"},   // the system's
    {"shortcut Ctrl+C", "shortcut needs one name"},   // copy, not a key
    {"shortcut F1", "shortcut needs one name"},       // the list, not a key
    {"shortcut Alt+", "shortcut needs one name"},
    {"shortcut Ctrl+Alt+S", "shortcut needs one name"},
    {"pastex", "unknown event"},
    {"paste a\\tb", "paste: a backslash"},
    {"paste ends in \\", "paste: a backslash"},
};

TEST(EventLine, BadLinesSayWhatIsWrong) {
  for (const BadLineCase& c : bad_cases) {
    bool ok = true;
    std::string message;
    parse_event(c.line, ok, message);
    EXPECT_FALSE(ok) << c.line;
    EXPECT_EQ(message.rfind(c.message_start, 0), 0u) << c.line << " gave: " << message;
  }
}

// A shortcut line names its entry of the shortcut table, as written there.
const std::pair<const char*, int> shortcut_lines[] = {
    {"shortcut Alt+S", 1027}, {"shortcut\tCtrl+S", 1030}, {"  shortcut F9 ", 1019},
    {"shortcut F3", 1023},    {"shortcut Ctrl+R", 1047},   {"shortcut Alt+1", 1043},
};

TEST(EventLine, ShortcutLines) {
  for (const auto& [line, key_id] : shortcut_lines) {
    bool ok = false;
    std::string message;
    const Event event = parse_event(line, ok, message);
    ASSERT_TRUE(ok) << line;
    EXPECT_EQ(event.kind, EventKind::shortcut) << line;
    ASSERT_LT(static_cast<std::size_t>(event.value), shortcut_table.size()) << line;
    EXPECT_EQ(shortcut_table[static_cast<std::size_t>(event.value)].key_id, key_id) << line;
  }
}

TEST(EventLine, MegabyteLineIsRejectedWhole) {
  bool ok = true;
  std::string message;
  parse_event(std::string(1 << 20, 'k'), ok, message);
  EXPECT_FALSE(ok);
  parse_event("k " + std::string(1 << 20, '7'), ok, message);
  EXPECT_FALSE(ok);
}

// A shortcut line is a click on its key: the same state and one undo step, in both
// modes and angle modes, on the start display, after a result and after an error
// word. F3 and F4 only ever set their angle mode.
struct StartCase {
  const char* name;
  std::vector<const char*> lines;
};

const StartCase shortcut_starts[] = {
    {"start", {}},
    {"second mode", {"k 1022"}},
    {"degrees", {"k 1023"}},
    {"result", {"paste 2+3\\r"}},
    {"result, second mode, degrees", {"k 1022", "k 1023", "paste 2+3\\r"}},
    {"error word", {"paste 1/0\\r"}},
    {"error word, second mode", {"k 1022", "paste 1/0\\r"}},
    {"typed text and memory", {"paste 12+3", "k 1045", "k 1022"}},
};

Session after_lines(const std::vector<const char*>& lines, const std::string& last, std::FILE* out) {
  reset_session();
  std::srand(7);  // the same "Rand" value for both
  std::string message;
  for (const char* line : lines) EXPECT_EQ(run_keys_line(line, message, out), LineResult::done) << line;
  if (!last.empty()) {
    EXPECT_EQ(run_keys_line(last, message, out), LineResult::done) << last;
  }
  return snapshot();
}

TEST(Driver, ShortcutIsAClickOnItsKey) {
#ifdef _WIN32
  std::FILE* out = std::fopen("NUL", "w");
#else
  std::FILE* out = std::fopen("/dev/null", "w");
#endif
  ASSERT_NE(out, nullptr);
  for (const StartCase& start : shortcut_starts) {
    const Session before = after_lines(start.lines, "", out);
    for (const Shortcut& s : shortcut_table) {
      const std::string name = shortcut_name(s);
      const Session by_shortcut = after_lines(start.lines, "shortcut " + name, out);
      const bool angle_already = (s.angle == AngleTarget::degrees && !before.radian_mode) ||
                                 (s.angle == AngleTarget::radians && before.radian_mode);
      const Session by_click = after_lines(
          start.lines, angle_already ? std::string() : "k " + std::to_string(s.key_id), out);
      EXPECT_EQ(by_shortcut, by_click) << name << " on " << start.name << ": "
                                       << testing::PrintToString(describe(by_shortcut));
      if (s.angle != AngleTarget::none) {
        EXPECT_EQ(by_shortcut.radian_mode, s.angle == AngleTarget::radians) << name;
      }
      // One step at most: a single undo gives back the state before it.
      if (by_shortcut.undo_count == before.undo_count) {
        EXPECT_EQ(by_shortcut.expression, before.expression) << name << " on " << start.name;
        continue;
      }
      EXPECT_EQ(by_shortcut.undo_count, before.undo_count + 1) << name << " on " << start.name;
      undo_event();
      const Session undone = snapshot();
      EXPECT_TRUE(undone.expression == before.expression && undone.memory == before.memory &&
                  undone.second_mode == before.second_mode &&
                  undone.radian_mode == before.radian_mode &&
                  undone.result_shown == before.result_shown)
          << name << " on " << start.name;
    }
  }
  std::fclose(out);
}

}  // namespace
