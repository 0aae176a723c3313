#include "platform/service_dispatcher.h"

#include <cstdlib>
#include <string>

#include "platform/event_log.h"
#include "platform/exe_path.h"

namespace relaybird {

namespace {

bool EnvironmentSet(const char* Name) {
  const char* Value = std::getenv(Name);
  return Value != nullptr && *Value != '\0';
}

}  // namespace

bool StartedByServiceManager() {
  if (EnvironmentSet("INVOCATION_ID") || EnvironmentSet("NOTIFY_SOCKET")) return true;
  const char* Foreground = std::getenv("RELAYBIRD_FOREGROUND");
  return Foreground != nullptr && std::string(Foreground) == "1";
}

void ReportDispatcherCannotStart() {
  ReportEventText(ExecutableName(),
                  "The service dispatcher cannot start: the program was not started by the "
                  "service manager");
}

}  // namespace relaybird
