// Key commands: cost per key over long random sequences, and single keys on long texts.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "bench/texts.h"
#include "commands/events.h"
#include "commands/history.h"
#include "commands/keys.h"
#include "commands/state.h"
#include "commands/undo.h"

namespace {

constexpr int point_key = 1011;
constexpr int backspace_key = 1018;
constexpr int sign_key = 1019;
constexpr int digit_five_key = 1006;
constexpr int memory_add_key = 1045;

// Keys that replace the whole text ("=", "AC", "mr", "Rand") would keep it short,
// so the random sequences leave them out; "±" is a variant of its own, since
// it rewrites the whole text on every press.
bool grows_text(int id) { return id != 1016 && id != 1017 && id != 1047 && id != 1048; }

std::vector<int> random_keys(std::size_t count, bool with_sign) {
  std::vector<int> pool;
  for (int id = 1001; id <= 1048; ++id)
    if (grows_text(id) && (with_sign || id != sign_key)) pool.push_back(id);
  std::mt19937 generator(12345);  // fixed: every run presses the same keys
  std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
  std::vector<int> keys(count);
  for (int& id : keys) id = pool[pick(generator)];
  return keys;
}

void reset_state() {
  expression = L"0";
  memory = 0.0;
  second_mode = false;
  radian_mode = true;
  result_shown = false;
}

void set_per_key(benchmark::State& state, std::size_t keys_per_round) {
  state.counters["per_key"] = benchmark::Counter(
      static_cast<double>(keys_per_round),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// recorded: each key as the window runs it, one undo step each; else the command alone.
void random_sequence(benchmark::State& state, std::size_t count, bool with_sign, bool recorded) {
  const std::vector<int> keys = random_keys(count, with_sign);
  std::size_t final_length = 0;
  for (auto _ : state) {
    if (recorded) {
      reset_session();
      for (int id : keys) key_event(id);
    } else {
      reset_state();
      for (int id : keys) run_key_command(id);
    }
    final_length = expression.size();
    benchmark::DoNotOptimize(expression.data());
  }
  set_per_key(state, count);
  state.counters["final_chars"] = static_cast<double>(final_length);
  if (recorded) state.counters["log_bytes_per_key"] = static_cast<double>(undo_bytes()) / count;
}

// The long texts the single keys work on.
enum class LongText {
  sum_text,     // "1+22+...+12345": the current number is short
  digits_only,  // one number without ".": the current number is the whole text
};

std::wstring long_text(LongText kind, std::size_t length) {
  if (kind == LongText::sum_text) return widen(long_sum(length));
  std::wstring out;
  out.reserve(length);
  for (std::size_t k = 0; k < length; ++k) out += static_cast<wchar_t>(L'1' + k % 9);
  return out;
}

// Presses the pair of keys once per round on a long text; the pair leaves the
// text as it found it, so every round sees the same length.
void key_pair(benchmark::State& state, LongText kind, std::size_t length, int first, int second) {
  reset_state();
  expression = long_text(kind, length);
  const std::wstring before = expression;
  for (auto _ : state) {
    run_key_command(first);
    run_key_command(second);
    benchmark::DoNotOptimize(expression.data());
  }
  if (expression != before) state.SkipWithError("the key pair changed the text");
  set_per_key(state, 2);
  state.counters["chars"] = static_cast<double>(length);
}

// A key that leaves the text alone ("m+"), pressed on a long text.
void single_key(benchmark::State& state, LongText kind, std::size_t length, int id) {
  reset_state();
  expression = long_text(kind, length);
  for (auto _ : state) {
    run_key_command(id);
    benchmark::DoNotOptimize(memory);
  }
  set_per_key(state, 1);
  state.counters["chars"] = static_cast<double>(length);
}

// What one event adds to the undo log and the history, on a text of length characters;
// the clock runs over nothing worth timing, the counter is the figure.
void step_cost(benchmark::State& state, std::size_t length, int id) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    reset_session();
    expression = long_text(LongText::sum_text, length);
    const std::size_t before = undo_bytes() + history_bytes();
    key_event(id);
    bytes = undo_bytes() + history_bytes() - before;
    state.ResumeTiming();
  }
  state.counters["step_bytes"] = static_cast<double>(bytes);
  state.counters["chars"] = static_cast<double>(length);
}

constexpr std::size_t lengths[] = {1000, 10000, 100000, 1000000};

}  // namespace

void register_key_benchmarks() {
  for (std::size_t n : lengths) {
    const std::string size = std::to_string(n);
    benchmark::RegisterBenchmark(("keys/random/" + size).c_str(), random_sequence, n, false, false)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("keys/random_recorded/" + size).c_str(), random_sequence, n,
                                 false, true)
        ->Unit(benchmark::kMicrosecond);
    // "±" copies the whole text each time, so this variant stops at 10^5 keys.
    if (n <= 100000)
      benchmark::RegisterBenchmark(("keys/random_with_sign/" + size).c_str(), random_sequence, n,
                                   true, false)
          ->Unit(benchmark::kMicrosecond);
  }
  // The undo cost of a step on a million characters: a typed digit, "=", "AC", "±".
  const struct {
    const char* name;
    int id;
  } costed[] = {{"digit", 1006}, {"equals", 1016}, {"clear", 1017}, {"sign", 1019}};
  for (const auto& c : costed)
    benchmark::RegisterBenchmark((std::string("undo_cost/") + c.name + "/1000000").c_str(), step_cost,
                                 std::size_t{1000000}, c.id)
        ->Iterations(3);
  for (std::size_t n : lengths) {
    const std::string size = std::to_string(n);
    benchmark::RegisterBenchmark(("keys/digit_backspace/" + size).c_str(), key_pair,
                                 LongText::sum_text, n, digit_five_key, backspace_key);
    benchmark::RegisterBenchmark(("keys/point_backspace/" + size).c_str(), key_pair,
                                 LongText::sum_text, n, point_key, backspace_key);
    benchmark::RegisterBenchmark(("keys/point_backspace_one_number/" + size).c_str(), key_pair,
                                 LongText::digits_only, n, point_key, backspace_key);
    benchmark::RegisterBenchmark(("keys/sign_twice/" + size).c_str(), key_pair,
                                 LongText::sum_text, n, sign_key, sign_key);
    benchmark::RegisterBenchmark(("keys/memory_add/" + size).c_str(), single_key,
                                 LongText::sum_text, n, memory_add_key);
  }
}
