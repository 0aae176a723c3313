#include "app/program_entry.h"

#include <QApplication>
#include <cstdlib>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/config_form.h"
#include "app/start_modes.h"
#include "app/systemd_service_control.h"
#include "core/settings_file.h"
#include "relaybird/settings.h"
#include "diagnostics/assertion.h"
#include "diagnostics/error_log.h"
#include "relaybird/catalogue.h"
#include "i18n/lang_manager.h"
#include "i18n/translator.h"
#include "platform/message_box.h"
#include "ui/message_dlg.h"
#include "service/clock.h"
#include "service/event_loop.h"
#include "service/relaybird_srv.h"
#include "service/service_application.h"
#include "service/service_notifier.h"

namespace relaybird {

namespace {

void StartLocalisation() {
  try {
    SetLanguageFile(LangManager->LangPath);
    LoadPhrases();
    TranslateConstants();
  } catch (...) {
    // Entries not reached stay empty; the program starts all the same.
  }
}

// A settings file that cannot be rewritten must not keep either role from
// starting: the failure goes to the error log.
void MigrateSettings() {
  try {
    MigrateDatabaseSection();
  } catch (const std::exception& Error) {
    AssertFailed(Error.what(), "Relaybird", __LINE__);
  }
}

bool DisplayReachable() {
  for (const char* Name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (const char* Value = std::getenv(Name); Value && *Value) return true;
  return false;
}

// The window, shown modally when no other window holds the instance lock.
void RunWindowRole(TStartModes Modes) {
  if (!DisplayReachable()) {
    std::fputs("relaybird: no display to open the window on (DISPLAY is not set)\n", stderr);
    return;
  }
  int Argc = 1;
  char Name[] = "relaybird";
  char* Argv[] = {Name, nullptr};
  QApplication Application(Argc, Argv);
  QApplication::setQuitOnLastWindowClosed(false);
  InstallQtMessageBoxes();
  {
    TfrmConfig Window(Modes, std::make_unique<TSystemdServiceControl>());
    if (Window.AcquireInstanceMutex()) Window.ShowModal();
  }
  SetMessageBoxHandler(nullptr);
}

// A failure of the service object or of its run goes to the error log; the
// service manager learns of it from the exit status.
int RunServiceRole(const std::vector<std::string>& Args) {
  try {
    TSteadyClock Clock;
    TEventLoop Loop(Clock);
    TRelaybirdSrv Service(Loop);
    TSystemdNotifier Notifier;
    return TServiceApplication(Service, Loop, Notifier).Run(Args);
  } catch (const std::exception& Error) {
    AssertFailed(Error.what(), "Relaybird", 83);
  }
  return 1;
}

}  // namespace

int RunProgram(const std::vector<std::string>& Args) {
  SetAssertHandler(&WriteErrorLog);
  StartLocalisation();
  MigrateSettings();
  const TStartModes Modes = ParseStartModes(Args);
  if (Modes.Empty()) return RunServiceRole(Args);
  RunWindowRole(Modes);
  return 0;
}

}  // namespace relaybird
