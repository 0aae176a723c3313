#include "app/process_objects.h"

#include "core/settings_file.h"
#include "relaybird/settings.h"
#include "relaybird/process_log.h"
#include "i18n/lang_manager.h"
#include "i18n/translator.h"
#include "service/service_lock.h"
#include "threads/threads_manager.h"

namespace relaybird {

TProcessObjects::TProcessObjects() {
  CreateTransFormList();
  CreateThreadsManager();
  InitSettingsFileName();
  SetLogLock(&ServiceLock);
  CreateLangManager();
}

TProcessObjects::~TProcessObjects() {
  FreeLangManager();
  FreeThreadsManager();
  FreeTransFormList();
}

}  // namespace relaybird
