#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "document/progress.h"

namespace irobunkai {

/// A stretch of a whole's progress, from `from` to `from + span`: what the work reports to
/// Part() is scaled into it, and a cancel of the whole reaches the part at its next report.
class ProgressShare {
 public:
  ProgressShare(const Progress& whole, double from, double span);

  [[nodiscard]] const Progress& Part() const { return part_; }

 private:
  const Progress& whole_;
  double from_;
  double span_;
  Progress part_;
};

/// Pieces of work side by side under one Progress: each reports to its own part, the whole
/// hears their mean, one call at a time whichever thread reports, and a cancel of the whole
/// reaches each part at its next report.
class ProgressParts {
 public:
  ProgressParts(const Progress& whole, std::size_t count);

  [[nodiscard]] const Progress& Part(std::size_t index) const { return *parts_[index]; }

 private:
  void Heard(std::size_t index, double fraction);

  const Progress& whole_;
  std::mutex mutex_;
  std::vector<double> done_;
  double reported_ = 0;
  std::vector<std::unique_ptr<Progress>> parts_;
};

}  // namespace irobunkai
