// One-shot evaluation and the "=" command, side by side with muparser on the same texts.
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cstdio>
#include <string>

#include "bench/bench.h"
#include "bench/texts.h"
#include "commands/evaluate.h"
#include "commands/state.h"
#include "engine/evaluator.h"
#include "engine/format.h"
#include "engine/postfix.h"
#include "engine/tokenizer.h"

namespace {

// Our pipeline once: tokenize, convert, evaluate, format; the text is already wide.
std::wstring evaluate_once(const std::wstring& text) {
  bool ok = true;
  const TokenList postfix = to_postfix(tokenize(text), ok);
  const double value = ok ? evaluate_postfix(postfix, ok) : 0.0;
  return ok ? format_result(value) : std::wstring(error_word);
}

void ours_one_shot(benchmark::State& state, const ComparisonExpression* e) {
  for (auto _ : state) {
    std::wstring text = evaluate_once(e->ours);
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["chars"] = static_cast<double>(e->ours.size());
}

// muparser's best case: one parser object made once outside the loop (its
// constructor defines every function and operator), then SetExpr + Eval + "%.12g".
void muparser_one_shot(benchmark::State& state, const ComparisonExpression* e) {
  mu::Parser parser;
  char out[40];
  for (auto _ : state) {
    parser.SetExpr(e->muparser);
    const double value = parser.Eval();
    std::snprintf(out, sizeof out, "%.12g", value);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
  state.counters["chars"] = static_cast<double>(e->muparser.size());
}

// The whole "=" on the state. Each round types the text back into expression
// (evaluate_command replaced it with the result); that copy is timed with it.
void ours_equals(benchmark::State& state, const ComparisonExpression* e) {
  for (auto _ : state) {
    expression.assign(e->ours);
    result_shown = false;
    evaluate_command();
    benchmark::DoNotOptimize(expression.data());
  }
  state.counters["chars"] = static_cast<double>(e->ours.size());
}

}  // namespace

std::string muparser_text(const std::string& muparser_expression) {
  mu::Parser parser;
  parser.SetExpr(muparser_expression);
  char out[40];
  std::snprintf(out, sizeof out, "%.12g", parser.Eval());
  return out;
}

std::string ours_text(const std::wstring& expression_text) {
  const std::wstring wide = evaluate_once(expression_text);
  return std::string(wide.begin(), wide.end());  // number texts are ASCII
}

void register_one_shot_benchmarks() {
  for (const ComparisonExpression& e : comparison_set()) {
    benchmark::RegisterBenchmark(("oneshot/ours/" + e.name).c_str(), ours_one_shot, &e);
    benchmark::RegisterBenchmark(("oneshot/muparser/" + e.name).c_str(), muparser_one_shot, &e);
    benchmark::RegisterBenchmark(("equals/ours/" + e.name).c_str(), ours_equals, &e);
  }
}
