#pragma once

#include <cstddef>

namespace irobunkai::test {

/// While it lives, every operator new of at least `bytes` throws std::bad_alloc, as
/// on a machine without that much memory to spare. Link failing_allocator.cpp,
/// which replaces the global operator new, into the test that uses it.
class AllocationLimit {
 public:
  explicit AllocationLimit(std::size_t bytes);
  ~AllocationLimit();
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;
};

}  // namespace irobunkai::test
