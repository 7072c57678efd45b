// The angle mode variable; radians at start.
#include "engine/angle_mode.h"

bool radian_mode = true;
