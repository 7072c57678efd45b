// What must hold after every command, checked inside the fuzz targets: a broken rule aborts.
//
// Contract: every check_* function returns only when its rule holds; on a violation it
// prints what it saw to standard error and calls abort(), so that libFuzzer keeps the
// input as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/refresh_record.h"

// The whole calculator state of a build without a window, refresh counts included.
struct StateSnapshot {
  std::wstring expression;
  double memory;
  bool second_mode;
  bool radian_mode;
  bool result_shown;
  RefreshLog refreshes;
};

StateSnapshot take_snapshot();
void restore_snapshot(const StateSnapshot& state);

// Puts every variable back to its start value and zeroes the refresh counts.
void reset_state();

// Reports a broken rule and aborts.
[[noreturn]] void fail(const char* rule, const std::wstring& detail);

// True for a text that the result formatting makes from a finite number: an integer of
// up to 15 digits, or a %.12g text (fixed or exponent form, no trailing zeros).
bool is_number_text(const std::wstring& text);

// Runs an "=" command (evaluate_command itself, the "=" key or Enter) on the current
// state and checks what "=" must leave behind.
using Command = void (*)();
void checked_evaluate(Command equals);

// "=" pressed again on what "=" left: a number text shows the same text again, except
// that an exponent-form text whose value is an integer of magnitude 1e12 to below 1e15
// shows all its digits, and a further "=" then keeps that text; a text whose value is
// nonzero and below the smallest normal double (2.2250738585072014e-308) in magnitude
// gives "错误", since the number reader rejects that range; an error word gives "错误".
// Runs on a copy of the state, which is put back afterwards.
void check_repeated_evaluate(Command equals);

// The arbitrary bytes of a fuzz input as expression text: ASCII bytes stand for
// themselves, bytes 0x80 to 0xEF pick from a list of characters the calculator meets
// (its own signs and error words, look-alike digits and spaces), and 0xF0 to 0xFF take
// the next two bytes as one raw UTF-16 code unit.
std::wstring text_from_bytes(const std::uint8_t* data, std::size_t size);
