#include "window/background_work.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <stdexcept>
#include <vector>

#include "window/work_progress_bar.h"

namespace irobunkai {
namespace {

using Lane = BackgroundWork::Lane;

// A job that runs until it is released or cancelled.
class Gate {
 public:
  BackgroundWork::Job Job(std::function<void()> then) {
    return [this, then = std::move(then)](const BackgroundWork::Context& context) {
      entered_ = true;
      while (!open_ && !context.Cancelled()) {
        QThread::msleep(1);
      }
      return BackgroundWork::Finish(then);
    };
  }
  void Open() { open_ = true; }
  [[nodiscard]] bool Entered() const { return entered_; }

 private:
  std::atomic<bool> open_{false};
  std::atomic<bool> entered_{false};
};

class BackgroundWorkTest : public ::testing::Test {
 protected:
  void WaitIdle() {
    ASSERT_TRUE(QTest::qWaitFor([this] { return !work.IsBusy(); }, 10'000));
  }

  std::vector<std::string> ran;
  BackgroundWork work{[this](const BackgroundWork::Finish& finish) {
    try {
      finish();
    } catch (const std::exception& e) {
      ran.push_back(std::string("threw ") + e.what());
    }
  }};
};

TEST_F(BackgroundWorkTest, ANewerRequestSupersedesTheOlderWhoseResultIsDropped) {
  Gate first;
  work.Start(Lane::Open, first.Job([this] { ran.emplace_back("first"); }));
  ASSERT_TRUE(QTest::qWaitFor([&] { return first.Entered(); }, 10'000));
  work.Start(Lane::Open, [this](const BackgroundWork::Context&) {
    return BackgroundWork::Finish([this] { ran.emplace_back("second"); });
  });
  first.Open();
  WaitIdle();
  QTest::qWait(20);  // anything the first still sent would have arrived
  EXPECT_EQ(ran, std::vector<std::string>{"second"});
}

TEST_F(BackgroundWorkTest, ACancelledRequestStopsAndNothingOfItArrives) {
  Gate gate;
  std::atomic<bool> stopped{false};
  work.Start(Lane::Separate, [&](const BackgroundWork::Context& context) {
    auto late = gate.Job([this] { ran.emplace_back("late"); })(context);
    // Still working after the cancel: what it hands over now is dropped too.
    context.Post([this] { ran.emplace_back("posted after the cancel"); });
    stopped = context.Cancelled();
    return late;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return gate.Entered(); }, 10'000));
  QSignalSpy ended(&work, &BackgroundWork::Ended);
  work.Cancel(Lane::Separate);
  EXPECT_FALSE(work.IsBusy());
  EXPECT_EQ(ended.count(), 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return stopped.load(); }, 10'000));
  QTest::qWait(50);
  EXPECT_TRUE(ran.empty());
}

TEST_F(BackgroundWorkTest, LanesDoNotSupersedeEachOther) {
  work.Start(Lane::Open, [this](const BackgroundWork::Context&) {
    return BackgroundWork::Finish([this] { ran.emplace_back("open"); });
  });
  work.Start(Lane::Save, [this](const BackgroundWork::Context&) {
    return BackgroundWork::Finish([this] { ran.emplace_back("save"); });
  });
  WaitIdle();
  EXPECT_EQ(ran, (std::vector<std::string>{"open", "save"}));
}

TEST_F(BackgroundWorkTest, AnErrorInTheWorkIsRaisedWhereItsResultWouldBeShown) {
  work.Start(Lane::Open, [](const BackgroundWork::Context&) -> BackgroundWork::Finish {
    throw std::runtime_error("decoder fault");
  });
  WaitIdle();
  QTest::qWait(10);
  EXPECT_EQ(ran, std::vector<std::string>{"threw decoder fault"});
}

TEST_F(BackgroundWorkTest, DestroyingItCancelsTheRunningWorkAndWaitsForIt) {
  Gate gate;
  std::atomic<bool> finished{false};
  {
    BackgroundWork local([](const BackgroundWork::Finish&) {});
    local.Start(Lane::Open, [&](const BackgroundWork::Context& context) {
      auto finish = gate.Job({})(context);
      finished = true;
      return finish;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.Entered(); }, 10'000));
  }
  EXPECT_TRUE(finished);  // the job saw the cancel and returned before the worker went
}

TEST(WorkProgressBarTest, AppearsInTheHintsPlaceForLongWorkWithItsPercentage) {
  QWidget window;
  auto* hint = new QLabel(QStringLiteral("Click\u3000the\u3000Image"), &window);
  hint->setGeometry(32, 200, 133, 16);
  BackgroundWork work([](const BackgroundWork::Finish& finish) { finish(); });
  auto* bar = new WorkProgressBar(work, hint, &window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  // Quick work never shows the bar.
  work.Start(Lane::Open, [](const BackgroundWork::Context&) { return BackgroundWork::Finish(); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !work.IsBusy(); }, 10'000));
  QTest::qWait(WorkProgressBar::kDelayMs + 100);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(hint->isVisible());

  Gate gate;
  std::atomic<bool> reported{false};
  work.Start(Lane::Open, [&](const BackgroundWork::Context& context) {
    context.Progress().Report(0.42);
    reported = true;
    return gate.Job({})(context);
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return bar->isVisible(); }, 10'000));
  EXPECT_FALSE(hint->isVisible());
  EXPECT_EQ(bar->geometry().topLeft(), QPoint(32, 200));
  ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() == 420; }, 10'000));
  EXPECT_EQ(bar->text(), QStringLiteral("42%"));
  gate.Open();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !work.IsBusy(); }, 10'000));
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(hint->isVisible());
}

}  // namespace
}  // namespace irobunkai
