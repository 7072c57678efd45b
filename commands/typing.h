// Keyboard input: Enter, Escape, Backspace and the eighteen typed characters.
#pragma once

// Handles one typed UTF-16 code unit; characters it does not accept change
// nothing and ask for no refresh.
void handle_typed_char(wchar_t code);
