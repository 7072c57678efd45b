// Captions and title derived from the state: pure, so they are tested without a window.
#pragma once

#include <string>
#include <string_view>

#include "ui/key_table.h"

// The caption a key shows: second_label in second-function mode when it has one,
// else label; the angle-mode key (1023) always names the angle mode in force.
std::wstring key_caption(const KeyDef& key, bool second_mode, bool radian_mode);
// The same caption without a copy, null-terminated: it lives as long as key_table.
std::wstring_view key_caption_view(const KeyDef& key, bool second_mode, bool radian_mode);

// "Rivovuz-计算器", followed by "   [M]" while |memory| > 1e-12 (never for NaN).
std::wstring window_title(double memory);
// The same title without a copy, from constant null-terminated text: for refreshes
// that must not fail.
std::wstring_view window_title_view(double memory);
