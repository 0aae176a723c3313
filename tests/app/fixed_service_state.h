#pragma once
// A service control for window tests: the service is always in one state,
// and commands are ignored.
#include <memory>

#include "app/service_control.h"

namespace relaybird::test {

class TFixedServiceState : public TServiceControl {
 public:
  explicit TFixedServiceState(TServiceStateCode State) : FState(State) {}
  TServiceStateCode QueryServiceState(const std::string&) override { return FState; }
  void SendServiceCommand(const std::string&, TServiceCommand) override {}

 private:
  TServiceStateCode FState;
};

inline std::unique_ptr<TServiceControl> FixedServiceState(TServiceStateCode State) {
  return std::make_unique<TFixedServiceState>(State);
}

}  // namespace relaybird::test
