#pragma once
// The protocol modules found in "Protocols/" beside the executable.
// Not thread-safe: a manager and its modules belong to the thread that made
// them (the service's, or the window's).
#include <memory>
#include <string>
#include <vector>

#include "modules/module.h"

#include "relaybird/export.h"

namespace relaybird {

class RELAYBIRD_API TModuleManager {
 public:
  static constexpr const char* ModuleMask = "*.so";

  // Loads every library of ProtocolsDir() and reads the on/off states.
  TModuleManager();
  // Switches every module off and releases it.
  ~TModuleManager();
  TModuleManager(const TModuleManager&) = delete;
  TModuleManager& operator=(const TModuleManager&) = delete;

  // ExecutableDir() + "Protocols/".
  static std::string ProtocolsDir();

  int Count() const { return static_cast<int>(FModules.size()); }
  // Null when Index is out of range.
  TModule* Items(int Index) const;
  // The first module whose full path, or else whose file name, equals that
  // of FileName without regard to case; null when none does.
  TModule* FindModule(const std::string& FileName) const;

  // A library already held under the same file name is replaced by the one
  // found later. False when the scan broke off; the modules added so far stay.
  bool ScanModules(const std::string& Mask);
  // Nothing when the file name is held already; a library that does not load
  // is left out.
  void AddModule(const std::string& FileName);
  void RemoveModule(const std::string& FileName);
  // Section "Protocols" of the settings file: one key per module ID, 1 on,
  // 0 off; a missing key is written as 0. Any failure leaves every module off.
  void ReadLoadedStates();
  void Clear();

 private:
  std::vector<std::unique_ptr<TModule>> FModules;
};

}  // namespace relaybird
