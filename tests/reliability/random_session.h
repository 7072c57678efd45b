// Long random sessions for the reliability runs: the same events from the same seed on
// every runtime (own generator, no library distributions).
//
// Contract: every function is total; the same count and seed always give the same events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class SessionEventKind {
  key,          // a click: value is the control id (now and then one that is no key)
  typed,        // a typed character: value is the UTF-16 code unit
  window_size,  // the window's outer size set to width by height
  size_message, // WM_SIZE sent with a client size of width by height (0..65535)
  minimise,
  restore,
  maximise,
};

struct SessionEvent {
  SessionEventKind kind;
  int value;        // control id or code unit
  int width;        // sizes of the two size events
  int height;
  bool via_button;  // a click through the button (BM_CLICK) rather than WM_COMMAND
};

// A small, fast generator (splitmix64) whose sequence is fixed by its seed.
struct SessionRandom {
  std::uint64_t state;
  std::uint64_t next();
  int below(int bound);  // 0 .. bound - 1
};

// count events from seed; with window_events, about one in eight is a size change,
// a minimise, a restore or a maximise (the rest are clicks and typed characters).
std::vector<SessionEvent> random_session(int count, std::uint64_t seed, bool window_events);

// The rivovuz-cli keys line of a click or typed character ("k 1016", "c 43"); empty
// for the window events, which the console driver does not have.
std::string cli_line(const SessionEvent& event);

// count lines of rivovuz-cli eval input: random expression texts in UTF-8, built from
// the language's tokens, the signs typing shows, error words and stray characters.
std::vector<std::string> random_expressions(int count, std::uint64_t seed);

// count lines for rivovuz-cli keys that mix good events with bad ones: unknown words,
// values out of range, invalid UTF-8, empty lines and, once, a line of a megabyte.
std::vector<std::string> random_bad_lines(int count, std::uint64_t seed);
