#pragma once
// What the window asks of the service manager: the state of a service and
// the commands start, restart and stop.
#include <string>

namespace relaybird {

enum TServiceStateCode : int {
  sscRunning = 0,
  sscPaused = 1,
  sscStopped = 2,
  sscUnknown = 3,
  sscNotInstalled = 4,
};

// scRestart asks the service manager for the whole restart, so that the start
// follows a completed stop.
enum TServiceCommand : int { scStart = 0, scRestart = 1, scStop = 2 };

// Implementations say whether they are thread-safe: the window asks for the
// state from a worker thread.
class TServiceControl {
 public:
  virtual ~TServiceControl() = default;
  // Never raises; a manager that cannot be asked gives sscUnknown or
  // sscNotInstalled.
  virtual TServiceStateCode QueryServiceState(const std::string& Name) = 0;
  // Asks for the command and returns without waiting for it to complete;
  // refusals are not reported (the next query shows the real state).
  virtual void SendServiceCommand(const std::string& Name, TServiceCommand Command) = 0;
};

}  // namespace relaybird
