// Per-event rules of a calculator session, checked by the fuzz targets that drive keys.
#include "fuzz/event_checks.h"

#include <cmath>
#include <cstring>
#include <string>

#include "commands/events.h"
#include "commands/keys.h"
#include "commands/state.h"
#include "commands/typing.h"
#include "engine/format.h"
#include "fuzz/invariants.h"
#include "ui/captions.h"
#include "ui/key_table.h"
#include "ui/shortcuts.h"

namespace {

// What a key does to result_shown before its edit.
enum class Step { fresh_start, carry_on, none, clears, evaluates, toggles_second, toggles_angle };

// The step of key id in the given mode: the step follows the text the key inserts.
Step key_step(int id, bool second) {
  if (id >= 1001 && id <= 1011) return Step::fresh_start;  // digits and "."
  if (id >= 1012 && id <= 1015) return Step::carry_on;     // + - × ÷
  switch (id) {
    case 1016: return Step::evaluates;
    case 1017:
    case 1018: return Step::clears;  // "AC", "⌫"
    case 1022: return Step::toggles_second;
    case 1023: return Step::toggles_angle;
    case 1025:
    case 1026:
    case 1038:
    case 1042: return Step::carry_on;  // "EE" "%" "y^x" "ʸ√x" continue from a result
    case 1035: return second ? Step::none : Step::fresh_start;  // "^2" / "sqrt("
    case 1036: return second ? Step::fresh_start : Step::none;  // "sqrt(" / "^2"
    case 1020:
    case 1024:
    case 1039:
    case 1040:
    case 1047:
    case 1048: return Step::fresh_start;
    default: break;
  }
  if (id >= 1027 && id <= 1034) return Step::fresh_start;  // the function keys
  return Step::none;  // ")" "±" "x³" "1/x" "x!" "mc" "m+" "m-"
}

// "=" as the user's event, recorded for undo, and again on a copy of the state, which
// must leave the log alone.
void press_equals_event() {
  if (!key_event(1016)) fail("the \"=\" event failed", expression);
}
void enter_event() {
  if (!char_event(13)) fail("the Enter event failed", expression);
}
void press_equals_key() { run_key_command(1016); }
void type_enter() { handle_typed_char(13); }

bool is_memory_key(int id) { return id >= 1044 && id <= 1046; }

bool is_inserted(wchar_t code) {
  return (code >= L'0' && code <= L'9') || code == L'%' || code == L'(' || code == L')' ||
         code == L'*' || code == L'+' || code == L'-' || code == L'.' || code == L'/';
}

bool is_typed_operator(wchar_t code) {
  return code == L'+' || code == L'-' || code == L'*' || code == L'/' || code == L'%';
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::wstring key_name(int id) { return L"key " + std::to_wstring(id); }

void expect_refreshes(const StateSnapshot& before, int display, int key_labels,
                      const std::wstring& event) {
  if (refresh_log.display != before.refreshes.display + display ||
      refresh_log.key_labels != before.refreshes.key_labels + key_labels)
    fail("wrong refresh requests", event + L" on " + before.expression);
}

}  // namespace

void check_key(int id) {
  const StateSnapshot before = take_snapshot();
  const bool valid = id >= 1001 && id <= 1048;
  const Step step = key_step(id, before.second_mode);
  const std::wstring event = key_name(id);
  if (valid && step == Step::evaluates) {
    checked_evaluate(press_equals_event);
    check_repeated_evaluate(press_equals_key);
    return;
  }
  try {
    if (!key_event(id)) fail("a key event failed", event + L" on " + before.expression);
  } catch (...) {
    fail("an exception left key_event", event + L" on " + before.expression);
  }
  if (!valid) {
    if (expression != before.expression || result_shown != before.result_shown ||
        !same_bits(memory, before.memory) || second_mode != before.second_mode ||
        radian_mode != before.radian_mode)
      fail("an id that is no key changed the state", event);
    expect_refreshes(before, 0, 0, event);
    return;
  }
  const bool toggles_second = step == Step::toggles_second;
  const bool toggles_angle = step == Step::toggles_angle;
  expect_refreshes(before, toggles_second || toggles_angle ? 0 : 1,
                   toggles_second || toggles_angle ? 1 : 0, event);
  if (second_mode != (before.second_mode != toggles_second) ||
      radian_mode != (before.radian_mode != toggles_angle))
    fail("a mode changed by another key", event);
  if (!is_memory_key(id) && !same_bits(memory, before.memory))
    fail("memory changed by a key other than mc, m+, m-", event);
  if (id == 1044 && memory != 0.0) fail("mc left memory non-zero", event);
  const bool expected_shown =
      step == Step::none || toggles_second || toggles_angle ? before.result_shown : false;
  if (result_shown != expected_shown) fail("result_shown broke its rule", event + L" on " + before.expression);
  if (step == Step::fresh_start && before.result_shown && id <= 1011 &&
      expression.size() != 1)
    fail("a digit or \".\" after a result did not start afresh", event + L" gave " + expression);
  if (step == Step::carry_on && before.result_shown &&
      expression.compare(0, before.expression.size(), before.expression) != 0)
    fail("an infix key did not continue from the result", event + L" gave " + expression);
  if (id == 1017 && expression != L"0") fail("AC did not give \"0\"", expression);
  if (id == 1018 && (before.result_shown || before.expression == error_word ||
                     before.expression == infinity_word) && expression != L"0")
    fail("backspace on a result or an error word did not give \"0\"", expression);
}

void check_typed(wchar_t code) {
  const StateSnapshot before = take_snapshot();
  const std::wstring event = L"typed " + std::to_wstring(static_cast<unsigned>(code) & 0xFFFFu);
  if (code == 13) {
    checked_evaluate(enter_event);
    check_repeated_evaluate(type_enter);
    return;
  }
  try {
    if (!char_event(code)) fail("a typed character failed", event + L" on " + before.expression);
  } catch (...) {
    fail("an exception left char_event", event + L" on " + before.expression);
  }
  if (!same_bits(memory, before.memory) || second_mode != before.second_mode ||
      radian_mode != before.radian_mode)
    fail("a typed character changed memory or a mode", event);
  if (code != 27 && code != 8 && !is_inserted(code)) {
    if (expression != before.expression || result_shown != before.result_shown)
      fail("an ignored character changed the state", event);
    expect_refreshes(before, 0, 0, event);
    return;
  }
  expect_refreshes(before, 1, 0, event);
  if (result_shown) fail("a typed character left result_shown true", event);
  if (code == 27 && expression != L"0") fail("Escape did not give \"0\"", expression);
  if (code == 8 && before.result_shown && expression != L"0")
    fail("Backspace on a result did not give \"0\"", expression);
  if (is_inserted(code)) {
    const wchar_t shown = code == L'*' ? L'\u00D7' : code == L'/' ? L'\u00F7' : code;
    if (expression.empty() || expression.back() != shown)
      fail("a typed character did not end the expression", event + L" gave " + expression);
    if (before.result_shown && is_typed_operator(code) &&
        expression != before.expression + shown)
      fail("a typed operator did not continue from the result", event + L" gave " + expression);
    if (before.result_shown && !is_typed_operator(code) && expression.size() != 1)
      fail("a typed character after a result did not start afresh", event + L" gave " + expression);
  }
}

// The title and the captions that a window would show for the final state.
void check_view() {
  const std::wstring title = window_title(memory);
  const bool marked = title.size() >= 6 && title.compare(title.size() - 6, 6, L"   [M]") == 0;
  if (marked != (std::fabs(memory) > 1e-12)) fail("the memory marker disagrees with memory", title);
  for (const KeyDef& key : key_table)
    if (key_caption(key, second_mode, radian_mode).empty()) fail("a key without a caption", key.label);
}

void check_shortcut(const Shortcut& shortcut) {
  const int id = shortcut_key(shortcut, radian_mode);
  const std::string ascii = shortcut_name(shortcut);
  const std::wstring name(ascii.begin(), ascii.end());
  if (id != shortcut.key_id && (id != 0 || shortcut.angle == AngleTarget::none))
    fail("a shortcut pressed another key than its own", name);
  check_key(id);  // id 0 is no key: checked to change nothing and ask for no refresh
  if (shortcut.angle != AngleTarget::none &&
      radian_mode != (shortcut.angle == AngleTarget::radians))
    fail("F3 or F4 left the other angle mode on", name);
}
