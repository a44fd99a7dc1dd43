#pragma once

#include <QObject>
#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "document/progress.h"

namespace irobunkai {

/// The one worker thread that runs long work (decoding, separating, saving) off the GUI
/// thread, so that the window repaints and answers while it runs. Work is asked for in
/// a lane; a newer request in a lane supersedes the older one, which is cancelled and
/// whose results are dropped. Results come back as continuations run on the GUI thread.
class BackgroundWork : public QObject {
  Q_OBJECT

 public:
  enum class Lane { Open, Separate, Save };
  static constexpr std::size_t kLanes = 3;

  /// Runs on the GUI thread with a result of the work.
  using Finish = std::function<void()>;

  /// What a job is given: its progress, and a way to hand over a result before its
  /// last (a first sight before the exact picture).
  class Context {
   public:
    Context(const irobunkai::Progress& progress, std::function<void(Finish)> post)
        : progress_(progress), post_(std::move(post)) {}
    [[nodiscard]] const irobunkai::Progress& Progress() const { return progress_; }
    [[nodiscard]] bool Cancelled() const { return progress_.Cancelled(); }
    /// Runs `finish` on the GUI thread unless the request is superseded by then.
    void Post(Finish finish) const { post_(std::move(finish)); }

   private:
    const irobunkai::Progress& progress_;
    std::function<void(Finish)> post_;
  };
  using Job = std::function<Finish(const Context&)>;

  /// Runs each continuation on the GUI thread: the window runs them as handlers.
  using Runner = std::function<void(const Finish&)>;

  explicit BackgroundWork(Runner runner, QObject* parent = nullptr);
  /// Cancels all work and waits for the running job to notice.
  ~BackgroundWork() override;
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  /// Queues `job` in `lane`, superseding the lane's earlier request. An exception that
  /// escapes the job is rethrown on the GUI thread, where its continuation would run.
  void Start(Lane lane, Job job);
  /// Cancels the lane's request, if any: nothing of it reaches the GUI thread after this.
  void Cancel(Lane lane);
  void CancelAll();
  [[nodiscard]] bool IsBusy(Lane lane) const { return Slot(lane).busy; }
  [[nodiscard]] bool IsBusy() const;

 signals:
  /// A lane's request got `fraction` of its way, 0 to 1.
  void Progressed(irobunkai::BackgroundWork::Lane lane, double fraction);
  /// A lane's request began, or ended: finished, failed or cancelled.
  void Started(irobunkai::BackgroundWork::Lane lane);
  void Ended(irobunkai::BackgroundWork::Lane lane);

 private:
  struct Request {
    Lane lane;
    int ticket;
    std::shared_ptr<irobunkai::Progress> progress;
    Job job;
  };
  // What the GUI thread knows of a lane.
  struct LaneSlot {
    int ticket = 0;
    bool busy = false;
    std::shared_ptr<irobunkai::Progress> progress;
  };

  void Run(const std::stop_token& stop);
  void Execute(const Request& request);
  void Deliver(Lane lane, int ticket, const Finish& finish);
  [[nodiscard]] bool IsCurrent(Lane lane, int ticket) const { return Slot(lane).ticket == ticket; }
  [[nodiscard]] LaneSlot& Slot(Lane lane) { return lanes_[static_cast<std::size_t>(lane)]; }
  [[nodiscard]] const LaneSlot& Slot(Lane lane) const {
    return lanes_[static_cast<std::size_t>(lane)];
  }

  Runner runner_;
  std::array<LaneSlot, kLanes> lanes_;
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::deque<Request> queue_;
  std::jthread thread_;
};

}  // namespace irobunkai
