#include "io/formats/error_jump.h"

namespace irobunkai {

[[gnu::noinline]] bool ErrorJump::RunStep(void (*call)(void*), void* step) {
  if (setjmp(buffer_) != 0) {
    return false;
  }
  call(step);
  return true;
}

}  // namespace irobunkai
