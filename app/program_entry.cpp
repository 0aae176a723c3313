#include "app/program_entry.h"

#include <exception>

#include "app/start_modes.h"
#include "core/settings_file.h"
#include "relaybird/settings.h"
#include "diagnostics/assertion.h"
#include "diagnostics/error_log.h"
#include "relaybird/catalogue.h"
#include "i18n/lang_manager.h"
#include "i18n/translator.h"
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
  // The window role's run step has no service object to dispatch.
  if (ParseStartModes(Args).Empty()) return RunServiceRole(Args);
  return 0;
}

}  // namespace relaybird
