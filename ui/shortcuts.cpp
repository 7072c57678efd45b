// The keyboard shortcuts: the constant table, its look-ups and the list that F1 shows.
#include "ui/shortcuts.h"

#include "ui/captions.h"
#include "ui/key_table.h"

namespace {
constexpr int alt = shortcut_alt;
constexpr int ctrl = shortcut_ctrl;
constexpr AngleTarget any = AngleTarget::none;
constexpr int angle_mode_key = 1023;
}  // namespace

// Grouped as F1 lists them. Alt with a letter stands where the familiar calculator
// takes the plain letter, which typing here must leave alone; its shifted signs
// (@ # !) become the digit under them, which every layout has unshifted.
const std::vector<Shortcut> shortcut_table = {
    {'S', alt, 1027, any},   // sin / asin
    {'O', alt, 1028, any},   // cos / acos
    {'T', alt, 1029, any},   // tan / atan
    {'S', ctrl, 1030, any},  // sinh / asinh: Ctrl with the letter of the circular one
    {'O', ctrl, 1031, any},  // cosh / acosh
    {'T', ctrl, 1032, any},  // tanh / atanh
    {'N', alt, 1033, any},   // ln / e^x
    {'L', alt, 1034, any},   // lg / 10^x
    {'E', alt, 1040, any},   // e^x
    {'G', ctrl, 1039, any},  // 10^x / e^x
    {'Q', alt, 1036, any},   // x² / √
    {'2', alt, 1035, any},   // √ / x²: the 2 of the square root, under @
    {'3', alt, 1037, any},   // x³: under #
    {'Y', alt, 1038, any},   // y^x
    {'V', alt, 1042, any},   // ʸ√x: V is the shape of the root sign
    {'R', alt, 1041, any},   // 1/x
    {'1', alt, 1043, any},   // x!: under !
    {'P', alt, 1024, any},   // π
    {'X', alt, 1025, any},   // EE
    {'D', alt, 1048, any},   // Rand: a die
    {vk_f9, 0, 1019, any},   // ±
    {'I', alt, 1022, any},   // 2nd: the inverse functions
    {vk_f3, 0, angle_mode_key, AngleTarget::degrees},
    {vk_f4, 0, angle_mode_key, AngleTarget::radians},
    {'L', ctrl, 1044, any},  // mc
    {'P', ctrl, 1045, any},  // m+
    {'Q', ctrl, 1046, any},  // m-
    {'R', ctrl, 1047, any},  // mr
};

const Shortcut* find_shortcut(int virtual_key, int modifiers) {
  for (const Shortcut& s : shortcut_table)
    if (s.virtual_key == virtual_key && s.modifiers == modifiers) return &s;
  return nullptr;
}

std::string shortcut_name(int virtual_key, int modifiers) {
  const bool letter_or_digit =
      (virtual_key >= 'A' && virtual_key <= 'Z') || (virtual_key >= '0' && virtual_key <= '9');
  const bool function_key = virtual_key >= vk_f1 && virtual_key < vk_f1 + 12;
  if (!letter_or_digit && !function_key) return {};
  std::string name;
  if (modifiers & shortcut_ctrl) name.append("Ctrl+");
  if (modifiers & shortcut_alt) name.append("Alt+");
  if (modifiers & shortcut_shift) name.append("Shift+");
  if (letter_or_digit) {
    name.push_back(static_cast<char>(virtual_key));
  } else {
    name.push_back('F');
    name.append(std::to_string(virtual_key - vk_f1 + 1));
  }
  return name;
}

std::string shortcut_name(const Shortcut& shortcut) {
  return shortcut_name(shortcut.virtual_key, shortcut.modifiers);
}

const Shortcut* find_shortcut_named(std::string_view name) {
  for (const Shortcut& s : shortcut_table)
    if (shortcut_name(s) == name) return &s;
  return nullptr;
}

int shortcut_key(const Shortcut& shortcut, bool radian_mode) {
  if (shortcut.angle == AngleTarget::degrees && !radian_mode) return 0;
  if (shortcut.angle == AngleTarget::radians && radian_mode) return 0;
  return shortcut.key_id;
}

std::wstring shortcut_list_text() {
  std::wstring text;
  for (const Shortcut& s : shortcut_table) {
    const KeyDef* key = find_key(s.key_id);
    if (!key) continue;
    if (!text.empty()) text += L'\n';
    for (char c : shortcut_name(s)) text += static_cast<wchar_t>(c);
    text += L'\t';
    if (s.angle != AngleTarget::none) {
      text += key_caption_view(*key, false, s.angle == AngleTarget::radians);
      continue;
    }
    text += key->label;
    if (!key->second_label.empty()) text += L" / " + key->second_label;
  }
  return text;
}
