// Event lines of the console driver: "k ID", "c CODE", "title" and "captions".
//
// Words are separated by spaces or tabs; leading and trailing blanks are allowed.
// ID and CODE are whole decimal numbers from 0 to 65535 (a control id and a UTF-16
// code unit are both 16 bits wide), with no sign.
#pragma once

#include <string>
#include <string_view>

enum class EventKind { key, typed_char, title, captions };

struct Event {
  EventKind kind;
  int value;  // the control id or code unit; 0 for the two queries
};

// Returns the event and ok true; ok false, a key event of value 0, and a message
// saying what was wrong for every other line.
Event parse_event(std::string_view line, bool& ok, std::string& message);
