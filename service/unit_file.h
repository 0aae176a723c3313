#pragma once
// The systemd unit of the service: RelaybirdSrv.service in the unit
// directory, /etc/systemd/system unless RELAYBIRD_UNIT_DIR names another.
#include <string>
#include <vector>

namespace relaybird {

struct TUnitOptions {
  std::string ExecStart;  // the executable's full path
  std::string User;       // empty: the manager's default account
  std::string Description;
  // Folders the service writes: its own, the log and temporary folders.
  std::vector<std::string> WritablePaths;
};

std::string UnitDirectory();
std::string UnitFileName();
std::string UnitText(const TUnitOptions& Options);
// The user part of "<host>\<user>"; the whole text without a backslash.
std::string AccountUser(const std::string& Account);
// True where systemd is the running service manager.
bool SystemdRunning();

}  // namespace relaybird
