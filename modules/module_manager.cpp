#include "modules/module_manager.h"


#include <algorithm>

#include "core/file_helpers.h"
#include "diagnostics/assertion.h"
#include "relaybird/settings.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"
#include "platform/text_encoding.h"

namespace relaybird {

namespace {

constexpr const char* ProtocolsSection = "Protocols";

std::vector<std::string> SplitFileList(const std::string& List) {
  std::vector<std::string> Names;
  std::size_t Start = 0;
  while (Start <= List.size()) {
    std::size_t End = List.find("\r\n", Start);
    if (End == std::string::npos) End = List.size();
    if (End > Start) Names.push_back(List.substr(Start, End - Start));
    Start = End + 2;
  }
  return Names;
}

}  // namespace

TModuleManager::TModuleManager() {
  ScanModules(ModuleMask);
  ReadLoadedStates();
}

TModuleManager::~TModuleManager() { Clear(); }

std::string TModuleManager::ProtocolsDir() { return ExecutableDir() + "Protocols/"; }

TModule* TModuleManager::Items(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return FModules[static_cast<std::size_t>(Index)].get();
}

TModule* TModuleManager::FindModule(const std::string& FileName) const {
  const std::string ShortName = ExtractFileName(FileName);
  for (const auto& Module : FModules) {
    if (SameText(Module->FileName(), FileName) || SameText(ExtractFileName(Module->FileName()), ShortName)) {
      return Module.get();
    }
  }
  return nullptr;
}

bool TModuleManager::ScanModules(const std::string& Mask) {
  try {
    for (const std::string& FileName : SplitFileList(FindFiles(ProtocolsDir(), Mask))) {
      RemoveModule(FileName);
      AddModule(FileName);
    }
    return true;
  } catch (...) {
    return false;
  }
}

void TModuleManager::AddModule(const std::string& FileName) {
  if (FindModule(FileName)) return;
  auto Module = std::make_unique<TModule>(FileName);
  if (Module->Load()) {
    FModules.push_back(std::move(Module));
  } else {
    // The administrator's only trace of a library left out.
    AssertFailed("Protocol module " + FileName + " is not used: " + Module->LoadError(), __FILE__,
                 __LINE__);
  }
}

void TModuleManager::RemoveModule(const std::string& FileName) {
  TModule* const Module = FindModule(FileName);
  if (!Module) return;
  Module->SetLoaded(false);
  FModules.erase(std::find_if(FModules.begin(), FModules.end(),
                              [Module](const auto& Held) { return Held.get() == Module; }));
}

void TModuleManager::ReadLoadedStates() {
  for (const auto& Module : FModules) Module->SetLoaded(false);
  try {
    TIniFile Settings(SettingsFileName);
    const bool SectionFound = Settings.SectionExists(ProtocolsSection);
    for (const auto& Module : FModules) {
      if (SectionFound) Module->GetInfo();
      // Without an ID there is no key to switch the module on with.
      const std::string Key = Module->ID();
      if (Key.empty()) continue;
      const bool KeyFound = SectionFound && Settings.ValueExists(ProtocolsSection, Key);
      if (KeyFound) {
        Module->SetLoaded(Settings.ReadBool(ProtocolsSection, Key, false));
      } else {
        Settings.WriteBool(ProtocolsSection, Key, false);
      }
    }
  } catch (...) {
    for (const auto& Module : FModules) Module->SetLoaded(false);
  }
}

void TModuleManager::Clear() {
  while (!FModules.empty()) {
    FModules.front()->SetLoaded(false);
    FModules.erase(FModules.begin());
  }
}

}  // namespace relaybird
