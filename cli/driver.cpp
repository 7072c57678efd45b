// The console driver's line handling: decode, run as one event, answer without memory.
#include "cli/driver.h"

#include <charconv>
#include <exception>
#include <string>
#include <vector>

#include "cli/event_line.h"
#include "cli/utf8.h"
#include "commands/evaluate.h"
#include "commands/events.h"
#include "commands/state.h"
#include "ui/captions.h"
#include "ui/key_table.h"
#include "ui/shortcuts.h"

namespace {

void write_bytes(std::FILE* out, std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), out);
}

void end_line(std::FILE* out) {
  std::fputc('\n', out);
  std::fflush(out);  // one answer per line, also for a program that waits on each
}

void write_captions(std::FILE* out) {
  bool first = true;
  for (const KeyDef& key : key_table) {
    if (!first) std::fputc('\t', out);
    first = false;
    write_utf8(out, key_caption_view(key, second_mode, radian_mode));
  }
}

// expression, memory as %.17g would print it, then the three flags as 0 or 1.
void write_state(std::FILE* out) {
  write_utf8(out, expression);
  char number[40];
  const auto end = std::to_chars(number, number + sizeof number, memory,
                                 std::chars_format::general, 17).ptr;
  std::fputc('\t', out);
  write_bytes(out, std::string_view(number, static_cast<std::size_t>(end - number)));
  const char flags[] = {'\t', second_mode ? '1' : '0', '\t', radian_mode ? '1' : '0',
                        '\t', result_shown ? '1' : '0'};
  write_bytes(out, std::string_view(flags, sizeof flags));
}

// Runs the event; false when memory ran out and nothing changed.
bool run_event(const Event& event) {
  switch (event.kind) {
    case EventKind::key: return key_event(event.value);
    case EventKind::typed_char: return char_event(static_cast<wchar_t>(event.value));
    case EventKind::shortcut:
      return key_event(shortcut_key(shortcut_table[static_cast<std::size_t>(event.value)],
                                    radian_mode));
    case EventKind::undo: return undo_event();
    case EventKind::redo: return redo_event();
    case EventKind::up: return history_up_event();
    case EventKind::down: return history_down_event();
    case EventKind::paste: {
      bool ok = false;
      const std::wstring text = utf8_to_wide(event.text, ok);  // valid: the line was
      // The clipboard's text ends at its first null, so the pasted text does too.
      return paste_event(std::wstring_view(text).substr(0, text.find(L'\0')));
    }
    default: return true;  // the queries change nothing
  }
}

// The line as wide text; false with the message for a line that is no UTF-8. Throws
// std::bad_alloc when the text does not fit.
bool decode_line(std::string_view line, std::wstring& text, std::string& message) {
  bool ok = false;
  text = utf8_to_wide(line, ok);
  if (!ok) message = "not valid UTF-8";
  return ok;
}

void write_answer(EventKind kind, std::FILE* out) {
  switch (kind) {
    case EventKind::title: write_utf8(out, window_title_view(memory)); break;
    case EventKind::captions: write_captions(out); break;
    case EventKind::state: write_state(out); break;
    case EventKind::shortcuts: write_utf8(out, shortcut_list_text()); break;
    default: write_utf8(out, expression); break;
  }
  end_line(out);
}

}  // namespace

LineResult read_line(std::FILE* in, std::string& line) {
  line.clear();
  int c = 0;
  try {
    while ((c = std::getc(in)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
  } catch (const std::exception&) {
    while ((c = std::getc(in)) != EOF && c != '\n') {
    }
    std::string().swap(line);
    return LineResult::out_of_memory;
  }
  if (c == EOF && line.empty()) return LineResult::end_of_input;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return LineResult::done;
}

LineResult run_keys_line(std::string_view line, std::string& message, std::FILE* out) {
  EventKind kind = EventKind::key;
  try {
    std::wstring text;
    if (!decode_line(line, text, message)) return LineResult::bad;
    bool ok = false;
    const Event event = parse_event(line, ok, message);
    if (!ok) return LineResult::bad;
    if (!run_event(event)) return LineResult::out_of_memory;
    kind = event.kind;
  } catch (const std::exception&) {
    return LineResult::out_of_memory;
  }
  write_answer(kind, out);
  return LineResult::done;
}

LineResult run_eval_line(std::string_view line, std::string& message, std::FILE* out) {
  std::wstring text;
  try {
    if (!decode_line(line, text, message)) return LineResult::bad;
  } catch (const std::exception&) {
    return LineResult::out_of_memory;
  }
  // The previous line's outcome stays in `text` until "=" succeeds, to be put back.
  // result_shown is not read in this mode, and "=" sets it only once it has succeeded.
  expression.swap(text);
  try {
    evaluate_command();
  } catch (const std::exception&) {
    expression.swap(text);
    return LineResult::out_of_memory;
  }
  write_utf8(out, expression);
  end_line(out);
  return LineResult::done;
}

LineResult run_full_eval_line(std::string_view line, std::string& message, std::FILE* out) {
  std::wstring text;
  try {
    if (!decode_line(line, text, message)) return LineResult::bad;
    text = full_outcome(text);
  } catch (const std::exception&) {
    return LineResult::out_of_memory;
  }
  write_utf8(out, text);
  end_line(out);
  return LineResult::done;
}

void report_line(std::FILE* err, unsigned long long line_number, std::string_view what) {
  char number[24];
  const auto end = std::to_chars(number, number + sizeof number, line_number).ptr;
  write_bytes(err, "rivovuz-cli: line ");
  write_bytes(err, std::string_view(number, static_cast<std::size_t>(end - number)));
  write_bytes(err, ": ");
  write_bytes(err, what);
  std::fputc('\n', err);
}

namespace {

// Reports a line that was not done; true when it was.
bool finish_line(LineResult result, unsigned long long line_number, const std::string& message,
                 std::FILE* err) {
  if (result == LineResult::done) return true;
  report_line(err, line_number,
              result == LineResult::out_of_memory ? std::string_view("out of memory") : message);
  return false;
}

}  // namespace

int run_lines(std::FILE* in, std::FILE* out, std::FILE* err, bool eval_mode, bool full) {
  bool any_bad = false;
  unsigned long long line_number = 0;
  std::string line;
  std::string message;
  for (;;) {
    LineResult result = read_line(in, line);
    if (result == LineResult::end_of_input) break;
    ++line_number;
    if (result == LineResult::done) {
      // A byte order mark, as some Windows tools write, is no part of the first line.
      std::string_view text = line;
      if (line_number == 1 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
      if (!eval_mode) result = run_keys_line(text, message, out);
      else result = full ? run_full_eval_line(text, message, out) : run_eval_line(text, message, out);
    }
    any_bad |= !finish_line(result, line_number, message, err);
  }
  return any_bad ? 1 : 0;
}

int run_argument_lines(const std::vector<std::string>& lines, std::FILE* out, std::FILE* err,
                       bool full) {
  bool any_bad = false;
  std::string message;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const LineResult result =
        full ? run_full_eval_line(lines[i], message, out) : run_eval_line(lines[i], message, out);
    any_bad |= !finish_line(result, i + 1, message, err);
  }
  return any_bad ? 1 : 0;
}
