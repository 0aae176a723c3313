#include "app/process_objects.h"

#include "core/settings.h"
#include "diagnostics/process_log.h"
#include "i18n/lang_manager.h"
#include "i18n/translator.h"
#include "service/service_lock.h"

namespace relaybird {

TProcessObjects::TProcessObjects() {
  CreateTransFormList();
  InitSettingsFileName();
  SetLogLock(&ServiceLock);
  CreateLangManager();
}

TProcessObjects::~TProcessObjects() {
  FreeLangManager();
  FreeTransFormList();
}

}  // namespace relaybird
