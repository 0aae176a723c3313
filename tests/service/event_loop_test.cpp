#include "service/event_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "service_fixture.h"

namespace relaybird {
namespace {

using namespace std::chrono_literals;

class TEventLoopTest : public ::testing::Test {
 protected:
  void Advance(std::chrono::milliseconds Step) {
    Clock.Set(Clock.Now() + Step);
    Loop.RunDue();
  }
  test::TManualClock Clock;
  TEventLoop Loop{Clock};
};

TEST_F(TEventLoopTest, ATimerFiresEveryIntervalWhileOnAndNeverAtZero) {
  int Fired = 0;
  TLoopTimer Timer(Loop, [&] { ++Fired; });
  Timer.SetEnabled(true);
  Advance(1h);
  EXPECT_EQ(Fired, 0) << "interval 0";

  Timer.SetInterval(1000);
  Advance(999ms);
  EXPECT_EQ(Fired, 0);
  Advance(1ms);
  Advance(1000ms);
  EXPECT_EQ(Fired, 2);
  Timer.SetEnabled(false);
  Advance(5000ms);
  EXPECT_EQ(Fired, 2);
}

TEST_F(TEventLoopTest, SwitchingOnOrChangingTheIntervalStartsThePeriodAnew) {
  int Fired = 0;
  TLoopTimer Timer(Loop, [&] { ++Fired; });
  Timer.SetInterval(1000);
  Timer.SetEnabled(true);
  Advance(600ms);
  Timer.SetInterval(500);
  Advance(400ms);
  EXPECT_EQ(Fired, 0);
  Advance(100ms);
  EXPECT_EQ(Fired, 1);
  Timer.SetEnabled(false);
  Timer.SetEnabled(true);
  Advance(400ms);
  EXPECT_EQ(Fired, 1);
}

TEST_F(TEventLoopTest, AHandlerThatSwitchesItselfOffRunsOnceAndMayRunAnotherInside) {
  int Outer = 0;
  int Inner = 0;
  TLoopTimer Second(Loop, [&] { ++Inner; });
  TLoopTimer First(Loop, [&] {
    ++Outer;
    // Off on entry, as the service's handlers do.
    First.SetEnabled(false);
    Second.SetEnabled(false);
    Inner += 10;
  });
  First.SetInterval(100);
  First.SetEnabled(true);
  Second.SetInterval(150);
  Second.SetEnabled(true);
  Advance(1000ms);
  EXPECT_EQ(Outer, 1);
  EXPECT_EQ(Inner, 10) << "the second timer was switched off by the first before it was due";
}

TEST(TEventLoopRun, HaltWaitsForTheRunningHandlerAndNothingFiresUntilResume) {
  TSteadyClock Clock;
  TEventLoop Loop(Clock);
  std::atomic<int> Fired{0};
  std::atomic<bool> Inside{false};
  std::atomic<bool> Finished{false};
  TLoopTimer Timer(Loop, [&] {
    Inside = true;
    std::this_thread::sleep_for(200ms);
    ++Fired;
    Finished = true;
  });
  Timer.SetInterval(10);
  Timer.SetEnabled(true);
  std::thread Main([&] { Loop.Run(); });
  while (!Inside) std::this_thread::sleep_for(1ms);
  Loop.Halt();
  EXPECT_TRUE(Finished) << "Halt returned while the handler ran";
  const int AfterHalt = Fired;
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(Fired, AfterHalt);
  Loop.Resume();
  while (Fired == AfterHalt) std::this_thread::sleep_for(1ms);
  Timer.SetEnabled(false);
  Loop.Quit();
  Main.join();
}

}  // namespace
}  // namespace relaybird
