// The angle mode: calculator state that the engine reads and never writes.
//
// It lives here, below the commands, so that the engine builds and runs alone.
#pragma once

// True: the trigonometric functions take and give radians; false: degrees.
extern bool radian_mode;
