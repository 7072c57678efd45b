// Captions and title derived from the state: pure functions the window calls on refresh.
#include "ui/captions.h"

#include <cmath>

namespace {
constexpr int angle_mode_key = 1023;
constexpr double memory_marker_threshold = 1e-12;
constexpr std::wstring_view plain_title = L"Rivovuz-\u8BA1\u7B97\u5668";  // "Rivovuz-计算器"
constexpr std::wstring_view marked_title = L"Rivovuz-\u8BA1\u7B97\u5668   [M]";  // with the marker
}  // namespace

std::wstring_view key_caption_view(const KeyDef& key, bool second_mode, bool radian_mode) {
  // The angle-mode key names the mode in force, never the second-function caption.
  if (key.id == angle_mode_key) return radian_mode ? L"Rad" : L"Deg";
  if (second_mode && !key.second_label.empty()) return key.second_label;
  return key.label;
}

std::wstring key_caption(const KeyDef& key, bool second_mode, bool radian_mode) {
  return std::wstring(key_caption_view(key, second_mode, radian_mode));
}

std::wstring_view window_title_view(double memory) {
  // NaN compares false, so a memory that is not a number shows no marker.
  if (std::fabs(memory) > memory_marker_threshold) return marked_title;
  return plain_title;
}

std::wstring window_title(double memory) { return std::wstring(window_title_view(memory)); }
