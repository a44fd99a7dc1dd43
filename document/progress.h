#pragma once

#include <atomic>
#include <functional>
#include <utility>

namespace irobunkai {

/// What long work (a decode, a separation, a save) tells whoever waits for it, and how
/// it learns that it is no longer wanted. The work reports and polls from its own
/// thread; the waiting thread may cancel at any time.
class Progress {
 public:
  /// Hears the fraction done, 0 to 1, on the work's thread.
  using Listener = std::function<void(double fraction)>;

  Progress() = default;
  explicit Progress(Listener listener) : listener_(std::move(listener)) {}
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Report(double fraction) const {
    if (listener_) {
      listener_(fraction);
    }
  }
  /// Reports `done` of `total` steps.
  void Report(long long done, long long total) const {
    if (total > 0) {
      Report(static_cast<double>(done) / static_cast<double>(total));
    }
  }

  void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
  [[nodiscard]] bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

 private:
  Listener listener_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace irobunkai
