// "=" on long expressions, 10^3 to 10^6 characters, reported per character.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <time.h>

#include <string>
#include <vector>

#include "bench/bench.h"
#include "bench/texts.h"
#include "commands/evaluate.h"
#include "commands/events.h"
#include "commands/state.h"

namespace {

constexpr std::size_t scaling_lengths[] = {1000, 10000, 100000, 1000000};

struct ScalingCase {
  LongShape shape;
  std::size_t length;
};

// Minor page faults of the process so far: fresh memory that the kernel maps in.
long page_faults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// per_char is seconds per character (the console shows it with an SI prefix: "25n"
// is 25 ns); the report script turns it into ns.
void set_per_char(benchmark::State& state, std::size_t characters_per_iteration) {
  state.counters["per_char"] = benchmark::Counter(
      static_cast<double>(characters_per_iteration),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// CPU time of this thread: unlike the wall clock it does not count the time the
// machine gives to other processes, while page faults still count.
double thread_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// recorded: "=" as the window runs it, keeping the old text for undo and in the history.
void equals_long(benchmark::State& state, ScalingCase c, bool recorded) {
  const std::wstring text = widen(long_expression(c.shape, c.length));
  // The result must be a number, or the run would measure an early failure.
  expression = text;
  result_shown = false;
  evaluate_command();
  if (!expression.empty() && (expression[0] < L'0' || expression[0] > L'9')) {
    state.SkipWithError("the expression did not evaluate to a number");
    return;
  }
  // Only evaluate_command is timed. "=" replaces expression with its result, so
  // each round needs the text anew: a batch of copies is made before the clock
  // starts and swapped in one by one, and the clock is read once per batch (a
  // reading costs about a microsecond).
  const std::size_t batch = c.length >= 100000 ? 1 : 100000 / c.length;
  std::vector<std::wstring> copies(batch);
  const long faults_before = page_faults();
  std::size_t evaluations = 0;
  for (auto _ : state) {
    for (std::wstring& copy : copies) copy = text;
    if (recorded) reset_session();
    const double start = thread_seconds();
    for (std::wstring& copy : copies) {
      expression.swap(copy);
      result_shown = false;
      if (recorded) key_event(1016);
      else evaluate_command();
    }
    const double stop = thread_seconds();
    benchmark::DoNotOptimize(expression.data());
    state.SetIterationTime(stop - start);
    evaluations += batch;
  }
  // One iteration is one batch: per_char counts every character evaluated in it.
  set_per_char(state, c.length * batch);
  state.counters["chars"] = static_cast<double>(c.length);
  state.counters["batch"] = static_cast<double>(batch);
  // Includes the faults of the untimed copies: about one per 1024 characters.
  state.counters["faults"] = static_cast<double>(page_faults() - faults_before) /
                             static_cast<double>(evaluations ? evaluations : 1);
}

}  // namespace

void register_scaling_benchmarks() {
  for (const LongShapeName& s : long_shapes)
    for (std::size_t length : scaling_lengths)
      benchmark::RegisterBenchmark(
          ("scaling/" + std::string(s.name) + "/" + std::to_string(length)).c_str(), equals_long,
          ScalingCase{s.shape, length}, false)
          ->UseManualTime()
          ->Unit(benchmark::kMicrosecond);
  // "=" with its undo step and history entry, beside the bare command.
  for (const LongShapeName& s : long_shapes)
    benchmark::RegisterBenchmark(("scaling_recorded/" + std::string(s.name) + "/1000000").c_str(),
                                 equals_long, ScalingCase{s.shape, 1000000}, true)
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}
