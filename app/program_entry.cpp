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
#include "platform/service_dispatcher.h"

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

void RunServiceRole() {
  if (!StartedByServiceManager()) ReportDispatcherCannotStart();
}

}  // namespace

int RunProgram(const std::vector<std::string>& Args) {
  SetAssertHandler(&WriteErrorLog);
  StartLocalisation();
  MigrateSettings();
  // The window role's run step has no service object to dispatch.
  if (ParseStartModes(Args).Empty()) RunServiceRole();
  return 0;
}

}  // namespace relaybird
