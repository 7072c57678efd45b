// rivovuz_random_session: writes a long random input for rivovuz-cli to standard output.
//
//   rivovuz_random_session keys COUNT SEED   COUNT event lines (k ID, c CODE)
//   rivovuz_random_session eval COUNT SEED   COUNT expression lines
//   rivovuz_random_session bad COUNT SEED    COUNT lines, good and bad mixed
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/reliability/random_session.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: rivovuz_random_session keys|eval|bad COUNT SEED\n", stderr);
    return 2;
  }
  const std::string mode = argv[1];
  const int count = std::atoi(argv[2]);
  const std::uint64_t seed = std::strtoull(argv[3], nullptr, 10);
  std::vector<std::string> lines;
  if (mode == "keys") {
    for (const SessionEvent& event : random_session(count, seed, false)) lines.push_back(cli_line(event));
  } else if (mode == "eval") {
    lines = random_expressions(count, seed);
  } else if (mode == "bad") {
    lines = random_bad_lines(count, seed);
  } else {
    std::fputs("rivovuz_random_session: the mode is keys, eval or bad\n", stderr);
    return 2;
  }
  for (const std::string& line : lines) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
  return 0;
}
