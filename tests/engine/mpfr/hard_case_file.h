// Reads a file of tests/engine/hard_cases: one argument (two for pow) per line as a C99 hex float.
//
// '#' starts a comment; a line that starts with "##" opens a section whose every case goes
// into the unit tests' table (a line with a single '#' closes it), where otherwise only
// the hardest cases of a file go.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace reference {

struct Arguments {
  double x;
  double y;          // 0 for one-argument functions
  bool every_row;    // in a "##" section: always in the unit tests' table
};

// The arguments of path; ok false when the file cannot
// be read or a line holds anything but arity numbers (then out holds the lines before).
inline std::vector<Arguments> read_hard_cases(const std::string& path, int arity, bool& ok) {
  std::vector<Arguments> out;
  ok = false;
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return out;
  char line[512];
  bool every_row = false;
  while (std::fgets(line, sizeof line, file)) {
    std::string text(line);
    if (text.rfind("##", 0) == 0) every_row = true;
    else if (text.rfind("#", 0) == 0) every_row = false;
    text = text.substr(0, text.find('#'));
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) continue;
    const char* p = text.c_str();
    double values[2] = {0.0, 0.0};
    for (int i = 0; i < arity; ++i) {
      char* end = nullptr;
      values[i] = std::strtod(p, &end);
      if (end == p) {
        std::fclose(file);
        return out;
      }
      p = end;
    }
    if (std::string(p).find_first_not_of(" \t\r\n") != std::string::npos) {
      std::fclose(file);
      return out;
    }
    out.push_back({values[0], values[1], every_row});
  }
  std::fclose(file);
  ok = true;
  return out;
}

}  // namespace reference
