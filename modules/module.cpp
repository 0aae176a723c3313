#include "modules/module.h"

#include <algorithm>
#include <utility>

#include "platform/text_encoding.h"

namespace relaybird {

namespace {

// A module's exception never leaves this call as the module's own object:
// its type may live in code that is unloaded before the handler is done.
template <typename TProc, typename... TArgs>
auto CallModule(const std::string& FileName, const char* Export, TProc Proc, TArgs... Args) {
  try {
    return Proc(Args...);
  } catch (const std::exception& Error) {
    throw EModuleError(Error.what());
  } catch (...) {
    throw EModuleError(std::string(Export) + " failed in " + FileName);
  }
}

template <typename TProc>
void Resolve(const TDynamicLibrary& Library, const char* Name, TProc& Proc) {
  Proc = reinterpret_cast<TProc>(Library.OwnSymbol(Name));
  if (!Proc) throw EModuleError("the export \"" + std::string(Name) + "\" is missing");
}

std::string VersionText(std::uint32_t Version) {
  return std::to_string(Version >> 16) + "." + std::to_string(Version & 0xFFFFu);
}

std::string TextOrEmpty(const char* Text) { return Text ? Text : ""; }

// Frees the texts of Old that Kept does not hold; a text given twice is
// freed once.
void FreeTextsNotKept(const TModuleInfo& Old, const TModuleInfo& Kept) {
  const auto IsKept = [&Kept](const char* Text) {
    return Text == Kept.Name || Text == Kept.Description;
  };
  if (Old.Name && !IsKept(Old.Name)) FreeModuleText(Old.Name);
  if (Old.Description && Old.Description != Old.Name && !IsKept(Old.Description)) {
    FreeModuleText(Old.Description);
  }
}

}  // namespace

TModule::TModule(std::string FileName) : FFileName(std::move(FileName)) {}

TModule::~TModule() {
  if (IsOn()) TerminateAll();
  Unload();
}

bool TModule::Load() {
  Unload();
  FLoadError.clear();
  try {
    if (!FLibrary.Open(FFileName)) throw EModuleError("not a loadable library: " + FLibrary.LastError());
    ResolveEntryPoints();
    CheckContractVersion();
    GetInfo();
    FIcon.Take(FInfo.Icon);
    ReadServices();
    return true;
  } catch (const std::exception& Error) {
    FLoadError = Error.what();
  } catch (...) {
    FLoadError = "unknown failure";
  }
  Unload();
  return false;
}

void TModule::ResolveEntryPoints() {
  Resolve(FLibrary, "GetModuleInfo", FEntry.GetModuleInfo);
  Resolve(FLibrary, "Initialize", FEntry.Initialize);
  Resolve(FLibrary, "Terminate", FEntry.Terminate);
  Resolve(FLibrary, "SetData", FEntry.SetData);
  Resolve(FLibrary, "GetServicesList", FEntry.GetServicesList);
  Resolve(FLibrary, "Execute", FEntry.Execute);
  Resolve(FLibrary, "GetActiveThreads", FEntry.GetActiveThreads);
  Resolve(FLibrary, "AccessNewProcess", FEntry.AccessNewProcess);
  Resolve(FLibrary, "GetInterval", FEntry.GetInterval);
  Resolve(FLibrary, "SetSession", FEntry.SetSession);
  Resolve(FLibrary, "GetSettingsFrame", FEntry.GetSettingsFrame);
  Resolve(FLibrary, "GetFailedMessages", FEntry.GetFailedMessages);
}

// A module from before the version export is taken as built for 1.0.
void TModule::CheckContractVersion() {
  const auto Proc =
      reinterpret_cast<TGetContractVersionProc>(FLibrary.OwnSymbol("GetContractVersion"));
  if (!Proc) return;
  const std::uint32_t Version = CallModule(FFileName, "GetContractVersion", Proc);
  if ((Version >> 16) != RELAYBIRD_CONTRACT_VERSION_MAJOR) {
    throw EModuleError("built for contract version " + VersionText(Version) +
                       ", this host has " + VersionText(RELAYBIRD_CONTRACT_VERSION));
  }
}

void TModule::ResetLists() {
  FServices.clear();
  FProcessIDs.clear();
  FServiceFrames.clear();
}

void TModule::ResetEntryPoints() {
  FLoaded = false;
  FEntry = TEntryPoints{};
}

void TModule::ReleaseInfo() {
  FreeTextsNotKept(FInfo, TModuleInfo{});
  if (FInfo.Icon != FIcon.Handle()) DestroyModuleIcon(FInfo.Icon);
  FInfo = TModuleInfo{};
}

// The texts and icons are blocks of the process heap, not of the library, so
// freeing them does not depend on the library being open.
void TModule::Unload() {
  ResetEntryPoints();
  ResetLists();
  ReleaseInfo();
  FIcon.Clear();
  FLibrary.Close();
}

std::string TModule::Name() const { return TextOrEmpty(FInfo.Name); }
std::string TModule::ID() const { return TextOrEmpty(FInfo.ID); }
std::string TModule::Description() const { return TextOrEmpty(FInfo.Description); }

std::string TModule::ServiceName(int Index) const {
  if (Index < 0 || Index >= ServiceCount()) return "";
  return FServices[static_cast<std::size_t>(Index)];
}

void TModule::SetLoaded(bool Value) {
  if (!Value) TerminateAll();
  FLoaded = Value;
}

// Switch-off and release must go through whatever a module does in
// Terminate; the ids are of no use afterwards.
void TModule::TerminateAll() noexcept {
  for (const std::string& Service : FServices) {
    for (const std::string& ProcessID : FProcessIDs) {
      try {
        Terminate(Service, ProcessID);
      } catch (...) {
        // The next pair is still terminated.
      }
    }
  }
  FProcessIDs.clear();
}

void TModule::RecordProcessID(const std::string& ProcessID) {
  if (std::find(FProcessIDs.begin(), FProcessIDs.end(), ProcessID) != FProcessIDs.end()) return;
  FProcessIDs.push_back(ProcessID);
  if (FProcessIDs.size() > MaxProcessIDs) FProcessIDs.erase(FProcessIDs.begin());
}

const TModuleInfo& TModule::GetInfo() {
  if (!FLibrary.IsOpen() || !FEntry.GetModuleInfo) return FInfo;
  TModuleInfo Fresh{};
  CallModule(FFileName, "GetModuleInfo", FEntry.GetModuleInfo, &Fresh);
  FreeTextsNotKept(FInfo, Fresh);
  if (FInfo.Icon != Fresh.Icon && FInfo.Icon != FIcon.Handle()) DestroyModuleIcon(FInfo.Icon);
  FInfo = Fresh;
  return FInfo;
}

void TModule::ReadServices() {
  FServices.clear();
  if (!FLibrary.IsOpen() || !FEntry.GetServicesList) return;
  const char* const* Names = CallModule(FFileName, "GetServicesList", FEntry.GetServicesList);
  for (; Names && *Names; ++Names) {
    FServices.emplace_back(*Names);
    const auto Frame = std::find_if(FServiceFrames.begin(), FServiceFrames.end(),
                                    [Names](const TServiceFrame& Entry) {
                                      return SameText(Entry.ServiceName, *Names);
                                    });
    if (Frame == FServiceFrames.end()) {
      FServiceFrames.push_back({*Names, nullptr});
    } else {
      Frame->FrameClass = nullptr;
    }
  }
}

bool TModule::AccessNewProcess() {
  if (!IsOn()) return false;
  return CallModule(FFileName, "AccessNewProcess", FEntry.AccessNewProcess);
}

std::int32_t TModule::GetInterval(const std::string& Service) {
  if (!IsOn()) return 60;
  return CallModule(FFileName, "GetInterval", FEntry.GetInterval, Service.c_str());
}

void TModule::Initialize(const std::string& Service, const std::string& ProcessID) {
  if (!FLibrary.IsOpen() && !Load()) return;
  RecordProcessID(ProcessID);
  CallModule(FFileName, "Initialize", FEntry.Initialize, Service.c_str(), ProcessID.c_str());
}

void TModule::SetData(const std::string& Service, const std::string& ProcessID, TModuleDataKind Kind,
                      void* Data, std::int32_t Size) {
  if (!IsOn()) return;
  CallModule(FFileName, "SetData", FEntry.SetData, Service.c_str(), static_cast<std::int32_t>(Kind),
             ProcessID.c_str(), Data, Size);
}

void TModule::Execute(const std::string& Service, const std::string& ProcessID) {
  if (!IsOn()) return;
  CallModule(FFileName, "Execute", FEntry.Execute, Service.c_str(), ProcessID.c_str());
}

void TModule::Terminate(const std::string& Service, const std::string& ProcessID) {
  if (!IsOn()) return;
  CallModule(FFileName, "Terminate", FEntry.Terminate, Service.c_str(), ProcessID.c_str());
}

const TFailedMessageList& TModule::GetFailedMessages() {
  FFailedMessages.clear();
  if (!IsOn()) return FFailedMessages;
  const char* Text = CallModule(FFileName, "GetFailedMessages", FEntry.GetFailedMessages);
  if (Text) FFailedMessages = ParseFailedMessages(Text);
  return FFailedMessages;
}

const TSettingsFrameClass* TModule::GetSettingsFrame(const std::string& Service) {
  if (!FLibrary.IsOpen()) return nullptr;
  const auto Frame =
      std::find_if(FServiceFrames.begin(), FServiceFrames.end(),
                   [&Service](const TServiceFrame& Entry) { return SameText(Entry.ServiceName, Service); });
  if (Frame == FServiceFrames.end()) return nullptr;
  if (!Frame->FrameClass) {
    Frame->FrameClass =
        CallModule(FFileName, "GetSettingsFrame", FEntry.GetSettingsFrame, Frame->ServiceName.c_str());
  }
  return Frame->FrameClass;
}

}  // namespace relaybird
