// The keypad table: 48 keys, ids 1001..1048 once each, row-major grid, styles by group.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "ui/key_table.h"

namespace {

TEST(KeyTable, FortyEightKeysInRowMajorOrder) {
  ASSERT_EQ(key_table.size(), 48u);
  std::set<int> ids;
  std::set<std::pair<int, int>> cells;
  for (std::size_t n = 0; n < key_table.size(); ++n) {
    const KeyDef& key = key_table[n];
    EXPECT_EQ(key.row, static_cast<int>(n / 8)) << key.id;
    EXPECT_EQ(key.column, static_cast<int>(n % 8)) << key.id;
    EXPECT_FALSE(key.label.empty()) << key.id;
    ids.insert(key.id);
    cells.insert({key.row, key.column});
  }
  EXPECT_EQ(ids.size(), 48u);
  EXPECT_EQ(*ids.begin(), 1001);
  EXPECT_EQ(*ids.rbegin(), 1048);
  EXPECT_EQ(cells.size(), 48u);
  // The corners of the keypad.
  EXPECT_EQ(key_table.front().id, 1022);
  EXPECT_EQ(key_table[7].id, 1047);
  EXPECT_EQ(key_table[40].id, 1023);
  EXPECT_EQ(key_table.back().id, 1016);
}

TEST(KeyTable, StylesByGroup) {
  for (const KeyDef& key : key_table) {
    KeyStyle want = KeyStyle::plain;
    if (key.id >= 1012 && key.id <= 1015) want = KeyStyle::arithmetic;
    if (key.id == 1016) want = KeyStyle::equals;
    if (key.id >= 1044 && key.id <= 1047) want = KeyStyle::memory_op;
    EXPECT_EQ(key.style, want) << key.id;
  }
}

TEST(KeyTable, DigitKeysAndSigns) {
  for (int id = 1001; id <= 1010; ++id) {
    const KeyDef* key = find_key(id);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->label, std::wstring(1, static_cast<wchar_t>(L'0' + (id - 1001))));
  }
  const std::pair<int, const wchar_t*> signs[] = {
      {1013, L"-"},      {1014, L"\u00D7"} /* "×" */, {1015, L"\u00F7"} /* "÷" */,
      {1018, L"\u232B"} /* "⌫" */, {1019, L"\u00B1"} /* "±" */, {1024, L"\u03C0"} /* "π" */,
  };
  for (const auto& [id, label] : signs) EXPECT_EQ(find_key(id)->label, label) << id;
}

TEST(KeyTable, FourteenKeysHaveASecondCaption) {
  std::set<int> with_second;
  for (const KeyDef& key : key_table)
    if (!key.second_label.empty()) with_second.insert(key.id);
  EXPECT_EQ(with_second, (std::set<int>{1039, 1036, 1037, 1038, 1035, 1034, 1027, 1028, 1029, 1033,
                                        1030, 1031, 1032, 1023}));
}

TEST(KeyTable, FindKeyByIdOnly) {
  for (const KeyDef& key : key_table) EXPECT_EQ(find_key(key.id), &key) << key.id;
  for (int id : {0, 1000, 1049, -1, 65535}) EXPECT_EQ(find_key(id), nullptr) << id;
}

}  // namespace
