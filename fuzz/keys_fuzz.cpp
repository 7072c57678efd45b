// Fuzz target: any byte stream as a session of key clicks and typed characters.
//
// Input bytes, one event each:
//   0x00..0x9F  key 1001 + byte % 48 (every key, about three times over)
//   0xA0..0xEF  a typed character from typed_chars, cycled
//   0xF0..0xF7  a typed character: the next two bytes as a raw UTF-16 code unit
//   0xF8..0xFF  a key command: the next two bytes as a raw 16-bit control id
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/event_checks.h"
#include "fuzz/invariants.h"

namespace {

constexpr wchar_t typed_chars[] = {
    13, 27, 8,  // Enter, Escape, Backspace
    L'0', L'1', L'2', L'3', L'4', L'5', L'6', L'7', L'8', L'9',
    L'+', L'-', L'*', L'/', L'%', L'(', L')', L'.',
    L'^', L'!', L'=', L',', L'e', L'x', L' ', L'&', L'\'',  // ignored
    3, 22, 0, 0xFFFF, 0xD800, L'\u00D7', L'\u00F7',       // Ctrl+C, Ctrl+V, NUL, ...
};
constexpr std::size_t typed_count = sizeof typed_chars / sizeof typed_chars[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  reset_state();
  std::srand(1);  // "Rand" draws the same values on every run of an input
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t byte = data[i];
    if (byte < 0xA0) {
      check_key(1001 + byte % 48);
    } else if (byte < 0xF0) {
      check_typed(typed_chars[(byte - 0xA0u) % typed_count]);
    } else if (i + 2 < size) {
      const unsigned raw = static_cast<unsigned>(data[i + 1]) << 8 | data[i + 2];
      i += 2;
      if (byte < 0xF8) check_typed(static_cast<wchar_t>(raw));
      else check_key(static_cast<int>(static_cast<std::int16_t>(raw)));
    }
  }
  check_view();
  return 0;
}
