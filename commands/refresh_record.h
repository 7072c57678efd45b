// Refresh hooks for builds without a window: they count what was asked for.
#pragma once

struct RefreshLog {
  int display = 0;
  int key_labels = 0;
};

extern RefreshLog refresh_log;
