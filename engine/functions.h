// The eighteen one-argument functions and the angle mode of the trigonometric ones.
#pragma once

#include "engine/token.h"

// True exactly for the eighteen function names, compared whole and case-sensitively.
bool is_function_name(const Token& name);

// Returns name(x) and ok true; ok false and 0.0 for "sqrt" below 0, for "lg" and
// "ln" at or below 0, and for a name that is not a function. NaN and infinite
// results are returned with ok true. Reads radian_mode for the trigonometric six.
double apply_function(const Token& name, double x, bool& ok);
