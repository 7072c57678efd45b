// Tokenizer cases: numbers with points and exponents, names, single characters.
#include <gtest/gtest.h>

#include "helpers.h"

namespace {

struct TokenCase {
  const wchar_t* text;
  const wchar_t* tokens;  // expected tokens joined by spaces
};

const TokenCase number_cases[] = {
    {L"12.5+3", L"12.5 + 3"},
    {L".5*2", L".5 * 2"},
    {L"5.", L"5."},
    {L".", L"."},
    {L"1.2.3", L"1.2.3"},
    {L"2e5", L"2e5"},
    {L"2E-3", L"2E-3"},
    {L"1.5e+10", L"1.5e+10"},
    {L"2e5.5", L"2e5 .5"},
    {L"2e", L"2e"},
    {L"2e+", L"2e+"},
    {L"2e-x", L"2e- x"},
    {L"2exp(1)", L"2e xp ( 1 )"},
    {L"1e5e5", L"1e5 e 5"},
    {L"3.e2", L"3.e2"},
    {L"..", L".."},
    {L"0e", L"0e"},
};

const TokenCase name_cases[] = {
    {L"2pi", L"2 pi"},
    {L"pi2", L"pi 2"},
    {L"sin(30)", L"sin ( 30 )"},
    {L"asinh(1)", L"asinh ( 1 )"},
    {L"log10", L"log 10"},
    {L"sinpi", L"sinpi"},
    {L"Sin", L"Sin"},
    {L"e", L"e"},
    {L"E5", L"E 5"},
};

const TokenCase character_cases[] = {
    {L"-3", L"- 3"},
    {L"2--3", L"2 - - 3"},
    {L"3 4", L"3 4"},
    {L"5!", L"5 !"},
    {L"2^(1/3)", L"2 ^ ( 1 / 3 )"},
    {L"**", L"* *"},
    {L")(", L") ("},
    {L"2\u00D73", L"2 \u00D7 3"},  // "×" is a token of its own
    {L"1,2", L"1 , 2"},
    {L"=", L"="},
    {L"\t1\n+\r2\v", L"1 + 2"},
};

void check(const TokenCase& c) {
  EXPECT_EQ(join(tokenize(c.text)), c.tokens) << "text: " << testing::PrintToString(std::wstring(c.text));
}

TEST(Tokenizer, Numbers) {
  for (const TokenCase& c : number_cases) check(c);
}

TEST(Tokenizer, Names) {
  for (const TokenCase& c : name_cases) check(c);
}

TEST(Tokenizer, SingleCharacters) {
  for (const TokenCase& c : character_cases) check(c);
}

TEST(Tokenizer, BlankTextGivesNoTokens) {
  EXPECT_TRUE(tokenize(L"").empty());
  EXPECT_TRUE(tokenize(L"  ").empty());
  EXPECT_TRUE(tokenize(L" \t\r\n").empty());
}

// Outside ASCII nothing is a letter, digit or space on either runtime: each such
// character is a token of its own, and the conversion rejects it.
TEST(Tokenizer, NonAsciiCharactersAreSingleTokens) {
  const std::wstring error = L"\u9519\u8BEF";  // "错误"
  EXPECT_EQ(tokenize(error), (TokenList{L"\u9519", L"\u8BEF"}));
  EXPECT_EQ(tokenize(L"\u00B2"), TokenList{L"\u00B2"});           // superscript two
  EXPECT_EQ(tokenize(L"\u0661"), TokenList{L"\u0661"});           // Arabic-Indic one
  EXPECT_EQ(tokenize(L"\u00E9t\u00E9"), (TokenList{L"\u00E9", L"t", L"\u00E9"}));
  EXPECT_EQ(tokenize(L"1\u30002"), (TokenList{L"1", L"\u3000", L"2"}));  // ideographic space
  EXPECT_EQ(tokenize(L"1\u00A02"), (TokenList{L"1", L"\u00A0", L"2"}));  // no-break space
}

TEST(Tokenizer, EveryCharacterLandsInOneToken) {
  const std::wstring text = L"sin(2.5e-3)*-4!%lg(1.2.3)^pi\u00F7x  +  e";
  size_t total = 0;
  for (const Token& t : tokenize(text)) total += t.size();
  size_t non_blank = 0;
  for (wchar_t c : text) non_blank += c != L' ';
  EXPECT_EQ(total, non_blank);
}

}  // namespace
