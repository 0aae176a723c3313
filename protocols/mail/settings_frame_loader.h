#pragma once
// The e-mail settings page lives in its own library beside the executable,
// linked with the window's toolkit; the module opens it on the first request
// for the page and closes it when the module itself is unloaded. The window
// removes its pages before it unloads a module, so no frame outlives the
// code it runs. User-interface thread only.
#include <string>

#include "relaybird/dynamic_library.h"
#include "relaybird/module_abi.h"

namespace relaybird::mail {

// The library's one export.
extern const char* const FrameEntryName;
using TFrameEntryProc = const TSettingsFrameClass* (*)();

class TSettingsFrameLoader {
 public:
  // FileName: the library's full path.
  explicit TSettingsFrameLoader(std::string FileName) : FFileName(std::move(FileName)) {}

  // Raises std::runtime_error with the loader's reason when the library
  // cannot be opened or lacks the export.
  const TSettingsFrameClass* FrameClass();

  // The library's path for the module at ModulePath: beside the executable,
  // one folder above Protocols/.
  static std::string LibraryBesideModule(const std::string& ModulePath);

 private:
  std::string FFileName;
  TDynamicLibrary FLibrary;
  const TSettingsFrameClass* FClass = nullptr;
};

}  // namespace relaybird::mail
