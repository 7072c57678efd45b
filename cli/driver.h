// The console driver's lines: each is handled whole, or, when memory runs out, not at
// all: nothing is written for it and the calculator's state stays as it was.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

enum class LineResult { done, bad, out_of_memory, end_of_input };

// Reads one line without its "\n" (and a "\r" before it): done, or end_of_input;
// out_of_memory when the line did not fit, with the rest of it skipped.
LineResult read_line(std::FILE* in, std::string& line);

// keys mode: runs one event or query line and writes its answer line to out.
// bad: message says what was wrong with the line.
LineResult run_keys_line(std::string_view line, std::string& message, std::FILE* out);

// eval mode: the line as the expression, then "="; writes what the display shows.
// bad: the line is not valid UTF-8 (message says so).
LineResult run_eval_line(std::string_view line, std::string& message, std::FILE* out);

// eval --full: the line's outcome with the number in full (full_outcome); the
// calculator's state is not used. bad: the line is not valid UTF-8.
LineResult run_full_eval_line(std::string_view line, std::string& message, std::FILE* out);

// Writes "rivovuz-cli: line N: what" to err; takes no memory.
void report_line(std::FILE* err, unsigned long long line_number, std::string_view what);

// Every line of in, in eval or keys mode; answers to out, bad lines and lines that ran
// out of memory reported to err. Returns the exit code: 1 after any such line, else 0.
// full: eval lines as eval --full runs them.
int run_lines(std::FILE* in, std::FILE* out, std::FILE* err, bool eval_mode, bool full = false);

// eval mode over the given lines (the expressions given as arguments), numbered from 1.
int run_argument_lines(const std::vector<std::string>& lines, std::FILE* out, std::FILE* err,
                       bool full = false);
