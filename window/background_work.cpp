#include "window/background_work.h"

#include <QMetaObject>
#include <algorithm>
#include <atomic>

namespace irobunkai {

BackgroundWork::BackgroundWork(Runner runner, QObject* parent)
    : QObject(parent),
      runner_(std::move(runner)),
      thread_([this](const std::stop_token& stop) { Run(stop); }) {}

BackgroundWork::~BackgroundWork() {
  {
    const std::scoped_lock lock(mutex_);
    for (const Request& request : queue_) {
      request.progress->Cancel();
    }
    queue_.clear();
    for (LaneSlot& slot : lanes_) {
      if (slot.progress) {
        slot.progress->Cancel();
      }
    }
  }
  thread_.request_stop();
  thread_.join();
}

bool BackgroundWork::IsBusy() const {
  return std::any_of(lanes_.begin(), lanes_.end(), [](const LaneSlot& slot) { return slot.busy; });
}

void BackgroundWork::Start(Lane lane, Job job) {
  Cancel(lane);
  LaneSlot& slot = Slot(lane);
  const int ticket = ++slot.ticket;
  // Progress reaches the GUI thread only when it moves by a step of a thousandth.
  auto last = std::make_shared<std::atomic<int>>(-1);
  slot.progress = std::make_shared<irobunkai::Progress>([this, lane, ticket, last](double f) {
    const int step = static_cast<int>(std::clamp(f, 0.0, 1.0) * 1000.0);
    if (last->exchange(step) != step) {
      QMetaObject::invokeMethod(
          this,
          [this, lane, ticket, f] {
            if (IsCurrent(lane, ticket) && Slot(lane).busy) {
              emit Progressed(lane, f);
            }
          },
          Qt::QueuedConnection);
    }
  });
  slot.busy = true;
  {
    const std::scoped_lock lock(mutex_);
    queue_.push_back({lane, ticket, slot.progress, std::move(job)});
  }
  wake_.notify_one();
  emit Started(lane);
}

void BackgroundWork::Cancel(Lane lane) {
  LaneSlot& slot = Slot(lane);
  if (!slot.busy) {
    return;
  }
  slot.progress->Cancel();
  ++slot.ticket;  // whatever the cancelled request still sends is dropped
  slot.busy = false;
  emit Ended(lane);
}

void BackgroundWork::CancelAll() {
  for (std::size_t lane = 0; lane < kLanes; ++lane) {
    Cancel(static_cast<Lane>(lane));
  }
}

void BackgroundWork::Run(const std::stop_token& stop) {
  while (true) {
    std::unique_lock lock(mutex_);
    if (!wake_.wait(lock, stop, [this] { return !queue_.empty(); })) {
      return;
    }
    Request request = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    if (!request.progress->Cancelled()) {
      Execute(request);
    }
  }
}

void BackgroundWork::Execute(const Request& request) {
  const Lane lane = request.lane;
  const int ticket = request.ticket;
  const Context context(*request.progress, [this, lane, ticket](Finish finish) {
    QMetaObject::invokeMethod(
        this,
        [this, lane, ticket, finish = std::move(finish)] {
          if (IsCurrent(lane, ticket)) {
            runner_(finish);
          }
        },
        Qt::QueuedConnection);
  });
  Finish finish;
  try {
    finish = request.job(context);
  } catch (...) {
    finish = [error = std::current_exception()] { std::rethrow_exception(error); };
  }
  QMetaObject::invokeMethod(
      this, [this, lane, ticket, finish = std::move(finish)] { Deliver(lane, ticket, finish); },
      Qt::QueuedConnection);
}

void BackgroundWork::Deliver(Lane lane, int ticket, const Finish& finish) {
  if (!IsCurrent(lane, ticket)) {
    return;  // superseded or cancelled: its result is dropped
  }
  Slot(lane).busy = false;
  emit Ended(lane);
  if (finish) {
    runner_(finish);
  }
}

}  // namespace irobunkai
