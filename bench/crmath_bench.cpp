// The correctly rounded functions against glibc's, on the same random arguments.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/multi.h"

namespace {

// Arguments of each function's main domain: where users' values lie, and where the
// fast path (not the special cases) runs.
enum class Spread { uniform, log_uniform, log_uniform_signed, above_one };

struct FunctionCase {
  const char* name;
  double (*ours)(double);
  double (*glibc)(double);
  double (*accurate)(double);
  Spread spread;
  double low, high;  // the bounds, or of the decimal exponent for the log spreads
  double extreme;     // a hard place for the accurate path, timed with the sample
};

const FunctionCase function_cases[] = {
    {"sin", cr_sin, [](double x) { return std::sin(x); }, mp_sin, Spread::uniform, -10, 10, 0x1.fffffffffffffp+1023},
    {"cos", cr_cos, [](double x) { return std::cos(x); }, mp_cos, Spread::uniform, -10, 10, 0x1.fffffffffffffp+1023},
    {"tan", cr_tan, [](double x) { return std::tan(x); }, mp_tan, Spread::uniform, -10, 10, 0x1.fffffffffffffp+1023},
    {"asin", cr_asin, [](double x) { return std::asin(x); }, mp_asin, Spread::uniform, -1, 1, 0x1.fffffffffffffp-1},
    {"acos", cr_acos, [](double x) { return std::acos(x); }, mp_acos, Spread::uniform, -1, 1, -0x1.fffffffffffffp-1},
    {"atan", cr_atan, [](double x) { return std::atan(x); }, mp_atan, Spread::log_uniform_signed, -3, 3, 0x1p-1000},
    {"sinh", cr_sinh, [](double x) { return std::sinh(x); }, mp_sinh, Spread::uniform, -20, 20, 710.4},
    {"cosh", cr_cosh, [](double x) { return std::cosh(x); }, mp_cosh, Spread::uniform, -20, 20, -710.4},
    {"tanh", cr_tanh, [](double x) { return std::tanh(x); }, mp_tanh, Spread::uniform, -10, 10, 19.1},
    {"asinh", cr_asinh, [](double x) { return std::asinh(x); }, mp_asinh, Spread::log_uniform_signed, -3, 6, 0x1p+1000},
    {"acosh", cr_acosh, [](double x) { return std::acosh(x); }, mp_acosh, Spread::above_one, -3, 6, 0x1.0000000000001p+0},
    {"atanh", cr_atanh, [](double x) { return std::atanh(x); }, mp_atanh, Spread::uniform, -1, 1, -0x1.fffffffffffffp-1},
    {"cbrt", cr_cbrt, [](double x) { return std::cbrt(x); }, mp_cbrt, Spread::log_uniform_signed, -10, 10, 0x1p-1060},
    {"lg", cr_log10, [](double x) { return std::log10(x); }, mp_log10, Spread::log_uniform, -10, 10, 0x1p-1070},
    {"ln", cr_log, [](double x) { return std::log(x); }, mp_log, Spread::log_uniform, -10, 10, 0x1.0000000000001p+0},
    {"exp", cr_exp, [](double x) { return std::exp(x); }, mp_exp, Spread::uniform, -700, 700, -745.1},
};

// A power of two, so that the index wraps with a mask; large enough that the branch
// predictor cannot learn the arguments, and that the accurate path, which runs on about
// 10^-4 of random arguments and takes some 20 us, comes in at about its true rate: with
// 1,024 arguments a single call of it (asin's set held one) added 20 ns to every call.
// Read in order, so the prefetcher keeps the 512 KB ahead of the calls.
constexpr std::size_t argument_count = 1 << 16;

std::vector<double> arguments(const FunctionCase& f) {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> xs(argument_count);
  for (double& x : xs) {
    const double u = f.low + (f.high - f.low) * unit(random);
    switch (f.spread) {
      case Spread::uniform: x = u; break;
      case Spread::log_uniform: x = std::pow(10.0, u); break;
      case Spread::log_uniform_signed: x = (random() & 1 ? -1 : 1) * std::pow(10.0, u); break;
      case Spread::above_one: x = 1 + std::pow(10.0, u); break;
    }
  }
  return xs;
}

// pow: bases from 1e-3 to 1e3, exponents from -20 to 20 (results of about 1e-60 to
// 1e60), both on every call.
std::vector<double> pow_arguments() {
  std::mt19937_64 random(20261208);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> xys(2 * argument_count);
  for (std::size_t i = 0; i < argument_count; ++i) {
    xys[2 * i] = std::pow(10.0, -3 + 6 * unit(random));
    xys[2 * i + 1] = -20 + 40 * unit(random);
  }
  return xys;
}

// One call per iteration, on the next argument: the time per call, arguments and
// results passing through memory as in the evaluator.
void one_argument(benchmark::State& state, double (*f)(double), const std::vector<double>* xs) {
  std::size_t i = 0;
  for (auto _ : state) {
    double y = f((*xs)[i]);
    benchmark::DoNotOptimize(y);
    i = (i + 1) & (argument_count - 1);
  }
}

void two_arguments(benchmark::State& state, double (*f)(double, double), const std::vector<double>* xys) {
  std::size_t i = 0;
  for (auto _ : state) {
    double z = f((*xys)[2 * i], (*xys)[2 * i + 1]);
    benchmark::DoNotOptimize(z);
    i = (i + 1) & (argument_count - 1);
  }
}

// The accurate path's slowest call among the first arguments and the function's
// extreme one (the last): each argument timed by itself (the fastest of a few tries,
// against interruptions), the slowest reported as the counter "slowest_us".
constexpr std::size_t accurate_sample = 65;

template <typename Call>
void slowest(benchmark::State& state, Call call) {
  double slowest_ns = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < accurate_sample; ++i) {
      double best = 1e300;
      for (int attempt = 0; attempt < 3; ++attempt) {
        const auto start = std::chrono::steady_clock::now();
        double y = call(i);
        benchmark::DoNotOptimize(y);
        const auto end = std::chrono::steady_clock::now();
        const double ns = std::chrono::duration<double, std::nano>(end - start).count();
        if (ns < best) best = ns;
      }
      if (best > slowest_ns) slowest_ns = best;
    }
  }
  state.counters["slowest_us"] = slowest_ns / 1000;
}

