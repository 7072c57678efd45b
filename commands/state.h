// Calculator state: the program-wide variables that every command edits in place.
//
// Nothing here is saved or restored; every run starts from the initial values.
// radian_mode belongs here too but is declared with the engine, which reads it.
#pragma once

#include <string>

#include "engine/angle_mode.h"

extern std::wstring expression; // the text on the display; "0" at start
extern double memory;           // the memory register; 0 at start
extern bool second_mode;        // "2nd" is on; false at start
extern bool result_shown;       // the display holds the outcome of "="; false at start
