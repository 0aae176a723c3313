#pragma once
// Running other programs: waited for within a time bound, or started and left
// to run on their own. Never raise.
#include "relaybird/export.h"
#include <string>
#include <vector>

namespace relaybird {

struct TProcessResult {
  // The exit status; -1 when the program could not be started, was killed
  // or ran out of time.
  int ExitCode = -1;
  bool TimedOut = false;
  std::string Output;  // standard output
  std::string Error;   // why it could not be started, when it could not
};

// Runs Args[0] (searched on PATH) with the other arguments, standard input
// empty, standard error discarded; a program still running after TimeoutMs
// milliseconds is killed. The child is always reaped.
RELAYBIRD_API TProcessResult RunProcess(const std::vector<std::string>& Args, int TimeoutMs) noexcept;

// Starts Args[0] with the other arguments and does not wait for it; the
// program is handed to the system's reaper, so no zombie is left behind.
// False, with the reason in Error, when it could not be started.
RELAYBIRD_API bool StartDetached(const std::vector<std::string>& Args, std::string* Error = nullptr) noexcept;

}  // namespace relaybird
