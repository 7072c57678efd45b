// Fuzz target: every correctly rounded function against MPFR's binary64 result.
//
// Input: one byte choosing the function (modulo 17, in crmath.h's order), then the
// argument's 8 bytes and, for pow, the exponent's 8 (missing bytes are zero). A result
// whose bits differ from MPFR's (any NaN equals any NaN) is reported and aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/crmath/crmath.h"
#include "tests/engine/mpfr/reference.h"

namespace {

using Unary = double (*)(double);
// In the order of reference::functions; pow comes last and takes two arguments.
const Unary unary[] = {cr_sin,  cr_cos,   cr_tan,   cr_asin,  cr_acos, cr_atan,  cr_sinh, cr_cosh,
                       cr_tanh, cr_asinh, cr_acosh, cr_atanh, cr_cbrt, cr_log10, cr_log,  cr_exp};
constexpr std::size_t count = sizeof reference::functions / sizeof reference::functions[0];
static_assert(sizeof unary / sizeof unary[0] + 1 == count, "one entry per function but pow");

double take(const std::uint8_t*& data, std::size_t& size) {
  std::uint8_t bytes[8] = {};
  const std::size_t n = size < 8 ? size : 8;
  std::memcpy(bytes, data, n);
  data += n;
  size -= n;
  double x;
  std::memcpy(&x, bytes, sizeof x);
  return x;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t which = data[0] % count;
  ++data;
  --size;
  const reference::Function& f = reference::functions[which];
  const double x = take(data, size);
  const double y = f.unary ? 0.0 : take(data, size);
  reference::use_binary64_range();
  const double got = f.unary ? unary[which](x) : cr_pow(x, y);
  const double expected = reference::correctly_rounded(f, x, y);
  if (!reference::same_result(got, expected)) {
    std::fprintf(stderr, "broken rule: cr_%s(%a, %a) gave %a, MPFR %a\n", f.name, x, y, got, expected);
    std::abort();
  }
  return 0;
}
