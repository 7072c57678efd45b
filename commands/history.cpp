// History of evaluated expressions, with a running count of the memory it holds.
#include "commands/history.h"

#include "commands/undo.h"

std::deque<std::wstring> history;

namespace {

std::size_t bytes = 0;
std::size_t added_in_step = 0;

std::size_t entry_bytes(const std::wstring& entry) {
  return sizeof entry + entry.capacity() * sizeof(wchar_t);
}

}  // namespace

void remember_expression(const std::wstring& text) {
  if (!step_in_progress()) return;
  if (!history.empty() && history.back() == text) return;
  history.push_back(text);
  bytes += entry_bytes(history.back());
  ++added_in_step;
}

void keep_history_of_step() { added_in_step = 0; }

void forget_history_of_step() {
  for (; added_in_step > 0; --added_in_step) {
    bytes -= entry_bytes(history.back());
    history.pop_back();
  }
}

bool drop_oldest_history_entry() {
  if (history.size() <= 1) return false;
  bytes -= entry_bytes(history.front());
  history.pop_front();
  return true;
}

std::size_t history_bytes() { return bytes; }

void clear_history() {
  std::deque<std::wstring>().swap(history);
  bytes = 0;
}
