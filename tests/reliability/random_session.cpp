// Random sessions of clicks, typed characters and window events, from a fixed seed.
#include "tests/reliability/random_session.h"

namespace {

constexpr int first_key = 1001;
constexpr int key_count = 48;
constexpr int rand_key = 1048;
constexpr int equals_key = 1016;
constexpr int clear_key = 1017;

// Ids that name no key: the driver and the window must ignore them.
constexpr int stray_ids[] = {0, 1000, 1049, 1050, 65535};

// Enter, Escape, Backspace and the eighteen characters that typing inserts.
constexpr int accepted_chars[] = {13, 13, 27, 8, '0', '1', '2', '3', '4', '5', '6', '7', '8',
                                  '9', '+', '-', '*', '/', '%', '(', ')', '.'};

template <typename T, int N> int size_of(const T (&)[N]) { return N; }

int random_key(SessionRandom& random) {
  const int roll = random.below(100);
  if (roll < 8) return equals_key;  // "=" often, so that results are shown and reused
  if (roll < 10) return clear_key;  // "AC" now and then keeps the texts short
  if (roll < 11) return stray_ids[random.below(size_of(stray_ids))];
  int id = first_key + random.below(key_count);
  // "Rand" is rare: what it draws is not the same in two processes.
  if (id == rand_key && random.below(10) != 0) id = first_key + random.below(key_count - 1);
  return id;
}

int random_char(SessionRandom& random) {
  if (random.below(10) < 8) return accepted_chars[random.below(size_of(accepted_chars))];
  return random.below(65536);
}

SessionEvent window_event(SessionRandom& random) {
  SessionEvent event{SessionEventKind::window_size, 0, 0, 0, false};
  // Restores and ordinary sizes come back often, so that most clicks find a key to press.
  switch (random.below(12)) {
    case 0: event.kind = SessionEventKind::minimise; break;
    case 1:
    case 2: event.kind = SessionEventKind::restore; break;
    case 3: event.kind = SessionEventKind::maximise; break;
    case 4: break;  // 0 by 0
    case 5:  // tiny
      event.width = random.below(80);
      event.height = random.below(160);
      break;
    case 6:  // larger than any screen
      event.width = 2000 + random.below(6000);
      event.height = 2000 + random.below(6000);
      break;
    case 7:
    case 8:
    case 9:  // ordinary
      event.width = 300 + random.below(900);
      event.height = 250 + random.below(700);
      break;
    default:  // a size message with any client size the 16-bit fields can carry
      event.kind = SessionEventKind::size_message;
      event.width = random.below(4) == 0 ? random.below(65536) : random.below(200);
      event.height = random.below(4) == 0 ? random.below(65536) : random.below(200);
      break;
  }
  return event;
}

// Pieces of expression text, UTF-8; some of them are no part of the language.
constexpr const char* expression_pieces[] = {
    "0", "1", "2", "3", "7", "9", "42", "0.5", ".", "1e", "2E-3", "1e308", "1e-310", "170",
    "+", "-", "*", "/", "^", "%", "!", "(", ")", "((", "))", " ", "\t", "pi", "e",
    "sin(", "cos(", "tan(", "asin(", "acos(", "atan(", "sinh(", "cosh(", "tanh(",
    "asinh(", "acosh(", "atanh(", "sqrt(", "cbrt(", "lg(", "ln(", "exp(", "abs(",
    "\xC3\x97", "\xC3\xB7",                 // "×" "÷"
    "\xE9\x94\x99\xE8\xAF\xAF",             // "错误"
    "\xE6\x97\xA0\xE7\xA9\xB7\xE5\xA4\xA7", // "无穷大"
    "\xCF\x80", "\xC2\xB2", "\xEF\xBC\x91", // "π" "²" fullwidth one
    "\xF0\x9F\x98\x80",                     // a character outside the BMP
    "x", "sinpi", "log10", "=", ",",
};

// A line of the keys driver that it must reject.
constexpr const char* bad_lines[] = {
    "", "k", "c", "k -1", "k 65536", "c 70000", "k 12x", "k 1 2", "title x", "captions 1",
    "K 1002", "key 1002", "k 99999999999999999999999999", "\xFF\xFE", "k \xC0\xAF",
    "\xED\xA0\x80", "k\x01" "1002", "c \xE2\x80\xAF" "13",
};

}  // namespace

std::uint64_t SessionRandom::next() {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int SessionRandom::below(int bound) {
  return static_cast<int>(next() % static_cast<std::uint64_t>(bound));
}

std::vector<SessionEvent> random_session(int count, std::uint64_t seed, bool window_events) {
  SessionRandom random{seed};
  std::vector<SessionEvent> events;
  events.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  for (int n = 0; n < count; ++n) {
    const int roll = random.below(100);
    if (window_events && roll < 12) {
      events.push_back(window_event(random));
    } else if (roll < 42) {
      events.push_back({SessionEventKind::typed, random_char(random), 0, 0, false});
    } else {
      const int id = random_key(random);
      events.push_back({SessionEventKind::key, id, 0, 0, random.below(4) != 0});
    }
  }
  return events;
}

std::string cli_line(const SessionEvent& event) {
  if (event.kind == SessionEventKind::key) return "k " + std::to_string(event.value);
  if (event.kind == SessionEventKind::typed) return "c " + std::to_string(event.value);
  return "";
}

std::vector<std::string> random_expressions(int count, std::uint64_t seed) {
  SessionRandom random{seed};
  std::vector<std::string> lines;
  for (int n = 0; n < count; ++n) {
    std::string line;
    const int pieces = random.below(40);
    for (int p = 0; p < pieces; ++p)
      line += expression_pieces[random.below(size_of(expression_pieces))];
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> random_bad_lines(int count, std::uint64_t seed) {
  SessionRandom random{seed};
  std::vector<std::string> lines;
  for (int n = 0; n < count; ++n) {
    if (n == count / 2) {
      lines.push_back("k " + std::string(1 << 20, '7'));  // a megabyte of digits
    } else if (random.below(3) == 0) {
      lines.push_back(bad_lines[random.below(size_of(bad_lines))]);
    } else {
      const SessionEvent event = random_session(1, random.next(), false).front();
      lines.push_back(cli_line(event));
    }
  }
  return lines;
}
