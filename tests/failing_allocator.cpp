#include "failing_allocator.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace irobunkai::test {
namespace {

std::atomic<std::size_t> limit{std::numeric_limits<std::size_t>::max()};

void* Allocate(std::size_t size) {
  if (size >= limit.load(std::memory_order_relaxed)) {
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    return p;
  }
  throw std::bad_alloc();
}

}  // namespace

AllocationLimit::AllocationLimit(std::size_t bytes) { limit = bytes; }
AllocationLimit::~AllocationLimit() { limit = std::numeric_limits<std::size_t>::max(); }

}  // namespace irobunkai::test

void* operator new(std::size_t size) { return irobunkai::test::Allocate(size); }
void* operator new[](std::size_t size) { return irobunkai::test::Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t /*size*/) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t /*size*/) noexcept { std::free(p); }
