// Fuzz target: the console driver's input side, line by line, as rivovuz-cli reads it.
//
// Input: one options byte (bit 0: eval mode instead of keys mode, bit 1: degrees), then
// the bytes of standard input. Each line goes through the UTF-8 reader; in eval mode
// it is then evaluated by "=", in keys mode parsed by parse_event and run as the event.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "commands/evaluate.h"
#include "commands/events.h"
#include "cli/event_line.h"
#include "commands/state.h"
#include "cli/utf8.h"
#include "fuzz/event_checks.h"
#include "fuzz/invariants.h"
#include "ui/shortcuts.h"

namespace {

std::wstring widen_ascii(std::string_view text) { return std::wstring(text.begin(), text.end()); }

// Valid UTF-8 reads back to the same bytes; invalid UTF-8 gives ok false and no text.
std::wstring checked_decode(std::string_view line, bool& ok) {
  std::wstring text = utf8_to_wide(line, ok);
  if (!ok && !text.empty()) fail("invalid UTF-8 gave a text", text);
  if (ok && wide_to_utf8(text) != line) fail("UTF-8 did not read back to its bytes", text);
  return text;
}

// Any wide text writes as UTF-8 that the reader accepts.
void check_encode(std::string_view line) {
  const std::wstring wide =
      text_from_bytes(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
  bool ok = false;
  utf8_to_wide(wide_to_utf8(wide), ok);
  if (!ok) fail("wide_to_utf8 wrote invalid UTF-8", wide);
}

// The first word of a line, as parse_event splits it.
std::string_view first_word(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  std::size_t end = start;
  while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
  return line.substr(start, end - start);
}

Event checked_parse(std::string_view line, bool& ok) {
  std::string message;
  const Event event = parse_event(line, ok, message);
  const std::wstring shown = widen_ascii(line.substr(0, 200));
  if (!ok) {
    if (message.empty()) fail("a bad line without a message", shown);
    if (event.kind != EventKind::key || event.value != 0) fail("a bad line gave an event", shown);
    return event;
  }
  const std::string_view name = first_word(line);
  const bool named_right = (event.kind == EventKind::key && name == "k") ||
                           (event.kind == EventKind::typed_char && name == "c") ||
                           (event.kind == EventKind::undo && name == "undo") ||
                           (event.kind == EventKind::redo && name == "redo") ||
                           (event.kind == EventKind::up && name == "up") ||
                           (event.kind == EventKind::down && name == "down") ||
                           (event.kind == EventKind::paste && name == "paste") ||
                           (event.kind == EventKind::title && name == "title") ||
                           (event.kind == EventKind::captions && name == "captions") ||
                           (event.kind == EventKind::state && name == "state") ||
                           (event.kind == EventKind::shortcut && name == "shortcut") ||
                           (event.kind == EventKind::shortcuts && name == "shortcuts");
  if (!named_right) fail("an event of another kind than its line names", shown);
  if (event.value < 0 || event.value > 65535) fail("an event value outside 0..65535", shown);
  if (event.kind == EventKind::key || event.kind == EventKind::typed_char) {
    const std::string canonical = std::string(name) + " " + std::to_string(event.value);
    bool again = false;
    std::string unused;
    const Event reread = parse_event(canonical, again, unused);
    if (!again || reread.kind != event.kind || reread.value != event.value)
      fail("the plain form of an event reads differently", shown);
  }
  if (event.kind == EventKind::shortcut) {
    if (static_cast<std::size_t>(event.value) >= shortcut_table.size())
      fail("a shortcut event outside the table", shown);
    // The name as the table writes it reads back to the same entry.
    const std::string canonical =
        "shortcut " + shortcut_name(shortcut_table[static_cast<std::size_t>(event.value)]);
    bool again = false;
    std::string unused;
    const Event reread = parse_event(canonical, again, unused);
    if (!again || reread.kind != event.kind || reread.value != event.value)
      fail("a shortcut's table name reads as another shortcut", shown);
  }
  return event;
}

std::wstring shown_line(std::string_view line) { return widen_ascii(line.substr(0, 200)); }

void checked_event(bool (*event)(), const char* name) {
  if (!event()) fail("an event failed with memory to spare", widen_ascii(name));
}

void run_line(std::string_view line, bool eval_mode) {
  check_encode(line);
  bool ok = false;
  std::wstring text = checked_decode(line, ok);
  if (!ok) return;
  if (eval_mode) {
    expression = std::move(text);
    result_shown = false;
    checked_evaluate(evaluate_command);
    check_repeated_evaluate(evaluate_command);
    return;
  }
  const Event event = checked_parse(line, ok);
  if (!ok) return;
  switch (event.kind) {
    case EventKind::key: check_key(event.value); break;
    case EventKind::typed_char: check_typed(static_cast<wchar_t>(event.value)); break;
    case EventKind::undo: checked_event(undo_event, "undo"); break;
    case EventKind::redo: checked_event(redo_event, "redo"); break;
    case EventKind::up: checked_event(history_up_event, "up"); break;
    case EventKind::down: checked_event(history_down_event, "down"); break;
    case EventKind::paste: {
      const std::wstring pasted = utf8_to_wide(event.text, ok);
      if (!ok) fail("a paste text from a valid line is not valid UTF-8", shown_line(line));
      if (!paste_event(pasted)) fail("a paste failed", pasted);
      break;
    }
    case EventKind::shortcut:
      check_shortcut(shortcut_table[static_cast<std::size_t>(event.value)]);
      break;
    case EventKind::shortcuts:
      if (shortcut_list_text().empty()) fail("an empty shortcut list", shown_line(line));
      [[fallthrough]];
    case EventKind::title:
    case EventKind::captions:
    case EventKind::state: check_view(); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  reset_state();
  if (size == 0) return 0;
  const bool eval_mode = (data[0] & 1u) != 0;
  radian_mode = (data[0] & 2u) == 0;
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  bool first = true;
  // Lines as the driver splits them: at "\n", without a "\r" before it, and without
  // a byte order mark at the start of the first.
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    std::string_view line = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    first = false;
    run_line(line, eval_mode);
  }
  return 0;
}
