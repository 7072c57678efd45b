// Refresh hooks for builds without a window: each request is counted, nothing is shown.
#include "commands/refresh_record.h"

#include "commands/refresh.h"

RefreshLog refresh_log;

void refresh_display() { ++refresh_log.display; }

void refresh_key_labels() { ++refresh_log.key_labels; }
