// Benchmark texts: deterministic generators, so that every run measures the same input.
#include "bench/texts.h"

namespace {

// Pads out with a final operand of digits so that it ends at exactly length.
void finish_with_digits(std::string& out, std::size_t length) {
  for (unsigned d = 1; out.size() < length; ++d) out += static_cast<char>('0' + d % 10);
}

// The 72-character constant expression, nested three deep.
const char* const nested_constant =
    "(((1.5+2.25)*(3.75-0.5))/((4.5+1.25)*(2.5-1)))-((6.5*(0.75+2))/(8-3.25))";

std::string product_text(std::size_t length) {
  // 1.000001 and 0.999999 alternate so the product stays near 1 at any length.
  std::string out;
  out.reserve(length);
  for (unsigned k = 0; out.size() + 9 + 2 <= length; ++k) {
    out += k % 2 == 0 ? "1.000001" : "0.999999";
    out += '*';
  }
  out += '1';
  finish_with_digits(out, length);  // "1234..." a last factor of a few digits
  return out;
}

std::string nested_text(std::size_t length) {
  // "(1+(1+(1+ ... 1)))": every level leaves "(" and "+" on the operator stack.
  const std::size_t levels = (length - 1) / 4;
  std::string out;
  out.reserve(length);
  for (std::size_t k = 0; k < levels; ++k) out += "(1+";
  out += '1';
  out.append(levels, ')');
  // The rest, fewer than four characters, goes into the innermost operand.
  const std::size_t missing = length - out.size();
  out.insert(levels * 3 + 1, missing, '0');
  return out;
}

std::string long_number_text(std::size_t length) {
  // One number token: "1." and then digits, read to the nearest double.
  std::string out = "1.";
  out.reserve(length);
  for (unsigned d = 0; out.size() < length; ++d) out += static_cast<char>('0' + d % 10);
  return out;
}

}  // namespace

const LongShapeName long_shapes[4] = {
    {LongShape::sum, "sum"},
    {LongShape::product, "product"},
    {LongShape::nested, "nested"},
    {LongShape::long_number, "long_number"},
};

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string long_sum(std::size_t length) {
  // The terms repeat with a short period, so every length has the same mix of
  // one- to six-digit numbers and the cost per character can be compared.
  static const char* const terms[] = {"7", "42", "318", "2718", "31415", "141421", "9", "65"};
  std::string out;
  out.reserve(length);
  for (unsigned k = 0;; ++k) {
    const char* term = terms[k % 8];
    if (out.size() + std::char_traits<char>::length(term) + 1 + 5 > length) break;
    out += term;
    out += '+';
  }
  out += '1';
  finish_with_digits(out, length);
  return out;
}

std::string long_expression(LongShape shape, std::size_t length) {
  switch (shape) {
    case LongShape::sum: return long_sum(length);
    case LongShape::product: return product_text(length);
    case LongShape::nested: return nested_text(length);
    case LongShape::long_number: return long_number_text(length);
  }
  return {};
}

const std::vector<ComparisonExpression>& comparison_set() {
  static const std::vector<ComparisonExpression> set = [] {
    struct Row {
      const char* name;
      std::string ours;
      std::string muparser;
    };
    // muparser refuses texts of 20000 characters or more, so the long sum is one short.
    const std::string sum = long_sum(19999);
    const Row rows[] = {
        {"simple", "2+3*4", "2+3*4"},
        {"sqrt", "sqrt(5^2+7^2+11^2+(8-2)^2)", "sqrt(5^2+7^2+11^2+(8-2)^2)"},
        {"trig_log", "sin(0.5)*cos(0.25)+ln(10)/lg(2)", "sin(0.5)*cos(0.25)+ln(10)/log10(2)"},
        {"nested72", nested_constant, nested_constant},
        {"sum20k", sum, sum},
    };
    std::vector<ComparisonExpression> out;
    for (const Row& row : rows) out.push_back({row.name, widen(row.ours), row.muparser});
    return out;
  }();
  return set;
}
