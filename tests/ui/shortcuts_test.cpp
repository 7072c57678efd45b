// The shortcut table: free combinations only, real keys, every key reachable, and the
// names and list that README, F1 and rivovuz-cli show.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "ui/key_table.h"
#include "ui/shortcuts.h"

namespace {

constexpr int alt = shortcut_alt;
constexpr int ctrl = shortcut_ctrl;
constexpr int shift = shortcut_shift;
constexpr int vk_back = 0x08, vk_return = 0x0D, vk_escape = 0x1B, vk_space = 0x20,
              vk_tab = 0x09, vk_up = 0x26, vk_down = 0x28, vk_f6 = 0x75, vk_f10 = 0x79,
              vk_f12 = 0x7B;

// Combinations the window already uses, and those Windows keeps for itself.
const std::pair<int, int> taken[] = {
    {'C', ctrl}, {'V', ctrl}, {'Z', ctrl}, {'Y', ctrl}, {'Z', ctrl | shift}, {'Y', ctrl | shift},
    {vk_up, 0}, {vk_down, 0}, {vk_return, 0}, {vk_escape, 0}, {vk_back, 0}, {vk_f1, 0},
    {vk_f4, alt}, {vk_space, alt}, {vk_tab, alt}, {vk_escape, alt}, {vk_escape, ctrl},
    {vk_escape, ctrl | shift}, {vk_f6, alt}, {vk_f10, 0}, {vk_f10, shift}, {vk_f12, 0},
    {vk_return, alt},
    // Ctrl+H, Ctrl+M and Ctrl+[ type Backspace, Enter and Escape.
    {'H', ctrl}, {'M', ctrl}, {0xDB, ctrl},
};

TEST(Shortcuts, EachCombinationOnceOnARealKey) {
  std::set<std::pair<int, int>> seen;
  for (const Shortcut& s : shortcut_table) {
    const std::string name = shortcut_name(s);
    EXPECT_TRUE(seen.insert({s.virtual_key, s.modifiers}).second) << name;
    EXPECT_NE(find_key(s.key_id), nullptr) << name;
    EXPECT_EQ(find_shortcut(s.virtual_key, s.modifiers), &s) << name;
    EXPECT_EQ(s.angle != AngleTarget::none, s.key_id == 1023) << name;
  }
}

TEST(Shortcuts, NoneTakesACombinationInUse) {
  for (const auto& [key, modifiers] : taken)
    EXPECT_EQ(find_shortcut(key, modifiers), nullptr) << shortcut_name(key, modifiers) << key;
}

// Alt, Ctrl or a function key alone: a plain letter or digit types (and typing must not
// change), Ctrl+Alt is AltGr, which types on many layouts, and Alt+Shift and
// Ctrl+Shift switch the input language.
TEST(Shortcuts, ModifiersThatTypeNothing) {
  for (const Shortcut& s : shortcut_table) {
    const std::string name = shortcut_name(s);
    EXPECT_TRUE(s.modifiers == alt || s.modifiers == ctrl || s.modifiers == 0) << name;
    if (s.modifiers == 0) {
      EXPECT_TRUE(s.virtual_key >= vk_f1 && s.virtual_key < vk_f1 + 12) << name;
    }
  }
}

// The 21 keys that typing reaches (18 characters, Enter, Escape, Backspace); the
// shortcuts must reach the other 27, and both angle modes.
TEST(Shortcuts, EveryKeyHasAKeyboardPath) {
  std::set<int> reached = {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011,
                           1012, 1013, 1014, 1015, 1016, 1017, 1018, 1020, 1021, 1026};
  for (const Shortcut& s : shortcut_table) reached.insert(s.key_id);
  std::set<int> all;
  for (const KeyDef& key : key_table) all.insert(key.id);
  EXPECT_EQ(reached, all);
  const Shortcut* f3 = find_shortcut_named("F3");
  const Shortcut* f4 = find_shortcut_named("F4");
  ASSERT_TRUE(f3 && f4);
  EXPECT_EQ(f3->angle, AngleTarget::degrees);
  EXPECT_EQ(f4->angle, AngleTarget::radians);
}

struct NameCase {
  int key;
  int modifiers;
  const char* name;
  int key_id;  // the key it presses; 0: no entry
};

// The letters that users of the familiar calculator know, and the names of others.
const NameCase name_cases[] = {
    {'S', alt, "Alt+S", 1027},   {'O', alt, "Alt+O", 1028},  {'T', alt, "Alt+T", 1029},
    {'N', alt, "Alt+N", 1033},   {'L', alt, "Alt+L", 1034},  {'R', alt, "Alt+R", 1041},
    {'Q', alt, "Alt+Q", 1036},   {'Y', alt, "Alt+Y", 1038},  {'P', alt, "Alt+P", 1024},
    {vk_f9, 0, "F9", 1019},      {'L', ctrl, "Ctrl+L", 1044}, {'P', ctrl, "Ctrl+P", 1045},
    {'Q', ctrl, "Ctrl+Q", 1046}, {'R', ctrl, "Ctrl+R", 1047}, {'2', alt, "Alt+2", 1035},
    {'S', ctrl, "Ctrl+S", 1030}, {vk_f3, 0, "F3", 1023},     {vk_f4, 0, "F4", 1023},
    {'S', 0, "S", 0},            {'S', shift, "Shift+S", 0},  {'S', ctrl | alt, "Ctrl+Alt+S", 0},
    {'Z', ctrl | shift, "Ctrl+Shift+Z", 0}, {vk_f1 + 11, alt, "Alt+F12", 0},
    {vk_f4, alt, "Alt+F4", 0},
    // The ends of the ranges the names can write.
    {'A', alt, "Alt+A", 0},      {'Z', alt, "Alt+Z", 0},      {'0', alt, "Alt+0", 0},
    {'9', alt, "Alt+9", 0},      {vk_f1, 0, "F1", 0},
};

TEST(Shortcuts, NamesBothWays) {
  for (const NameCase& c : name_cases) {
    EXPECT_EQ(shortcut_name(c.key, c.modifiers), c.name);
    const Shortcut* by_key = find_shortcut(c.key, c.modifiers);
    const Shortcut* by_name = find_shortcut_named(c.name);
    EXPECT_EQ(by_key, by_name) << c.name;
    EXPECT_EQ(by_key ? by_key->key_id : 0, c.key_id) << c.name;
  }
  // Keys the names cannot write, and spellings that are not the table's.
  for (int key : {vk_up, vk_space, 0xDB, vk_f1 + 12, vk_f1 - 1, int{'a'}, int{'/'}, int{':'}, int{'@'}, int{'['}}) EXPECT_EQ(shortcut_name(key, alt), "");
  for (const char* name : {"alt+s", "Alt+s", "ALT+S", "Alt+S ", "Alt S", "Alt+", "F", "F0", ""})
    EXPECT_EQ(find_shortcut_named(name), nullptr) << name;
}

TEST(Shortcuts, AngleKeysPressOnlyToChangeTheMode) {
  const Shortcut& f3 = *find_shortcut_named("F3");
  const Shortcut& f4 = *find_shortcut_named("F4");
  const Shortcut& sin = *find_shortcut_named("Alt+S");
  EXPECT_EQ(shortcut_key(f3, true), 1023);  // radians on: toggle to degrees
  EXPECT_EQ(shortcut_key(f3, false), 0);    // already degrees
  EXPECT_EQ(shortcut_key(f4, false), 1023);
  EXPECT_EQ(shortcut_key(f4, true), 0);
  EXPECT_EQ(shortcut_key(sin, true), 1027);
  EXPECT_EQ(shortcut_key(sin, false), 1027);
}

TEST(Shortcuts, ListHasOneLinePerEntryInTableOrder) {
  std::wistringstream list(shortcut_list_text());
  std::wstring line;
  std::size_t n = 0;
  std::set<std::wstring> lines;
  while (std::getline(list, line)) {
    ASSERT_LT(n, shortcut_table.size());
    std::wstring name;
    for (char c : shortcut_name(shortcut_table[n])) name += static_cast<wchar_t>(c);
    EXPECT_EQ(line.substr(0, name.size() + 1), name + L"\t") << n;
    lines.insert(line);
    ++n;
  }
  EXPECT_EQ(n, shortcut_table.size());
  for (const wchar_t* want : {L"Alt+S\tsin / asin", L"F3\tDeg", L"F4\tRad", L"Alt+R\t1/x",
                              L"Alt+2\t\u221A / x\u00B2", L"Ctrl+P\tm+", L"F9\t\u00B1"})
    EXPECT_EQ(lines.count(want), 1u) << std::wstring(want).size();
}

}  // namespace