double glibc_pow(double x, double y) { return std::pow(x, y); }

}  // namespace

void register_crmath_benchmarks() {
  // Made once and kept for the program's run: the benchmarks hold pointers to them.
  static std::vector<std::vector<double>> argument_sets;
  argument_sets.reserve(2 * std::size(function_cases) + 1);
  for (const FunctionCase& f : function_cases) {
    std::vector<double> sample = arguments(f);
    sample[accurate_sample - 1] = f.extreme;  // timed by the accurate run only
    const std::vector<double>* xs = &argument_sets.emplace_back(arguments(f));
    const std::vector<double>* hard = &argument_sets.emplace_back(sample);
    const std::string name = f.name;
    benchmark::RegisterBenchmark(("crmath/ours/" + name).c_str(), one_argument, f.ours, xs);
    benchmark::RegisterBenchmark(("crmath/glibc/" + name).c_str(), one_argument, f.glibc, xs);
    double (*accurate)(double) = f.accurate;
    benchmark::RegisterBenchmark(("crmath/accurate/" + name).c_str(), [accurate, hard](benchmark::State& s) {
      slowest(s, [accurate, hard](std::size_t i) { return accurate((*hard)[i]); });
    })->Iterations(2);  // each is 65 arguments times 3 tries: enough for the slowest
  }
  const std::vector<double>* xys = &argument_sets.emplace_back(pow_arguments());
  // pow's extreme: a base near 1 to a huge power, the result near overflow.
  benchmark::RegisterBenchmark("crmath/ours/pow", two_arguments, cr_pow, xys);
  benchmark::RegisterBenchmark("crmath/glibc/pow", two_arguments, glibc_pow, xys);
  benchmark::RegisterBenchmark("crmath/accurate/pow", [xys](benchmark::State& s) {
    slowest(s, [xys](std::size_t i) {
      return i + 1 < accurate_sample ? mp_pow((*xys)[2 * i], (*xys)[2 * i + 1]) : mp_pow(0x1.0000000000001p+0, 0x1.62e42fefa39efp+61);
    });
  })->Iterations(2);
}
