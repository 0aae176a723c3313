#pragma once
// The service framework of the program: the switches "/install",
// "/uninstall" and "/silent", and the run of the service in the foreground
// under a service manager. The event loop runs on the calling (main) thread;
// the start and the stop run on a control thread of their own, the stop when
// SIGTERM or SIGINT arrives.
#include <string>
#include <vector>

#include "service/event_loop.h"
#include "service/relaybird_srv.h"
#include "service/service_notifier.h"

namespace relaybird {

class TServiceApplication {
 public:
  TServiceApplication(TRelaybirdSrv& Service, TEventLoop& Loop, TServiceNotifier& Notifier);

  // The exit status of the program. Raises what the start raised.
  int Run(const std::vector<std::string>& Args);

  // Args holds a switch: "/" or "-" and the word, any letter case.
  static bool HasSwitch(const std::vector<std::string>& Args, const std::string& Word);

 private:
  int Install(bool Silent);
  int Uninstall(bool Silent);
  int RunService();

  TRelaybirdSrv& FService;
  TEventLoop& FLoop;
  TServiceNotifier& FNotifier;
};

}  // namespace relaybird
