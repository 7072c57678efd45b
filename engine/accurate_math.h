// sin, cos, tan and pow computed by this program, the same bits on every runtime.
//
// The MinGW-w64 math library reduces trigonometric arguments with a 66-bit pi
// (sin of 3.141592653589793 comes out as 1.2246063e-16 instead of 1.2246468e-16,
// and sin of 1e22 has the wrong sign), and its pow loses digits for large
// exponents (1.0000001^1e9 is wrong in the 8th digit). These replacements reduce
// arguments exactly and carry double-double precision, so the results are within
// one unit in the last place and identical on glibc and on Windows.
#pragma once

// Sine, cosine and tangent of x radians; NaN for infinite or NaN x.
double accurate_sin(double x);
double accurate_cos(double x);
double accurate_tan(double x);

// x raised to y with the IEEE 754 special cases of pow (y = 0 gives 1 for every x,
// a negative x with a non-integral y gives NaN, overflow gives an infinity).
double accurate_pow(double x, double y);
