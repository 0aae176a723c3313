#pragma once
// The service manager reached through systemctl, each call bounded in time.
#include <string>

#include "app/service_control.h"

namespace relaybird {

// Thread-safe: it holds only constant data.
class TSystemdServiceControl : public TServiceControl {
 public:
  // Systemctl is the program to run (searched on PATH); UnitDir is where the
  // unit files of installed services lie.
  TSystemdServiceControl(std::string Systemctl = "systemctl", std::string UnitDir = DefaultUnitDir(),
                         int TimeoutMs = 3000);

  // Without an answer from systemd the unit file decides: present gives
  // sscUnknown, absent sscNotInstalled.
  TServiceStateCode QueryServiceState(const std::string& Name) override;
  void SendServiceCommand(const std::string& Name, TServiceCommand Command) override;

  // $RELAYBIRD_UNIT_DIR, else /etc/systemd/system.
  static std::string DefaultUnitDir();
  // The code of an answer of "systemctl show -p LoadState,ActiveState,SubState";
  // sscUnknown for an answer without the states.
  static TServiceStateCode ParseShowOutput(const std::string& Output);

 private:
  std::string FSystemctl;
  std::string FUnitDir;
  int FTimeoutMs;
};

}  // namespace relaybird
