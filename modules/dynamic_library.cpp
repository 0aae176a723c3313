#include "relaybird/dynamic_library.h"

#include <dlfcn.h>
#include <link.h>

namespace relaybird {

bool TDynamicLibrary::Open(const std::string& FileName) {
  Close();
  FHandle = dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  const char* Reason = FHandle ? nullptr : dlerror();
  FLastError = FHandle ? "" : (Reason ? Reason : "dlopen failed");
  return FHandle != nullptr;
}

void TDynamicLibrary::Close() {
  if (FHandle) dlclose(FHandle);
  FHandle = nullptr;
}

void* TDynamicLibrary::OwnSymbol(const char* Name) const {
  if (!FHandle) return nullptr;
  void* Address = dlsym(FHandle, Name);
  if (!Address) return nullptr;
  link_map* Own = nullptr;
  if (dlinfo(FHandle, RTLD_DI_LINKMAP, &Own) != 0) return nullptr;
  Dl_info Info{};
  link_map* Defining = nullptr;
  if (dladdr1(Address, &Info, reinterpret_cast<void**>(&Defining), RTLD_DL_LINKMAP) == 0) return nullptr;
  return Defining == Own ? Address : nullptr;
}

}  // namespace relaybird
