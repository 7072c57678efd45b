// rivovuz-cli: the calculator's commands driven by UTF-8 lines on standard input.
//
//   rivovuz-cli eval [--degrees]   each line an expression; prints what "=" shows
//   rivovuz-cli keys [--seed N]    each line an event (k ID, c CODE, undo, redo, up,
//                                  down, paste TEXT) or a query (title, captions,
//                                  state); prints one line for each
// A bad line, or one that ran out of memory, is reported on standard error with its
// number and skipped, the state as it was; the exit code is then 1. Wrong arguments
// print the usage and exit with 2.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/driver.h"
#include "commands/state.h"

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

  return run_lines(stdin, stdout, stderr, options.mode == Mode::eval);
}
