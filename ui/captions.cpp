// Captions and title derived from the state: pure functions the window calls on refresh.
#include "ui/captions.h"

#include <cmath>

namespace {
constexpr int angle_mode_key = 1023;
constexpr double memory_marker_threshold = 1e-12;
constexpr const wchar_t* base_title = L"Rivovuz-\u8BA1\u7B97\u5668";  // "Rivovuz-计算器"
constexpr const wchar_t* memory_marker = L"   [M]";
}  // namespace

std::wstring key_caption(const KeyDef& key, bool second_mode, bool radian_mode) {
  // The angle-mode key names the mode in force, never the second-function caption.
  if (key.id == angle_mode_key) return radian_mode ? L"Rad" : L"Deg";
  if (second_mode && !key.second_label.empty()) return key.second_label;
  return key.label;
}

std::wstring window_title(double memory) {
  std::wstring title = base_title;
  // NaN compares false, so a memory that is not a number shows no marker.
  if (std::fabs(memory) > memory_marker_threshold) title += memory_marker;
  return title;
}
