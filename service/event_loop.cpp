#include "service/event_loop.h"

#include <algorithm>

namespace relaybird {

TLoopTimer::TLoopTimer(TEventLoop& Loop, std::function<void()> Handler) : FLoop(Loop), FHandler(std::move(Handler)) {
  FLoop.Add(this);
}

TLoopTimer::~TLoopTimer() { FLoop.Remove(this); }

void TLoopTimer::SetEnabled(bool Value) {
  std::lock_guard<std::mutex> Guard(FLoop.FLock);
  if (Value && !FEnabled) FDue = FLoop.FClock.Now() + std::chrono::milliseconds(FInterval);
  FEnabled = Value;
  FLoop.FChanged.notify_all();
}

bool TLoopTimer::Enabled() const {
  std::lock_guard<std::mutex> Guard(FLoop.FLock);
  return FEnabled;
}

void TLoopTimer::SetInterval(std::int64_t Milliseconds) {
  std::lock_guard<std::mutex> Guard(FLoop.FLock);
  if (Milliseconds == FInterval) return;
  FInterval = Milliseconds;
  if (FEnabled) FDue = FLoop.FClock.Now() + std::chrono::milliseconds(FInterval);
  FLoop.FChanged.notify_all();
}

std::int64_t TLoopTimer::Interval() const {
  std::lock_guard<std::mutex> Guard(FLoop.FLock);
  return FInterval;
}

TEventLoop::TEventLoop(const TClock& Clock) : FClock(Clock) {}

void TEventLoop::Add(TLoopTimer* Timer) {
  std::lock_guard<std::mutex> Guard(FLock);
  FTimers.push_back(Timer);
}

void TEventLoop::Remove(TLoopTimer* Timer) {
  std::unique_lock<std::mutex> Guard(FLock);
  // A timer goes only after its own handler, unless the handler frees it.
  FChanged.wait(Guard, [&] { return FRunning != Timer || FHandlerThread == std::this_thread::get_id(); });
  std::erase(FTimers, Timer);
}

TLoopTimer* TEventLoop::TakeDue(TTimePoint Now) {
  if (FHalted) return nullptr;
  TLoopTimer* First = nullptr;
  for (TLoopTimer* Timer : FTimers) {
    if (!Timer->FEnabled || Timer->FInterval <= 0 || Timer->FDue > Now) continue;
    if (!First || Timer->FDue < First->FDue) First = Timer;
  }
  return First;
}

bool TEventLoop::NextDue(TTimePoint& Due) const {
  std::lock_guard<std::mutex> Guard(FLock);
  return !FHalted && EarliestDue(Due);
}

bool TEventLoop::EarliestDue(TTimePoint& Due) const {
  bool Found = false;
  for (const TLoopTimer* Timer : FTimers) {
    if (!Timer->FEnabled || Timer->FInterval <= 0) continue;
    if (!Found || Timer->FDue < Due) Due = Timer->FDue;
    Found = true;
  }
  return Found;
}

void TEventLoop::Fire(std::unique_lock<std::mutex>& Guard, TLoopTimer* Timer) {
  // A periodic timer: its next period starts now.
  Timer->FDue = FClock.Now() + std::chrono::milliseconds(Timer->FInterval);
  FRunning = Timer;
  FHandlerThread = std::this_thread::get_id();
  Guard.unlock();
  try {
    Timer->FHandler();
  } catch (...) {
    // A handler keeps its own failures; the loop must outlive a stray one.
  }
  Guard.lock();
  FRunning = nullptr;
  FHandlerThread = {};
  FChanged.notify_all();
}

void TEventLoop::Run() {
  std::unique_lock<std::mutex> Guard(FLock);
  FQuit = false;
  while (!FQuit) {
    if (TLoopTimer* Timer = TakeDue(FClock.Now())) {
      Fire(Guard, Timer);
      continue;
    }
    TTimePoint Due{};
    // The steady clock drives Run; a wait on it wakes at the due time.
    if (!FHalted && EarliestDue(Due)) {
      FChanged.wait_until(Guard, Due);
    } else {
      FChanged.wait(Guard);
    }
  }
}

void TEventLoop::Quit() {
  std::lock_guard<std::mutex> Guard(FLock);
  FQuit = true;
  FChanged.notify_all();
}

int TEventLoop::RunDue() {
  std::unique_lock<std::mutex> Guard(FLock);
  const TTimePoint Now = FClock.Now();
  std::vector<TLoopTimer*> Fired;
  int Count = 0;
  while (TLoopTimer* Timer = TakeDue(Now)) {
    if (std::find(Fired.begin(), Fired.end(), Timer) != Fired.end()) break;
    Fired.push_back(Timer);
    Fire(Guard, Timer);
    ++Count;
  }
  return Count;
}

void TEventLoop::Halt() {
  std::unique_lock<std::mutex> Guard(FLock);
  FHalted = true;
  FChanged.notify_all();
  FChanged.wait(Guard, [&] { return !FRunning || FHandlerThread == std::this_thread::get_id(); });
}

void TEventLoop::Resume() {
  std::lock_guard<std::mutex> Guard(FLock);
  FHalted = false;
  FChanged.notify_all();
}

bool TEventLoop::Busy() const {
  std::lock_guard<std::mutex> Guard(FLock);
  return FRunning != nullptr;
}

}  // namespace relaybird
