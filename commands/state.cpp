// Calculator state: the program-wide variables with their start values.
#include "commands/state.h"

std::wstring expression = L"0";
double memory = 0.0;
bool second_mode = false;
bool result_shown = false;
