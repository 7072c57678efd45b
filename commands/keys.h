// Key commands: what a click on each of the 48 keys (ids 1001..1048) does.
#pragma once

// Runs the command of the key with this control id; any other id does nothing.
// Never fails; ends with the one refresh that the key asks for.
void run_key_command(int id);
