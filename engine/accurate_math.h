// sin, cos and tan computed by this program, the same bits on every runtime.
//
// The MinGW-w64 math library reduces trigonometric arguments with a 66-bit pi
// (sin of 3.141592653589793 comes out as 1.2246063e-16 instead of 1.2246468e-16,
// and sin of 1e22 has the wrong sign). These replacements reduce
// arguments exactly and carry double-double precision, so the results are within
// one unit in the last place and identical on glibc and on Windows.
#pragma once

// Sine, cosine and tangent of x radians; NaN for infinite or NaN x.
double accurate_sin(double x);
double accurate_cos(double x);
double accurate_tan(double x);
