// The function library: one table of the eighteen names, their math and their checks.
#include "engine/functions.h"

#include <cmath>
#include <string_view>

#include "engine/angle_mode.h"
#include "engine/crmath/crmath.h"

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

// Near 1, log(x + sqrt(x*x - 1)) cancels: MinGW's acosh loses up to seven units
// there (visible in the 12th digit). With t = x - 1, exact for x below 2, the
// log1p form keeps every digit; it is also what glibc computes.
double inverse_cosh(double x) {
  if (x >= 1 && x < 2) {
    const double t = x - 1;
    return std::log1p(t + std::sqrt(2 * t + t * t));
  }
  return std::acosh(x);
}

// The order has no effect beyond the search: names are compared whole. sin, cos
// and tan are this program's own, correctly rounded (see engine/crmath/crmath.h),
// acosh mends its range near 1; the rest are the C library's.
const FunctionRow function_table[] = {
    {L"sin", cr_sin, AngleUse::argument, Domain::any},
    {L"cos", cr_cos, AngleUse::argument, Domain::any},
    {L"tan", cr_tan, AngleUse::argument, Domain::any},
    {L"asin", [](double x) { return std::asin(x); }, AngleUse::result, Domain::any},
    {L"acos", [](double x) { return std::acos(x); }, AngleUse::result, Domain::any},
    {L"atan", [](double x) { return std::atan(x); }, AngleUse::result, Domain::any},
    {L"sinh", [](double x) { return std::sinh(x); }, AngleUse::none, Domain::any},
    {L"cosh", [](double x) { return std::cosh(x); }, AngleUse::none, Domain::any},
    {L"tanh", [](double x) { return std::tanh(x); }, AngleUse::none, Domain::any},
    {L"asinh", [](double x) { return std::asinh(x); }, AngleUse::none, Domain::any},
    {L"acosh", inverse_cosh, AngleUse::none, Domain::any},
    {L"atanh", [](double x) { return std::atanh(x); }, AngleUse::none, Domain::any},
    {L"sqrt", [](double x) { return std::sqrt(x); }, AngleUse::none, Domain::not_negative},
    {L"cbrt", [](double x) { return std::cbrt(x); }, AngleUse::none, Domain::any},
    {L"lg", [](double x) { return std::log10(x); }, AngleUse::none, Domain::positive},
    {L"ln", [](double x) { return std::log(x); }, AngleUse::none, Domain::positive},
    {L"exp", [](double x) { return std::exp(x); }, AngleUse::none, Domain::any},
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
