// rivovuz-cli: the calculator's commands driven by UTF-8 lines on standard input.
//
//   rivovuz-cli eval [--degrees] [EXPRESSION...]
//                                  each line (or each argument) an expression;
//                                  prints what "=" shows
//   rivovuz-cli keys [--seed N]    each line an event (k ID, c CODE) or a query
//                                  (title, captions); prints one line for each
//   rivovuz-cli --help | --version
// A bad line is reported on standard error with its number and skipped; the exit
// code is then 1. Wrong arguments print the usage and exit with 2.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
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
    "usage: rivovuz-cli eval [--degrees] [EXPRESSION...]\n"
    "       rivovuz-cli keys [--seed N]\n"
    "       rivovuz-cli --help | --version\n";

enum class Mode { eval, keys, help, version };

struct Options {
  Mode mode = Mode::eval;
  bool degrees = false;
  bool seeded = false;
  unsigned seed = 0;
  std::vector<std::string> expressions; // eval: these lines in place of standard input
  std::size_t next_expression = 0;
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

// The arguments after the program name, in UTF-8. Windows hands main() its arguments
// in the ANSI code page, which cannot hold every character; the wide command line can.
std::vector<std::string> utf8_arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(wide_to_utf8(wide[i]));
    LocalFree(wide);
    return arguments;
  }
#endif
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool read_options(const std::vector<std::string>& arguments, Options& options) {
  if (arguments.empty()) return false;
  const std::string_view mode = arguments[0];
  if (arguments.size() == 1 && (mode == "--help" || mode == "--version")) {
    options.mode = mode == "--help" ? Mode::help : Mode::version;
    return true;
  }
  if (mode == "eval") {
    options.mode = Mode::eval;
    std::size_t i = 1;
    if (i < arguments.size() && arguments[i] == "--degrees") {
      options.degrees = true;
      ++i;
    }
    // Options come first; a misspelt one is no expression to evaluate.
    if (i < arguments.size() && arguments[i].compare(0, 2, "--") == 0) return false;
    options.expressions.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
    return true;
  }
  if (mode == "keys") {
    options.mode = Mode::keys;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
      if (arguments[i] != "--seed" || i + 1 >= arguments.size()) return false;
      if (!read_seed(arguments[++i].c_str(), options.seed)) return false;
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

// The next line: the next expression argument if there are any, else a line of input.
bool next_line(Options& options, std::string& line) {
  if (options.expressions.empty()) return read_line(line);
  if (options.next_expression == options.expressions.size()) return false;
  line = options.expressions[options.next_expression++];
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
  result_shown = false;
  evaluate_command();
  write_line(wide_to_utf8(expression));
}

}  // namespace

int main(int argc, char** argv) {
  use_binary_streams();
  Options options;
  if (!read_options(utf8_arguments(argc, argv), options)) {
    std::fputs(usage, stderr);
    return 2;
  }
  if (options.mode == Mode::help) std::fputs(usage, stdout);
  if (options.mode == Mode::version) std::fputs("rivovuz-cli " RIVOVUZ_VERSION "\n", stdout);
  if (options.mode == Mode::help || options.mode == Mode::version) return 0;
  if (options.degrees) radian_mode = false;
  std::srand(options.seeded ? options.seed : static_cast<unsigned>(std::time(nullptr)));

  bool any_bad = false;
  unsigned long long line_number = 0;
  std::string line;
  while (next_line(options, line)) {
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
