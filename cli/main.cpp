// rivovuz-cli: the calculator's commands driven by UTF-8 lines on standard input.
//
//   rivovuz-cli eval [--degrees] [--full] [EXPRESSION...]
//                                  each line (or each argument) an expression;
//                                  prints what "=" shows, or with --full the
//                                  shortest text that reads back as the result
//   rivovuz-cli keys [--seed N]    each line an event (k ID, c CODE, shortcut NAME,
//                                  undo, redo, up, down, paste TEXT) or a query
//                                  (title, captions, state, shortcuts); prints the
//                                  display or the answer after each
//   rivovuz-cli --help | --version
// A bad line, or one that ran out of memory, is reported on standard error with its
// number and skipped, the state as it was; the exit code is then 1. Wrong arguments
// print the usage and exit with 2.
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

#include "cli/driver.h"
#include "cli/utf8.h"
#include "commands/state.h"

namespace {

constexpr const char* usage =
    "usage: rivovuz-cli eval [--degrees] [--full] [EXPRESSION...]\n"
    "       rivovuz-cli keys [--seed N]\n"
    "       rivovuz-cli --help | --version\n"
    "keys events: k ID, c CODE, shortcut NAME (Alt+S, Ctrl+P, F9...), undo, redo, up,\n"
    "  down, paste TEXT; queries: title, captions, state, shortcuts (the F1 list)\n";

enum class Mode { eval, keys, help, version };

struct Options {
  Mode mode = Mode::eval;
  bool degrees = false;
  bool full = false;  // eval: results as the shortest text that reads back exactly
  bool seeded = false;
  unsigned seed = 0;
  std::vector<std::string> expressions; // eval: these lines in place of standard input
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
  if (mode == "eval") {  // the mode options start in
    std::size_t i = 1;
    // --degrees and --full, each at most once, in either order.
    for (; i < arguments.size(); ++i) {
      bool& flag = arguments[i] == "--degrees" ? options.degrees : options.full;
      if ((arguments[i] != "--degrees" && arguments[i] != "--full") || flag) break;
      flag = true;
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

  if (!options.expressions.empty())
    return run_argument_lines(options.expressions, stdout, stderr, options.full);
  return run_lines(stdin, stdout, stderr, options.mode == Mode::eval, options.full);
}
