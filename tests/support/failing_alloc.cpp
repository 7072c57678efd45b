// Global operator new and delete over malloc and free, with one planned failure.
#include "tests/support/failing_alloc.h"

#include <cstdlib>
#include <new>

AllocationPlan allocation_plan;

void arm_allocations(std::size_t fail_at) {
  allocation_plan = AllocationPlan{true, 0, fail_at, false};
}

std::size_t disarm_allocations() {
  allocation_plan.armed = false;
  return allocation_plan.count;
}

namespace {

void* allocate(std::size_t size) {
  AllocationPlan& plan = allocation_plan;
  if (plan.armed && ++plan.count == plan.fail_at) {
    plan.failed = true;
    throw std::bad_alloc();
  }
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
