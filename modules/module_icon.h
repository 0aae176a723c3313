#pragma once
// The icon object of a module: it owns the icon handle it holds.
#include <cstddef>

#include "relaybird/module_abi.h"

#include "relaybird/export.h"

namespace relaybird {

class RELAYBIRD_API TModuleIcon {
 public:
  TModuleIcon() = default;
  ~TModuleIcon() { Clear(); }
  TModuleIcon(const TModuleIcon&) = delete;
  TModuleIcon& operator=(const TModuleIcon&) = delete;

  // Takes Handle (null for none), destroying the one held before.
  void Take(TModuleIconHandle Handle);
  void Clear() { Take(nullptr); }

  TModuleIconHandle Handle() const { return FHandle; }
  bool Empty() const { return FHandle == nullptr; }
  // The image bytes; null and 0 when empty.
  const void* Data() const { return FHandle ? ModuleIconData(FHandle) : nullptr; }
  std::size_t Size() const { return FHandle ? ModuleIconSize(FHandle) : 0; }

 private:
  TModuleIconHandle FHandle = nullptr;
};

}  // namespace relaybird
