#pragma once
// The time the service's timers run on: a steady clock in the program, a
// clock the tests move by hand.
#include <chrono>

namespace relaybird {

using TTimePoint = std::chrono::steady_clock::time_point;

class TClock {
 public:
  virtual ~TClock() = default;
  virtual TTimePoint Now() const = 0;
};

class TSteadyClock : public TClock {
 public:
  TTimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace relaybird
