// Event lines of the console driver: "k ID", "c CODE", "shortcut NAME", "undo", "redo",
// "up", "down", "paste TEXT", and the queries "title", "captions", "state" and
// "shortcuts".
//
// Words are separated by spaces or tabs; leading and trailing blanks are allowed.
// ID and CODE are whole decimal numbers from 0 to 65535 (a control id and a UTF-16
// code unit are both 16 bits wide), with no sign. TEXT is everything after the one
// blank that follows "paste", kept exactly; in it "\r" is a carriage return, "\n" a
// line feed and "\\" a backslash, and any other backslash makes the line bad. NAME is
// a combination exactly as the shortcut table writes it ("Alt+S", "Ctrl+P", "F9").
#pragma once

#include <string>
#include <string_view>

enum class EventKind {
  key, typed_char, shortcut, undo, redo, up, down, paste, title, captions, state, shortcuts
};

struct Event {
  EventKind kind;
  int value;         // the control id, code unit or shortcut_table index; 0 for the others
  std::string text;  // paste: the text with its escapes read, still UTF-8
};

// Returns the event and ok true; ok false, a key event of value 0, and a message
// saying what was wrong for every other line.
Event parse_event(std::string_view line, bool& ok, std::string& message);
