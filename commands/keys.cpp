// Key commands: one constant table says what each of the 48 keys does in each mode.
#include "commands/keys.h"

#include <cstdlib>
#include <string>

#include "commands/edit.h"
#include "commands/evaluate.h"
#include "commands/refresh.h"
#include "commands/state.h"
#include "engine/format.h"
#include "engine/number.h"

namespace {

// The step taken before the edit while a result is shown.
enum class Before {
  none,        // result_shown keeps its value
  fresh_start, // the shown result is dropped: expression "" and result_shown false
  carry_on,    // the shown result stays and becomes the start of the new entry
};

enum class Edit {
  digit,           // replaces "0" and both error words, else appended
  decimal_point,   // "." unless the current number already holds one
  append,          // text appended to any expression
  start_or_append, // text replaces "0" or "错误", else appended
  evaluate,
  clear,
  backspace,
  sign,
  toggle_second,
  toggle_angle,
  memory_clear,
  memory_add,
  memory_subtract,
  memory_recall,
  random_value,
};

struct KeyAction {
  Before before;
  Edit edit;
  const wchar_t* text;  // what digit, append and start_or_append insert
};

struct KeyCommand {
  int id;
  KeyAction normal;
  KeyAction second;  // while second_mode is on
};

constexpr Before none = Before::none;
constexpr Before fresh = Before::fresh_start;
constexpr Before carry = Before::carry_on;

constexpr KeyCommand both(int id, KeyAction action) { return {id, action, action}; }
constexpr KeyCommand split(int id, KeyAction normal, KeyAction second) { return {id, normal, second}; }

// Every function key that inserts a prefix ("sin(", "10^", ...) treats "0" and "错误"
// as a blank entry, so that "sin" 3 0 "=" on a fresh calculator reads sin(30), not 0sin(30).
// The step before an edit follows the text it inserts, whichever key carries it.
// Ordered by id from 1001: the entry for id is key_commands[id - 1001].
constexpr KeyCommand key_commands[] = {
    both(1001, {fresh, Edit::digit, L"0"}),
    both(1002, {fresh, Edit::digit, L"1"}),
    both(1003, {fresh, Edit::digit, L"2"}),
    both(1004, {fresh, Edit::digit, L"3"}),
    both(1005, {fresh, Edit::digit, L"4"}),
    both(1006, {fresh, Edit::digit, L"5"}),
    both(1007, {fresh, Edit::digit, L"6"}),
    both(1008, {fresh, Edit::digit, L"7"}),
    both(1009, {fresh, Edit::digit, L"8"}),
    both(1010, {fresh, Edit::digit, L"9"}),
    both(1011, {fresh, Edit::decimal_point, nullptr}),
    both(1012, {carry, Edit::append, L"+"}),
    both(1013, {carry, Edit::append, L"-"}),
    both(1014, {carry, Edit::append, L"*"}),
    both(1015, {carry, Edit::append, L"/"}),
    both(1016, {none, Edit::evaluate, nullptr}),
    both(1017, {none, Edit::clear, nullptr}),
    both(1018, {none, Edit::backspace, nullptr}),
    both(1019, {none, Edit::sign, nullptr}),
    both(1020, {fresh, Edit::start_or_append, L"("}),
    both(1021, {none, Edit::append, L")"}),
    both(1022, {none, Edit::toggle_second, nullptr}),
    both(1023, {none, Edit::toggle_angle, nullptr}),
    both(1024, {fresh, Edit::start_or_append, L"pi"}),
    // Infix keys continue from a shown result, like the four arithmetic keys.
    both(1025, {carry, Edit::append, L"e"}),
    both(1026, {carry, Edit::append, L"%"}),
    split(1027, {fresh, Edit::start_or_append, L"sin("}, {fresh, Edit::start_or_append, L"asin("}),
    split(1028, {fresh, Edit::start_or_append, L"cos("}, {fresh, Edit::start_or_append, L"acos("}),
    split(1029, {fresh, Edit::start_or_append, L"tan("}, {fresh, Edit::start_or_append, L"atan("}),
    split(1030, {fresh, Edit::start_or_append, L"sinh("}, {fresh, Edit::start_or_append, L"asinh("}),
    split(1031, {fresh, Edit::start_or_append, L"cosh("}, {fresh, Edit::start_or_append, L"acosh("}),
    split(1032, {fresh, Edit::start_or_append, L"tanh("}, {fresh, Edit::start_or_append, L"atanh("}),
    split(1033, {fresh, Edit::start_or_append, L"ln("}, {fresh, Edit::start_or_append, L"exp("}),
    split(1034, {fresh, Edit::start_or_append, L"lg("}, {fresh, Edit::start_or_append, L"10^"}),
    split(1035, {fresh, Edit::start_or_append, L"sqrt("}, {none, Edit::append, L"^2"}),
    split(1036, {none, Edit::append, L"^2"}, {fresh, Edit::start_or_append, L"sqrt("}),
    both(1037, {none, Edit::append, L"^3"}),
    both(1038, {carry, Edit::append, L"^"}),
    split(1039, {fresh, Edit::start_or_append, L"10^"}, {fresh, Edit::start_or_append, L"exp("}),
    both(1040, {fresh, Edit::start_or_append, L"exp("}),
    both(1041, {none, Edit::append, L"^(-1)"}),
    both(1042, {carry, Edit::append, L"^(1/"}),
    both(1043, {none, Edit::append, L"!"}),
    both(1044, {none, Edit::memory_clear, nullptr}),
    both(1045, {none, Edit::memory_add, nullptr}),
    both(1046, {none, Edit::memory_subtract, nullptr}),
    both(1047, {fresh, Edit::memory_recall, nullptr}),
    both(1048, {fresh, Edit::random_value, nullptr}),
};

constexpr int first_id = 1001;
constexpr int key_count = static_cast<int>(sizeof key_commands / sizeof key_commands[0]);

constexpr bool ids_follow_order() {
  for (int n = 0; n < key_count; ++n)
    if (key_commands[n].id != first_id + n) return false;
  return true;
}
static_assert(key_count == 48 && ids_follow_order(), "key_commands is indexed by id - 1001");

// The characters that end the current number for the "." key; "×" and "÷" come
// from typing and separate numbers just as "*" and "/" do.
constexpr const wchar_t* number_enders = L"+-*/^()%\u00D7\u00F7";  // ... "×" "÷"

bool is_blank_entry(const std::wstring& text) { return text == L"0" || text == error_word; }

void put_digit(const wchar_t* digit) {
  if (is_blank_entry(expression) || expression == infinity_word) expression_assign(digit);
  else expression_append(digit);
}

void put_decimal_point() {
  const std::size_t end = expression.find_last_of(number_enders);
  const std::size_t start = end == std::wstring::npos ? 0 : end + 1;
  if (expression.find(L'.', start) == std::wstring::npos) expression_append(L".");
}

void take_back_key() {
  if (result_shown || expression == error_word || expression == infinity_word) {
    expression_assign(L"0");
    result_shown = false;
  } else if (expression.size() <= 1) {
    expression_assign(L"0");
  } else {
    expression_pop_back();
  }
}

void flip_sign() {
  if (!expression.empty() && expression[0] == L'-') expression_erase_front();
  else expression_insert_front(L'-');
}

// The leading number of expression as std::stod reads it; 0 when none can be read.
double leading_number() {
  bool ok = false;
  const double value = read_leading_number(expression, ok);
  return ok ? value : 0.0;
}

// r uniform over 0..32767 whatever RAND_MAX is: the top bits of rand() where its
// range is wider (glibc: 2^31 - 1), rand() itself where it is 32767 (Windows).
int draw_0_to_32767() {
  constexpr unsigned range = static_cast<unsigned>(RAND_MAX) + 1u;
  static_assert(range % 32768u == 0, "RAND_MAX + 1 must be a multiple of 32768");
  constexpr unsigned step = range / 32768u;
  return static_cast<int>(static_cast<unsigned>(std::rand()) / step);
}

void apply_edit(const KeyAction& action) {
  switch (action.edit) {
    case Edit::digit: put_digit(action.text); break;
    case Edit::decimal_point: put_decimal_point(); break;
    case Edit::append: expression_append(action.text); break;
    case Edit::start_or_append:
      if (is_blank_entry(expression)) expression_assign(action.text);
      else expression_append(action.text);
      break;
    case Edit::evaluate: evaluate_command(); break;
    case Edit::clear:
      expression_assign(L"0");
      result_shown = false;
      break;
    case Edit::backspace: take_back_key(); break;
    case Edit::sign: flip_sign(); break;
    case Edit::toggle_second: second_mode = !second_mode; break;
    case Edit::toggle_angle: radian_mode = !radian_mode; break;
    case Edit::memory_clear: memory = 0.0; break;
    case Edit::memory_add: memory += leading_number(); break;
    case Edit::memory_subtract: memory -= leading_number(); break;
    case Edit::memory_recall: expression_assign(format_general(memory, 14)); break;
    case Edit::random_value: expression_assign(format_general(draw_0_to_32767() / 32767.0, 6)); break;
  }
}

void ask_for_refresh(Edit edit) {
  switch (edit) {
    case Edit::evaluate: break;  // evaluate_command refreshes by itself when it changes anything
    case Edit::toggle_second:
    case Edit::toggle_angle: refresh_key_labels(); break;
    default: refresh_display(); break;
  }
}

}  // namespace

void run_key_command(int id) {
  if (id < first_id || id >= first_id + key_count) return;
  const KeyCommand& command = key_commands[id - first_id];
  const KeyAction& action = second_mode ? command.second : command.normal;
  if (result_shown && action.before == Before::fresh_start) {
    expression_assign({});
    result_shown = false;
  } else if (action.before == Before::carry_on) {
    result_shown = false;
  }
  apply_edit(action);
  ask_for_refresh(action.edit);
}
