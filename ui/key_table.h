// The keypad table: the calculator's 48 keys, plain data with no window in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class KeyStyle : std::int32_t { plain = 0, arithmetic = 1, equals = 2, memory_op = 3 };

struct KeyDef {
  std::int32_t id;          // control id, 1001..1048
  std::int32_t row;         // 0 (top) .. 5
  std::int32_t column;      // 0 (left) .. 7
  std::wstring label;       // primary caption, never empty
  std::wstring second_label; // caption in second-function mode; empty: keeps label
  KeyStyle style;
};

// The 48 keys in row-major order: entry n is at row n / 8, column n % 8.
extern const std::vector<KeyDef> key_table;

// First entry with this id in table order, or nullptr when no key has it.
const KeyDef* find_key(int id);
