#include "io/progress_parts.h"

#include <numeric>

namespace irobunkai {
namespace {

// The least change of the whole worth reporting: a bar's pixel, not every row of every part.
constexpr double kReportStep = 0.002;

}  // namespace

ProgressShare::ProgressShare(const Progress& whole, double from, double span)
    : whole_(whole), from_(from), span_(span), part_([this](double fraction) {
        whole_.Report(from_ + fraction * span_);
        if (whole_.Cancelled()) {
          part_.Cancel();
        }
      }) {
  if (whole.Cancelled()) {
    part_.Cancel();
  }
}

ProgressParts::ProgressParts(const Progress& whole, std::size_t count)
    : whole_(whole), done_(count, 0.0) {
  parts_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    parts_.push_back(std::make_unique<Progress>([this, i](double f) { Heard(i, f); }));
    if (whole.Cancelled()) {
      parts_.back()->Cancel();
    }
  }
}

void ProgressParts::Heard(std::size_t index, double fraction) {
  const std::scoped_lock lock(mutex_);
  done_[index] = fraction;
  const double mean =
      std::accumulate(done_.begin(), done_.end(), 0.0) / static_cast<double>(done_.size());
  if (mean >= reported_ + kReportStep) {
    reported_ = mean;
    whole_.Report(mean);
  }
  if (whole_.Cancelled()) {
    for (const auto& part : parts_) {
      part->Cancel();
    }
  }
}

}  // namespace irobunkai
