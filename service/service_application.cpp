#include "service/service_application.h"

#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <thread>

#include "platform/exe_path.h"
#include "platform/service_dispatcher.h"
#include "platform/text_encoding.h"
#include "relaybird/catalogue.h"
#include "core/settings_file.h"
#include "service/unit_file.h"

namespace relaybird {

namespace {

// systemctl's outcome does not decide the install: the unit is written.
void Systemctl(const std::vector<std::string>& Words) {
  if (!SystemdRunning() || std::getenv("RELAYBIRD_UNIT_DIR")) return;
  std::string Command = "systemctl";
  for (const std::string& Word : Words) Command += " '" + Word + "'";
  if (std::system(Command.c_str()) != 0) std::fprintf(stderr, "%s failed\n", Command.c_str());
}

void Say(bool Silent, const std::string& Text) {
  if (!Silent) std::printf("%s\n", Text.c_str());
}

}  // namespace

TServiceApplication::TServiceApplication(TRelaybirdSrv& Service, TEventLoop& Loop, TServiceNotifier& Notifier)
    : FService(Service), FLoop(Loop), FNotifier(Notifier) {}

bool TServiceApplication::HasSwitch(const std::vector<std::string>& Args, const std::string& Word) {
  for (const std::string& Arg : Args) {
    if (Arg.size() > 1 && (Arg[0] == '/' || Arg[0] == '-') && AsciiUpperCase(Arg.substr(1)) == Word) return true;
  }
  return false;
}

int TServiceApplication::Run(const std::vector<std::string>& Args) {
  const bool Silent = HasSwitch(Args, "SILENT");
  if (HasSwitch(Args, "INSTALL")) return Install(Silent);
  if (HasSwitch(Args, "UNINSTALL")) return Uninstall(Silent);
  if (!StartedByServiceManager()) {
    ReportDispatcherCannotStart();
    return 0;
  }
  return RunService();
}

int TServiceApplication::Install(bool Silent) {
  FService.ServiceBeforeInstall();
  TServiceSettings Settings;
  LoadServiceSettings(Settings);
  TUnitOptions Options;
  Options.ExecStart = ExecutablePath();
  Options.User = AccountUser(FService.ServiceStartName());
  Options.Description = ServiceTitle;
  Options.WritablePaths = {ExecutableDir(), Settings.AccessLogPath,
                           Trim(Settings.TempDir).empty() ? ExecutableDir() + "Temp/" : Settings.TempDir};
  const std::string FileName = UnitFileName();
  ForceDirectories(UnitDirectory());
  std::ofstream Unit(FileName, std::ios::trunc);
  Unit << UnitText(Options);
  Unit.close();
  if (!Unit) {
    Say(Silent, std::string("Cannot write ") + FileName + ": " + std::strerror(errno));
    return 1;
  }
  FService.ServiceAfterInstall(FileName);
  Systemctl({"daemon-reload"});
  Systemctl({"enable", std::string(ServiceSysName) + ".service"});
  Say(Silent, std::string("The service ") + ServiceSysName + " is installed: " + FileName);
  return 0;
}

int TServiceApplication::Uninstall(bool Silent) {
  const std::string FileName = UnitFileName();
  Systemctl({"disable", std::string(ServiceSysName) + ".service"});
  if (std::remove(FileName.c_str()) != 0 && errno != ENOENT) {
    Say(Silent, std::string("Cannot remove ") + FileName + ": " + std::strerror(errno));
    return 1;
  }
  Systemctl({"daemon-reload"});
  Say(Silent, std::string("The service ") + ServiceSysName + " is removed: " + FileName);
  return 0;
}

int TServiceApplication::RunService() {
  // The stop request is taken by the control thread alone.
  sigset_t Signals;
  sigemptyset(&Signals);
  sigaddset(&Signals, SIGTERM);
  sigaddset(&Signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &Signals, nullptr);

  FService.OnStatus = [this](const std::string& Text) { FNotifier.Status(Text); };
  const auto Period = FNotifier.WatchdogPeriod();
  TLoopTimer Watchdog(FLoop, [this] { FNotifier.Watchdog(); });
  if (Period.count() > 0) {
    Watchdog.SetInterval(std::chrono::duration_cast<std::chrono::milliseconds>(Period).count() / 2);
    Watchdog.SetEnabled(true);
  }

  std::exception_ptr Failure;
  std::thread Control([&] {
    try {
      bool Started = false;
      FService.ServiceStart(Started);
      FNotifier.Ready();
      int Signal = 0;
      sigwait(&Signals, &Signal);
      FNotifier.Stopping();
      bool Stopped = true;
      FService.ServiceStop(Stopped);
    } catch (...) {
      Failure = std::current_exception();
    }
    FLoop.Quit();
  });
  FLoop.Run();
  Control.join();
  Watchdog.SetEnabled(false);
  if (Failure) std::rethrow_exception(Failure);
  return 0;
}

}  // namespace relaybird
