#pragma once
// The main thread's event loop and its millisecond timers.
//
// Thread-safe: every member of TEventLoop and TLoopTimer may be called from any
// thread; FLock of the loop guards the timers' state. Handlers run on the
// thread that runs the loop (Run or RunDue), never two at once, and without
// the lock held.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "service/clock.h"

namespace relaybird {

class TEventLoop;

// A timer with an interval of 0 never fires. Switching a timer on, or setting
// the interval of a timer that is on, starts its period anew; it then fires
// every Interval milliseconds while it stays on.
class TLoopTimer {
 public:
  TLoopTimer(TEventLoop& Loop, std::function<void()> Handler);
  ~TLoopTimer();
  TLoopTimer(const TLoopTimer&) = delete;
  TLoopTimer& operator=(const TLoopTimer&) = delete;

  void SetEnabled(bool Value);
  bool Enabled() const;
  void SetInterval(std::int64_t Milliseconds);
  std::int64_t Interval() const;

 private:
  friend class TEventLoop;
  TEventLoop& FLoop;
  std::function<void()> FHandler;
  bool FEnabled = false;
  std::int64_t FInterval = 0;
  TTimePoint FDue{};
};

class TEventLoop {
 public:
  explicit TEventLoop(const TClock& Clock);
  TEventLoop(const TEventLoop&) = delete;
  TEventLoop& operator=(const TEventLoop&) = delete;

  const TClock& Clock() const { return FClock; }

  // Fires due timers until Quit; sleeps until the next one is due.
  void Run();
  // Ends Run, from any thread (also from a handler).
  void Quit();
  // Fires every timer that is due now by the clock, earliest first, each at
  // most once; for a manual clock. The number of handlers run.
  int RunDue();
  // The time the next timer is due, or false when none is on or the loop is
  // halted.
  bool NextDue(TTimePoint& Due) const;

  // No timer fires while halted; Halt returns once a handler that is running
  // has finished. Called from a handler it does not wait for that handler.
  void Halt();
  void Resume();

  // True while a handler runs.
  bool Busy() const;

 private:
  friend class TLoopTimer;
  void Add(TLoopTimer* Timer);
  void Remove(TLoopTimer* Timer);
  // The enabled timer due first at or before Now, under FLock; null when none.
  TLoopTimer* TakeDue(TTimePoint Now);
  bool EarliestDue(TTimePoint& Due) const;
  void Fire(std::unique_lock<std::mutex>& Guard, TLoopTimer* Timer);

  const TClock& FClock;
  mutable std::mutex FLock;
  std::condition_variable FChanged;
  std::vector<TLoopTimer*> FTimers;
  bool FQuit = false;
  bool FHalted = false;
  TLoopTimer* FRunning = nullptr;
  std::thread::id FHandlerThread;
};

}  // namespace relaybird
