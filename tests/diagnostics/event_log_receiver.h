#pragma once
// A datagram socket standing in for the system log; the event log is pointed
// at it for the receiver's lifetime.
#include <optional>
#include <string>

#include "test_support.h"

namespace relaybird::test {

class TEventLogReceiver {
 public:
  TEventLogReceiver();
  ~TEventLogReceiver();
  TEventLogReceiver(const TEventLogReceiver&) = delete;
  TEventLogReceiver& operator=(const TEventLogReceiver&) = delete;

  // The next datagram already queued, if any: senders send synchronously.
  std::optional<std::string> Next();

 private:
  TTempDir FDir;
  std::string FPreviousPath;
  int FSocket = -1;
};

}  // namespace relaybird::test
