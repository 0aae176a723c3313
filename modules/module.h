#pragma once
// One protocol module library and guarded calls of its twelve exports.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "relaybird/dynamic_library.h"
#include "modules/failed_messages.h"
#include "modules/module_icon.h"
#include "relaybird/module_abi.h"

namespace relaybird {

// The failure of a call into a module, with the module's own message.
class RELAYBIRD_API EModuleError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The service names of one module, in the module's order.
using TServicesList = std::vector<std::string>;

// A service name with the settings frame cached for it (null until asked, or
// when the module has none).
struct TServiceFrame {
  std::string ServiceName;
  const TSettingsFrameClass* FrameClass = nullptr;
};

class RELAYBIRD_API TModule {
 public:
  // The ids of this many dispatches, the newest, are kept for Terminate.
  static constexpr std::size_t MaxProcessIDs = 100;

  // Nothing is loaded until Load.
  explicit TModule(std::string FileName);
  // Terminate for every service and recorded process id while the module is
  // on, then the icon, the info texts and the library are released.
  ~TModule();
  TModule(const TModule&) = delete;
  TModule& operator=(const TModule&) = delete;

  // Opens the library, resolves the twelve exports, checks the contract
  // version, reads the info and the services; switched off. False, with
  // nothing loaded and the reason in LoadError, when the file is no library,
  // an export is missing, the version does not fit or a call fails.
  bool Load();
  // Why the last Load failed; "" after one that succeeded.
  const std::string& LoadError() const { return FLoadError; }

  const std::string& FileName() const { return FFileName; }
  void* Handle() const { return FLibrary.Handle(); }
  const TModuleInfo& Info() const { return FInfo; }
  // The texts of Info; "" for a null pointer.
  std::string Name() const;
  std::string ID() const;
  std::string Description() const;
  const TModuleIcon& Icon() const { return FIcon; }
  bool Loaded() const { return FLoaded; }
  const TServicesList& Services() const { return FServices; }
  const std::vector<std::string>& ProcessIDs() const { return FProcessIDs; }
  const std::vector<TServiceFrame>& ServiceFrames() const { return FServiceFrames; }
  const TFailedMessageList& FailedMessages() const { return FFailedMessages; }

  int ServiceCount() const { return static_cast<int>(FServices.size()); }
  // "" when Index is out of range.
  std::string ServiceName(int Index) const;

  // Switching off issues Terminate for every service and recorded process id
  // first (failures are ignored) and forgets the ids.
  void SetLoaded(bool Value);

  // The guarded calls: each reaches the library only when it is loaded and,
  // where said, switched on; otherwise the fallback applies. A failure inside
  // the module raises EModuleError.

  // Rereads Info, releasing the texts of the previous one; Info unchanged
  // without a library.
  const TModuleInfo& GetInfo();
  // Refills Services; empty without a library.
  void ReadServices();
  // Switched on; false otherwise.
  bool AccessNewProcess();
  // Switched on; 60 otherwise.
  std::int32_t GetInterval(const std::string& Service);
  // Loads the library first when none is loaded; records ProcessID.
  void Initialize(const std::string& Service, const std::string& ProcessID);
  // Switched on.
  void SetData(const std::string& Service, const std::string& ProcessID, TModuleDataKind Kind,
               void* Data, std::int32_t Size);
  void Execute(const std::string& Service, const std::string& ProcessID);
  void Terminate(const std::string& Service, const std::string& ProcessID);
  // Switched on: the module's report, parsed; otherwise emptied.
  const TFailedMessageList& GetFailedMessages();
  // Loaded; null for a service the module does not list. The module is asked
  // until it gives a frame, which is kept until the services are read again.
  const TSettingsFrameClass* GetSettingsFrame(const std::string& Service);

 private:
  struct TEntryPoints {
    TGetModuleInfoProc GetModuleInfo = nullptr;
    TInitializeProc Initialize = nullptr;
    TTerminateProc Terminate = nullptr;
    TSetDataProc SetData = nullptr;
    TGetServicesListProc GetServicesList = nullptr;
    TExecuteProc Execute = nullptr;
    TGetActiveThreadsProc GetActiveThreads = nullptr;
    TAccessNewProcessProc AccessNewProcess = nullptr;
    TGetIntervalProc GetInterval = nullptr;
    TSetSessionProc SetSession = nullptr;
    TGetSettingsFrameProc GetSettingsFrame = nullptr;
    TGetFailedMessagesProc GetFailedMessages = nullptr;
  };

  void ResolveEntryPoints();
  void CheckContractVersion();
  void ResetLists();
  void ResetEntryPoints();
  void ReleaseInfo();
  void Unload();
  bool IsOn() const { return FLibrary.IsOpen() && FLoaded; }
  void TerminateAll() noexcept;
  void RecordProcessID(const std::string& ProcessID);

  std::string FFileName;
  std::string FLoadError;
  TDynamicLibrary FLibrary;
  TModuleInfo FInfo{};
  TModuleIcon FIcon;
  bool FLoaded = false;
  TServicesList FServices;
  std::vector<std::string> FProcessIDs;
  std::vector<TServiceFrame> FServiceFrames;
  TFailedMessageList FFailedMessages;
  TEntryPoints FEntry;
};

}  // namespace relaybird
