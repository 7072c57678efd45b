// rivovuz-cli: the calculator's commands driven by UTF-8 lines on standard input.
//
//   rivovuz-cli eval [--degrees]   each line an expression; prints what "=" shows
//   rivovuz-cli keys [--seed N]    each line an event (k ID, c CODE) or a query
//                                  (title, captions); prints one line for each
// A bad line is reported on standard error with its number and skipped; the exit
// code is then 1. Wrong arguments print the usage and exit with 2.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "commands/evaluate.h"
#include "commands/event_line.h"
#include "commands/keys.h"
#include "commands/state.h"
#include "commands/typing.h"
#include "commands/utf8.h"
#include "ui/captions.h"
#include "ui/key_table.h"

namespace {

constexpr const char* usage =
    "usage: rivovuz-cli eval [--degrees]\n"
    "       rivovuz-cli keys [--seed N]\n";

enum class Mode { eval, keys };

struct Options {
  Mode mode = Mode::eval;
  bool degrees = false;
  bool seeded = false;
  unsigned seed = 0;
};

bool read_seed(const char* text, unsigned& seed) {
  unsigned long long value = 0;
  if (*text == '\0') return false;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + static_cast<unsigned>(*p - '0');
    if (value > 0xFFFFFFFFull) return false;
  }
  seed = static_cast<unsigned>(value);
  return true;
}

bool read_options(int argc, char** argv, Options& options) {
  if (argc < 2) return false;
  const std::string_view mode = argv[1];
  if (mode == "eval") {
    options.mode = Mode::eval;
    for (int i = 2; i < argc; ++i) {
      if (std::string_view(argv[i]) != "--degrees") return false;
      options.degrees = true;
    }
    return true;
  }
  if (mode == "keys") {
    options.mode = Mode::keys;
    for (int i = 2; i < argc; ++i) {
      if (std::string_view(argv[i]) != "--seed" || i + 1 >= argc) return false;
      if (!read_seed(argv[++i], options.seed)) return false;
      options.seeded = true;
    }
    return true;
  }
  return false;
}

// Windows would otherwise turn "\n" into "\r\n" and stop at a Ctrl-Z byte; the
// text is UTF-8 in both directions whatever the console's code page is.
void use_binary_streams() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

// One line without its "\n" (and without a "\r" before it); false at the end of input.
bool read_line(std::string& line) {
  line.clear();
  int c = 0;
  while ((c = std::getc(stdin)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
  if (c == EOF && line.empty()) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void write_line(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);  // one answer per line, also for a program that waits on each
}

void report(unsigned long long line_number, const std::string& what) {
  const std::string text = "rivovuz-cli: line " + std::to_string(line_number) + ": " + what + "\n";
  std::fwrite(text.data(), 1, text.size(), stderr);
}

std::string all_captions() {
  std::wstring joined;
  for (const KeyDef& key : key_table) {
    if (!joined.empty()) joined += L'\t';
    joined += key_caption(key, second_mode, radian_mode);
  }
  return wide_to_utf8(joined);
}

// Runs one event or query line; false with a message for a bad line.
bool run_event(const std::string& line, std::string& message) {
  bool ok = false;
  const Event event = parse_event(line, ok, message);
  if (!ok) return false;
  switch (event.kind) {
    case EventKind::key: run_key_command(event.value); break;
    case EventKind::typed_char: handle_typed_char(static_cast<wchar_t>(event.value)); break;
    case EventKind::title: write_line(wide_to_utf8(window_title(memory))); return true;
    case EventKind::captions: write_line(all_captions()); return true;
  }
  write_line(wide_to_utf8(expression));
  return true;
}

void run_expression(std::wstring text) {
  expression = std::move(text);
  evaluate_command();
  write_line(wide_to_utf8(expression));
}

}  // namespace

int main(int argc, char** argv) {
  use_binary_streams();
  Options options;
  if (!read_options(argc, argv, options)) {
    std::fputs(usage, stderr);
    return 2;
  }
  if (options.degrees) radian_mode = false;
  std::srand(options.seeded ? options.seed : static_cast<unsigned>(std::time(nullptr)));

  bool any_bad = false;
  unsigned long long line_number = 0;
  std::string line;
  while (read_line(line)) {
    ++line_number;
    // A byte order mark, as some Windows tools write, is no part of the first line.
    if (line_number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    bool ok = false;
    std::wstring text = utf8_to_wide(line, ok);
    std::string message = "not valid UTF-8";
    if (ok) {
      if (options.mode == Mode::eval) run_expression(std::move(text));
      else ok = run_event(line, message);
    }
    if (!ok) {
      report(line_number, message);
      any_bad = true;
    }
  }
  return any_bad ? 1 : 0;
}
