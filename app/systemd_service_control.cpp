#include "app/systemd_service_control.h"

#include <cstdlib>
#include <sstream>

#include "platform/child_process.h"
#include "platform/exe_path.h"

namespace relaybird {

TSystemdServiceControl::TSystemdServiceControl(std::string Systemctl, std::string UnitDir, int TimeoutMs)
    : FSystemctl(std::move(Systemctl)), FUnitDir(std::move(UnitDir)), FTimeoutMs(TimeoutMs) {}

std::string TSystemdServiceControl::DefaultUnitDir() {
  const char* Dir = std::getenv("RELAYBIRD_UNIT_DIR");
  return Dir && *Dir ? Dir : "/etc/systemd/system";
}

TServiceStateCode TSystemdServiceControl::ParseShowOutput(const std::string& Output) {
  std::istringstream Lines(Output);
  std::string Line, LoadState, ActiveState;
  while (std::getline(Lines, Line)) {
    if (Line.rfind("LoadState=", 0) == 0) LoadState = Line.substr(10);
    if (Line.rfind("ActiveState=", 0) == 0) ActiveState = Line.substr(12);
  }
  if (LoadState == "not-found") return sscNotInstalled;
  if (ActiveState == "activating" || ActiveState == "active" || ActiveState == "reloading") return sscRunning;
  if (ActiveState == "deactivating" || ActiveState == "inactive" || ActiveState == "failed") return sscStopped;
  return sscUnknown;
}

TServiceStateCode TSystemdServiceControl::QueryServiceState(const std::string& Name) {
  const TProcessResult Result =
      RunProcess({FSystemctl, "show", "-p", "LoadState,ActiveState,SubState", Name + ".service"}, FTimeoutMs);
  if (Result.ExitCode == 0) return ParseShowOutput(Result.Output);
  return FileExists(IncludeTrailingPathDelimiter(FUnitDir) + Name + ".service") ? sscUnknown : sscNotInstalled;
}

void TSystemdServiceControl::SendServiceCommand(const std::string& Name, TServiceCommand Command) {
  const char* Verb = Command == scStart ? "start" : Command == scRestart ? "restart" : "stop";
  // Queued, not waited for: a slow stop never holds the window.
  RunProcess({FSystemctl, "--no-block", Verb, Name + ".service"}, FTimeoutMs);
}

}  // namespace relaybird
