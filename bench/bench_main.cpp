// The benchmark program: checks that both sides agree, then runs every benchmark.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>
#include <string>

#include "bench/bench.h"
#include "bench/texts.h"

namespace {

// Both sides must print the same text for every expression, or the timings
// would compare different work. Returns false on any disagreement.
bool results_agree() {
  bool all_agree = true;
  for (const ComparisonExpression& e : comparison_set()) {
    std::string theirs;
    try {
      theirs = muparser_text(e.muparser);
    } catch (...) {
      theirs = "(muparser refused the text)";
    }
    const std::string ours = ours_text(e.ours);
    const bool agree = ours == theirs;
    std::printf("check %-9s %5zu chars  ours %-16s muparser %-16s %s\n", e.name.c_str(),
                e.ours.size(), ours.c_str(), theirs.c_str(), agree ? "same" : "DIFFERENT");
    all_agree = all_agree && agree;
  }
  std::fflush(stdout);
  return all_agree;
}

}  // namespace

int main(int argc, char** argv) {
  if (!results_agree()) return 1;
  register_one_shot_benchmarks();
  register_scaling_benchmarks();
  register_key_benchmarks();
  register_crmath_benchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
