// Keyboard input: Enter, Escape, Backspace and the eighteen characters typed into expression.
#include "commands/typing.h"

#include <cstdint>

#include "commands/edit.h"
#include "commands/evaluate.h"
#include "commands/keys.h"
#include "commands/refresh.h"
#include "commands/state.h"
#include "engine/format.h"

namespace {

constexpr wchar_t enter = 13;
constexpr wchar_t escape = 27;
constexpr wchar_t backspace = 8;
constexpr int clear_key = 1017;  // "AC"

// The inserted characters lie in 37 ("%") .. 57 ("9"); bit (code - 37) is set for
// "%" "(" ")" "*" "+" "-" "." "/" and the digits, clear for "&" "'" ",".
constexpr wchar_t first_inserted = 37;
constexpr wchar_t last_inserted = 57;
constexpr std::uint32_t inserted_mask = 0x1FFF79;

bool is_inserted(wchar_t code) {
  return code >= first_inserted && code <= last_inserted &&
         ((inserted_mask >> (code - first_inserted)) & 1u) != 0;
}

bool is_operator(wchar_t code) {
  return code == L'+' || code == L'-' || code == L'*' || code == L'/' || code == L'%';
}

// Typed "*" and "/" show as "×" and "÷"; "=" reads them back as the ASCII operators.
wchar_t shown_form(wchar_t code) {
  if (code == L'*') return L'\u00D7';  // "×"
  if (code == L'/') return L'\u00F7';  // "÷"
  return code;
}

// Unlike the "⌫" key this does not look for the error words: "错误" loses one character.
void take_back_typed() {
  if (result_shown) {
    expression_assign(L"0");
    result_shown = false;
  } else if (expression.size() <= 1) {
    expression_assign(L"0");
  } else {
    expression_pop_back();
  }
}

void insert_typed(wchar_t code) {
  const wchar_t shown_char = shown_form(code);
  const std::wstring_view shown(&shown_char, 1);
  if (result_shown && is_operator(code)) {
    // An operator carries on from the shown result, as the keypad's operator keys do.
    result_shown = false;
    expression_append(shown);
    return;
  }
  if (result_shown) {
    expression_assign({});
    result_shown = false;
  }
  if (expression == L"0" || expression == error_word) expression_assign(shown);
  else expression_append(shown);
}

}  // namespace

void handle_typed_char(wchar_t code) {
  if (code == enter) {
    evaluate_command();
  } else if (code == escape) {
    run_key_command(clear_key);
  } else if (code == backspace) {
    take_back_typed();
    refresh_display();
  } else if (is_inserted(code)) {
    insert_typed(code);
    refresh_display();
  }
}
