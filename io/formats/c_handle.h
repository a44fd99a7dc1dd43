#pragma once

#include <memory>

namespace irobunkai {

/// Frees a C library's handle with the library's own function.
template <auto Free>
struct FreeWith {
  template <class T>
  void operator()(T* handle) const {
    Free(handle);
  }
};

/// Owns a C library's handle, freed with `Free`.
template <class T, auto Free>
using CHandle = std::unique_ptr<T, FreeWith<Free>>;

}  // namespace irobunkai
