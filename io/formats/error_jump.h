#pragma once

#include <csetjmp>
#include <type_traits>

namespace irobunkai {

/// Where a C library's error handler jumps back to, as libjpeg and libpng report fatal errors:
/// by longjmp, never by an exception through their frames.
class ErrorJump {
 public:
  /// Runs `step`, which may call the library. Nothing with a destructor may be alive in the
  /// frames of `step` while it calls the library, since a jump skips them. False when the
  /// library's error handler jumped out.
  template <class Step>
  bool Run(Step&& step) {
    return RunStep(&Call<std::remove_reference_t<Step>>, &step);
  }

  /// Leaves the innermost Run; only the library's error handler calls this.
  [[noreturn]] void Jump() { std::longjmp(buffer_, 1); }

 private:
  template <class Step>
  static void Call(void* step) {
    (*static_cast<Step*>(step))();
  }

  // The only frame that holds the jump's target; kept out of line so that no caller's locals
  // live across the setjmp.
  bool RunStep(void (*call)(void*), void* step);

  std::jmp_buf buffer_{};
};

}  // namespace irobunkai
