// Shared helpers of the command tests: key ids by name, a fresh calculator, and the
// refresh that a step asked for.
#pragma once

#include <string>
#include <vector>

#include "commands/evaluate.h"
#include "commands/events.h"
#include "commands/keys.h"
#include "commands/refresh_record.h"
#include "commands/state.h"
#include "commands/typing.h"
#include "engine/format.h"

// Control ids of the keys, named after what they do.
namespace key {
constexpr int digit0 = 1001, digit1 = 1002, digit2 = 1003, digit3 = 1004, digit4 = 1005,
              digit5 = 1006, digit6 = 1007, digit7 = 1008, digit8 = 1009, digit9 = 1010;
constexpr int point = 1011, plus = 1012, minus = 1013, times = 1014, divide = 1015,
              equals = 1016, clear = 1017, back = 1018, sign = 1019, open = 1020,
              close = 1021, second = 1022, angle = 1023, pi = 1024, ee = 1025,
              percent = 1026, sin = 1027, cos = 1028, tan = 1029, sinh = 1030,
              cosh = 1031, tanh = 1032, ln = 1033, lg = 1034, root = 1035,
              square = 1036, cube = 1037, power = 1038, ten_power = 1039, exp = 1040,
              reciprocal = 1041, nth_root = 1042, factorial = 1043, mc = 1044,
              m_plus = 1045, m_minus = 1046, mr = 1047, rand = 1048;
}  // namespace key

// "×" and "÷" as typing puts them into expression, and the two error words.
inline const std::wstring times_sign = L"\u00D7";   // "×"
inline const std::wstring divide_sign = L"\u00F7";  // "÷"
inline const std::wstring error_text = error_word;       // "错误"
inline const std::wstring infinity_text = infinity_word; // "无穷大"

// The start state of a run, and an empty refresh log.
inline void reset_calculator() {
  reset_session();
  refresh_log = RefreshLog{};
}

// Puts a result on the display the way "=" does: text, then result_shown.
inline void show_result(const std::wstring& text) {
  expression = text;
  result_shown = true;
}

enum class Asked { nothing, display, key_labels, several };

inline const char* asked_name(Asked a) {
  switch (a) {
    case Asked::nothing: return "nothing";
    case Asked::display: return "display";
    case Asked::key_labels: return "key_labels";
    default: return "several";
  }
}

// The refresh requests made since the log held before.
inline Asked asked_since(const RefreshLog& before) {
  const int display = refresh_log.display - before.display;
  const int labels = refresh_log.key_labels - before.key_labels;
  if (display == 0 && labels == 0) return Asked::nothing;
  if (display == 1 && labels == 0) return Asked::display;
  if (display == 0 && labels == 1) return Asked::key_labels;
  return Asked::several;
}

// One step of a sequence: a key click or a typed character.
struct Step {
  bool typed;
  int value;  // control id or UTF-16 code unit
};
constexpr Step press(int id) { return {false, id}; }
constexpr Step type(wchar_t code) { return {true, static_cast<int>(code)}; }

inline void run_step(const Step& step) {
  if (step.typed) handle_typed_char(static_cast<wchar_t>(step.value));
  else run_key_command(step.value);
}

inline std::wstring step_name(const Step& step) {
  return (step.typed ? L"c" : L"k") + std::to_wstring(step.value);
}

inline std::wstring steps_name(const std::vector<Step>& steps) {
  std::wstring out;
  for (const Step& s : steps) out += step_name(s) + L" ";
  return out;
}
