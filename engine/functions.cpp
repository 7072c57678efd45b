// The function library: one table of the eighteen names, their math and their checks.
#include "engine/functions.h"

#include <cmath>
#include <string_view>

#include "engine/angle_mode.h"
#include "engine/crmath/crmath.h"
#include "engine/crmath/wide.h"

namespace {

enum class AngleUse { none, argument, result };  // which side degrees convert
enum class Domain { any, not_negative, positive }; // the only checks that fail

struct FunctionRow {
  std::wstring_view name;
  double (*compute)(double);
  AngleUse angle;
  Domain domain;
};

double abs_value(double x) { return std::copysign(x, 1.0); }  // clears the sign bit, NaN included

// The order has no effect beyond the search: names are compared whole. Each function
// is the correctly rounded one of engine/crmath, the same bits on every runtime;
// sqrt is the instruction (exact, and the engine is built without errno) and abs
// clears the sign bit.
const FunctionRow function_table[] = {
    {L"sin", cr_sin, AngleUse::argument, Domain::any},
    {L"cos", cr_cos, AngleUse::argument, Domain::any},
    {L"tan", cr_tan, AngleUse::argument, Domain::any},
    {L"asin", cr_asin, AngleUse::result, Domain::any},
    {L"acos", cr_acos, AngleUse::result, Domain::any},
    {L"atan", cr_atan, AngleUse::result, Domain::any},
    {L"sinh", cr_sinh, AngleUse::none, Domain::any},
    {L"cosh", cr_cosh, AngleUse::none, Domain::any},
    {L"tanh", cr_tanh, AngleUse::none, Domain::any},
    {L"asinh", cr_asinh, AngleUse::none, Domain::any},
    {L"acosh", cr_acosh, AngleUse::none, Domain::any},
    {L"atanh", cr_atanh, AngleUse::none, Domain::any},
    {L"sqrt", wide::square_root, AngleUse::none, Domain::not_negative},
    {L"cbrt", cr_cbrt, AngleUse::none, Domain::any},
    {L"lg", cr_log10, AngleUse::none, Domain::positive},
    {L"ln", cr_log, AngleUse::none, Domain::positive},
    {L"exp", cr_exp, AngleUse::none, Domain::any},
    {L"abs", abs_value, AngleUse::none, Domain::any},
};

// The double nearest to pi; degrees convert as (x * pi) / 180 and (r * 180) / pi,
// multiplying first, each step rounded.
constexpr double pi_value = 3.141592653589793;

const FunctionRow* find_function(const Token& name) {
  // Length and first letter first: most tokens (numbers, operators) fail there.
  for (const FunctionRow& row : function_table)
    if (row.name.size() == name.size() && row.name[0] == name[0] && row.name == name) return &row;
  return nullptr;
}

}  // namespace

bool is_function_name(const Token& name) { return find_function(name) != nullptr; }

double apply_function(const Token& name, double x, bool& ok) {
  const FunctionRow* row = find_function(name);
  ok = false;
  if (row == nullptr) return 0.0;
  // Plain comparisons: a NaN argument passes every check.
  if (row->domain == Domain::not_negative && x < 0) return 0.0;
  if (row->domain == Domain::positive && x <= 0) return 0.0;
  const bool degrees = !radian_mode;
  if (degrees && row->angle == AngleUse::argument) x = x * pi_value / 180.0;
  double r = row->compute(x);
  if (degrees && row->angle == AngleUse::result) r = r * 180.0 / pi_value;
  ok = true;
  return r;
}
