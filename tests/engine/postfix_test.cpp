// Conversion cases: operator order, unary minus, constants, functions and failures.
#include <gtest/gtest.h>

#include "helpers.h"

namespace {

struct PostfixCase {
  const wchar_t* text;
  const wchar_t* postfix;  // expected output joined by spaces
};

const PostfixCase order_cases[] = {
    {L"1+2*3", L"1 2 3 * +"},
    {L"(1+2)*3", L"1 2 + 3 *"},
    {L"2^3^2", L"2 3 2 ^ ^"},
    {L"8/4/2", L"8 4 / 2 /"},
    {L"7-3-1", L"7 3 - 1 -"},
    {L"7%3*2", L"7 3 % 2 *"},
    {L"2^3!", L"2 3 ! ^"},
    {L"3!^2", L"3 ! 2 ^"},
    {L"3!!", L"3 ! !"},
    {L"5!-3", L"5 ! 3 -"},
    {L"2*3^2", L"2 3 2 ^ *"},
};

const PostfixCase unary_cases[] = {
    {L"-2^2", L"2 u- 2 ^"},
    {L"-3!", L"3 u- !"},
    {L"2^-2", L"2 2 u- ^"},
    {L"2*-3", L"2 3 u- *"},
    {L"2--3", L"2 3 u- -"},
    {L"--3", L"3 u- u-"},
    {L"(-3)", L"3 u-"},
    {L"2%-3", L"2 3 u- %"},
    {L"sin-30", L"30 - sin"},  // after a name, "-" is subtraction
    {L"5!-1", L"5 ! 1 -"},
    {L"(1)-1", L"1 1 -"},
};

const PostfixCase constant_and_function_cases[] = {
    {L"pi", L"3.14159265358979323846"},
    {L"2*e", L"2 2.71828182845904523536 *"},
    {L"2pi", L"2 3.14159265358979323846"},
    {L"sqrt(16)", L"16 sqrt"},
    {L"sin(cos(0))", L"0 cos sin"},
    {L"2^(1/3)", L"2 1 3 / ^"},
    {L"sin(30)+1", L"30 sin 1 +"},
    {L"sin30+1", L"30 1 + sin"},
    {L"1.2.3", L"1.2.3"},
    {L"+3", L"3 +"},
    {L"1+", L"1 +"},
    {L"2(3)", L"2 3"},
    {L"abs(-2)", L"2 u- abs"},
};

// Texts that the conversion must reject.
const wchar_t* const failing_texts[] = {
    L"1)", L")", L"(1", L"((1)", L"foo(2)", L"PI", L"Pi", L"E", L"log(2)", L"Sin(1)",
    L"2\u00D73", L"6\u00F72", L"1,2", L"1=1", L"\u9519\u8BEF", L"\u65E0\u7A77\u5927", L"x", L")(",
    L"2#", L"1+2)",
};

void check(const PostfixCase& c) {
  bool ok = false;
  const TokenList postfix = to_postfix(tokenize(c.text), ok);
  EXPECT_TRUE(ok) << testing::PrintToString(std::wstring(c.text));
  EXPECT_EQ(join(postfix), c.postfix) << testing::PrintToString(std::wstring(c.text));
}

TEST(Postfix, OperatorOrder) {
  for (const PostfixCase& c : order_cases) check(c);
}

TEST(Postfix, UnaryMinus) {
  for (const PostfixCase& c : unary_cases) check(c);
}

TEST(Postfix, ConstantsAndFunctions) {
  for (const PostfixCase& c : constant_and_function_cases) check(c);
}

TEST(Postfix, FailuresGiveEmptyOutput) {
  for (const wchar_t* text : failing_texts) {
    bool ok = true;
    EXPECT_TRUE(to_postfix(tokenize(text), ok).empty()) << testing::PrintToString(std::wstring(text));
    EXPECT_FALSE(ok) << testing::PrintToString(std::wstring(text));
  }
}

TEST(Postfix, EmptyInputSucceeds) {
  bool ok = false;
  EXPECT_TRUE(to_postfix({}, ok).empty());
  EXPECT_TRUE(ok);
}

TEST(Postfix, PrecedenceTable) {
  const struct {
    const wchar_t* text;
    int level;
  } rows[] = {{L"+", 1}, {L"-", 1}, {L"*", 2}, {L"/", 2}, {L"%", 2}, {L"^", 3}, {L"!", 4},
              {L"u-", 5}, {L"(", 0}, {L")", 0}, {L"sin", 0}, {L"12", 0}, {L"", 0}, {L"++", 0}};
  for (const auto& row : rows) EXPECT_EQ(precedence(row.text), row.level) << testing::PrintToString(std::wstring(row.text));
}

// The function list is exactly these eighteen names, whole and case-sensitive.
TEST(Postfix, FunctionNames) {
  const wchar_t* const names[] = {L"sin",  L"cos",   L"tan",   L"asin",  L"acos", L"atan",
                                  L"sinh", L"cosh",  L"tanh",  L"asinh", L"acosh", L"atanh",
                                  L"sqrt", L"cbrt",  L"lg",    L"ln",    L"exp",  L"abs"};
  for (const wchar_t* name : names) EXPECT_TRUE(is_function_name(name));
  const wchar_t* const not_names[] = {L"log", L"Sin", L"SIN", L"sinx", L"sqr", L"", L"pi", L"e", L"u-", L"ab"};
  for (const wchar_t* name : not_names) EXPECT_FALSE(is_function_name(name));
}

// Deep nesting and long chains go through the explicit stacks, not the call stack.
TEST(Postfix, DeepNestingUsesNoRecursion) {
  const size_t depth = 100000;
  std::wstring text(depth, L'(');
  text += L"7";
  text += std::wstring(depth, L')');
  bool ok = false;
  const TokenList postfix = to_postfix(tokenize(text), ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(join(postfix), L"7");

  std::wstring functions;
  for (size_t i = 0; i < depth; ++i) functions += L"abs(";
  functions += L"-2";
  functions += std::wstring(depth, L')');
  EXPECT_EQ(evaluate_text(functions, ok), 2.0);
  EXPECT_TRUE(ok);
}

}  // namespace
