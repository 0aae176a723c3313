#include "modules/module_icon.h"

namespace relaybird {

void TModuleIcon::Take(TModuleIconHandle Handle) {
  if (Handle == FHandle) return;
  if (FHandle) DestroyModuleIcon(FHandle);
  FHandle = Handle;
}

}  // namespace relaybird
