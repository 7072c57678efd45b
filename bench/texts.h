// Benchmark texts: the fixed comparison set and the long generated expressions.
//
// Every text is ASCII, made narrow and widened here, so that no conversion runs
// inside a timed loop.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One expression as each side spells it (muparser writes "lg" as "log10").
struct ComparisonExpression {
  std::string name;
  std::wstring ours;
  std::string muparser;
};

// The five expressions measured against muparser, in report order.
const std::vector<ComparisonExpression>& comparison_set();

// The shapes of the scaling texts; each is a valid expression of exactly the asked length.
enum class LongShape { sum, product, nested, long_number };

struct LongShapeName {
  LongShape shape;
  const char* name;
};

// Every shape with its name in benchmark labels; the order is the report's.
extern const LongShapeName long_shapes[4];

// An expression of exactly length characters (length >= 16) in the given shape.
std::string long_expression(LongShape shape, std::size_t length);

// A sum of integers of exactly length characters: "1+22+333+..." cut to fit.
std::string long_sum(std::size_t length);

std::wstring widen(const std::string& text);
