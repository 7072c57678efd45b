// The benchmark registrations, one function per file, called from bench_main.cpp.
#pragma once

#include <string>

void register_one_shot_benchmarks();
void register_scaling_benchmarks();
void register_key_benchmarks();
void register_crmath_benchmarks();

// The formatted results of both sides, for the agreement check before timing;
// muparser_text throws muparser's exception on a text it rejects.
std::string ours_text(const std::wstring& expression_text);
std::string muparser_text(const std::string& muparser_expression);
