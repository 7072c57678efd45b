// A replacement of the global allocation functions that fails the chosen allocation.
//
// Linked into a test program, it counts every operator new while armed and throws
// std::bad_alloc from the fail_at-th one (counting from 1); 0 never fails.
#pragma once

#include <cstddef>

struct AllocationPlan {
  bool armed = false;
  std::size_t count = 0;
  std::size_t fail_at = 0;
  bool failed = false;  // the planned failure happened
};

extern AllocationPlan allocation_plan;

// Arms the plan: count from 0, fail the fail_at-th allocation (0: none).
void arm_allocations(std::size_t fail_at);
// Disarms and returns how many allocations were counted.
std::size_t disarm_allocations();
