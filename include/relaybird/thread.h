#pragma once
// A thread object that runs Execute once on a thread of its own. It is
// created suspended and owned by its creator until Start; from Start on it
// owns itself and is destroyed on its own thread when Execute returns.
#include <chrono>
#include <future>
#include <stop_token>
#include <utility>

#include "relaybird/export.h"

namespace relaybird {

// What the creator keeps of a started thread. Stays valid, and safe to use
// from any thread, after the thread object has destroyed itself.
class RELAYBIRD_API TThreadLink {
 public:
  // Asks the thread to end its run; it decides when it sees the request.
  void Terminate() { FStop.request_stop(); }
  // Returns once the thread object has been destroyed: no code of a
  // descendant runs on that thread any more.
  void WaitFor() const { FDone.wait(); }
  bool Finished() const { return FDone.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }

 private:
  friend class TThread;
  TThreadLink(std::stop_source Stop, std::shared_future<void> Done)
      : FStop(std::move(Stop)), FDone(std::move(Done)) {}

  std::stop_source FStop;
  std::shared_future<void> FDone;
};

class RELAYBIRD_API TThread {
 public:
  TThread() = default;
  virtual ~TThread() = default;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Runs Execute on a new thread and hands the object over to it: after
  // Start the creator touches the object no more, only the link. Raises
  // std::system_error when no thread can be made; the object then stays the
  // creator's.
  TThreadLink Start();

  void Terminate() { FStop.request_stop(); }
  bool Terminated() const { return FStop.stop_requested(); }

 protected:
  // An exception leaving Execute ends the run and is dropped.
  virtual void Execute() = 0;

 private:
  static void Run(TThread* Self, std::promise<void> Done);

  std::stop_source FStop;
};

}  // namespace relaybird
