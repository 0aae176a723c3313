#pragma once
// The contract between Relaybird and a protocol module.
//
// A protocol module is a shared object (a CMake MODULE library) placed in the
// folder "Protocols/" beside the relaybird executable. It is built against this
// header and links the shared library relaybird_core, which holds the classes
// the host hands over (session, message table, lock) and the worker-thread
// base relaybird/base_thread.h. The host opens it with dlopen(RTLD_NOW |
// RTLD_LOCAL) and uses it only when all twelve functions declared at the end
// of this header are exported by the module itself, with C linkage and
// default visibility; a library lacking one of them is left out.
//
// Texts are zero-terminated UTF-8. Texts the host passes in are valid only
// during the call; an empty text is passed as "", never as null.
//
// Calls a module receives, all on one host thread at a time:
//   - at load: GetModuleInfo, GetServicesList; GetModuleInfo again whenever
//     the host rereads the module's name, ID or description;
//   - per dispatch of one service on one database connection, with a process
//     id new for that dispatch (32 upper-case hexadecimal digits):
//       GetFailedMessages (while the host holds the lock of mdkLock),
//       AccessNewProcess, Initialize, four SetData calls with the kinds
//       mdkSession, mdkLock, mdkSettings, mdkMessages in that order, Execute;
//   - GetInterval when a service is scheduled;
//   - GetSettingsFrame by the configuration window, once per service after
//     each load;
//   - Terminate(service, id) when the module is switched off or released:
//     for every service of the module and every process id the host recorded
//     from Initialize since the last switch-off (the newest 100 at most). A
//     module must accept a pair it does not know, or whose process has
//     already ended, and ignore it;
//   - GetActiveThreads and SetSession are never called but must be exported.
//
// A C++ exception leaving an export is caught by the host and treated as the
// failure of that call; the host keeps no object of the module's exception.
//
// The host may unload the library (dlclose) at any time after its last call.
// A module whose threads run its code must have them ended by then: end and
// wait for them in Terminate and in the library's own destructor (a static
// object's destructor runs at dlclose). The finish signal of a worker built on
// TBaseThread (TThreadLink::WaitFor) tells when the worker's code is done.
//
// Build a module with GCC's -fno-gnu-unique: a unique symbol (an inline static
// of a template) keeps the library mapped after dlclose, so it would never
// really be unloaded or loaded afresh. relaybird_add_module() of the CMake
// package (find_package(Relaybird)) does this and everything else a module
// library needs.
//
// Versions. RELAYBIRD_CONTRACT_VERSION_MAJOR changes when a change of this
// contract would break modules built before it (an export, an argument, a
// record layout or the meaning of a call changes); MINOR when it only adds
// what older modules do not need. A module states the version it was built
// with through a thirteenth, optional export, GetContractVersion
// (RELAYBIRD_DEFINE_CONTRACT_VERSION() defines it; relaybird_add_module adds
// it by itself). The host refuses a module whose major version differs from
// its own, and loads a module without the export as one built for 1.0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "relaybird/export.h"

#define RELAYBIRD_CONTRACT_VERSION_MAJOR 1
#define RELAYBIRD_CONTRACT_VERSION_MINOR 0
// Major version in the high 16 bits, minor in the low 16 bits.
#define RELAYBIRD_CONTRACT_VERSION \
  ((RELAYBIRD_CONTRACT_VERSION_MAJOR << 16) | RELAYBIRD_CONTRACT_VERSION_MINOR)

class QWidget;

namespace relaybird {

class TOraSession;
class TVirtualTable;
class TfrBaseSettings;
struct TServiceSettings;

// An image for the module (PNG or any format Qt reads) in a block made by
// CreateModuleIcon. See TModuleInfo::Icon for who frees it.
struct TModuleIconBlock {
  std::size_t Size;  // bytes of image data, which follow this header
};
using TModuleIconHandle = TModuleIconBlock*;

// Null when memory runs out (the host reads that as "no icon").
inline TModuleIconHandle CreateModuleIcon(const void* Data, std::size_t Size) {
  void* Block = std::malloc(sizeof(TModuleIconBlock) + Size);
  if (!Block) return nullptr;
  auto* Icon = static_cast<TModuleIconHandle>(Block);
  Icon->Size = Size;
  if (Size > 0) std::memcpy(Icon + 1, Data, Size);
  return Icon;
}
inline const void* ModuleIconData(TModuleIconHandle Icon) { return Icon + 1; }
inline std::size_t ModuleIconSize(TModuleIconHandle Icon) { return Icon->Size; }
inline void DestroyModuleIcon(TModuleIconHandle Icon) { std::free(Icon); }

// Name and Description of TModuleInfo are texts the host frees: made with
// AllocModuleText (4 bytes holding the length in bytes ahead of the
// characters, all in the one malloc heap of the process) and released by the
// host with FreeModuleText. Null when memory runs out.
inline char* AllocModuleText(const char* Text) {
  const std::size_t Length = Text ? std::strlen(Text) : 0;
  auto* Block = static_cast<char*>(std::malloc(sizeof(std::uint32_t) + Length + 1));
  if (!Block) return nullptr;
  const auto Stored = static_cast<std::uint32_t>(Length);
  std::memcpy(Block, &Stored, sizeof Stored);
  char* Characters = Block + sizeof(std::uint32_t);
  if (Length > 0) std::memcpy(Characters, Text, Length);
  Characters[Length] = '\0';
  return Characters;
}
inline void FreeModuleText(char* Text) {
  if (Text) std::free(Text - sizeof(std::uint32_t));
}

// What a module says about itself. On every GetModuleInfo call the module
// fills all five fields afresh.
struct TModuleInfo {
  // Display name: a new AllocModuleText block on every call. The host frees
  // the previous one when it rereads the info and the last one when it
  // releases the module.
  char* Name;
  // The module's key in section "Protocols" of Relaybird.ini (its on/off
  // switch): owned by the module, valid while the library is loaded. A module
  // with a null or empty ID stays switched off.
  const char* ID;
  // Description shown by the configuration window: handled like Name.
  char* Description;
  // A new CreateModuleIcon block on every call, or null. The host owns every
  // handle it receives: it keeps the one of the load until it releases the
  // module and destroys the others at once.
  TModuleIconHandle Icon;
  // Copied, never interpreted.
  std::uint32_t Reserved;
};
static_assert(offsetof(TModuleInfo, ID) == sizeof(void*) &&
                  offsetof(TModuleInfo, Description) == 2 * sizeof(void*) &&
                  offsetof(TModuleInfo, Icon) == 3 * sizeof(void*) &&
                  offsetof(TModuleInfo, Reserved) == 4 * sizeof(void*),
              "TModuleInfo keeps its five fields in order at pointer width");

// What SetData hands over; Data and Size per kind:
enum TModuleDataKind : std::int32_t {
  // The host's TOraSession (relaybird/ora_session.h) of the connection being
  // served, connected; Size 36. It belongs to the host and stays valid until
  // the service stops, which releases the modules first. Sessions are not
  // thread-safe: a worker should use a session of its own.
  mdkSession = 0,
  // The host's TVirtualTable (relaybird/virtual_table.h) holding the batch of at
  // most 20 letters; Size 4. Read it during this call, under the lock of
  // mdkLock: the host empties it as soon as SetData returns.
  mdkMessages = 1,
  // The service settings as a block: a 36-byte header of five 4-byte byte
  // offsets (from the block's start) to zero-terminated UTF-16 texts
  // (WinAccount, WinPassword, WinVersion, AccessLogPath, TempDir),
  // AccessSysLog as one byte and three filler bytes, then TimeoutConnect,
  // TimeoutDelay, TimeoutReconnect as 32-bit little-endian integers; the
  // texts follow in the same block. Size 36, the header's size. Read it with
  // ReadModuleSettings below during this call.
  mdkSettings = 2,
  // The host's std::recursive_mutex ServiceLock, which guards the message
  // table and every process-log append; Size 4. Valid until the service
  // stops. Hold it briefly: the whole service waits for it.
  mdkLock = 3,
};

inline TOraSession* SessionData(void* Data) { return static_cast<TOraSession*>(Data); }
inline TVirtualTable* MessagesData(void* Data) { return static_cast<TVirtualTable*>(Data); }
inline std::recursive_mutex* LockData(void* Data) { return static_cast<std::recursive_mutex*>(Data); }
// Fills Settings (relaybird/settings.h) from the block of an mdkSettings call;
// false when Data is null, Size is below 36 or an offset leads nowhere.
// Defined in relaybird_core.
RELAYBIRD_API bool ReadModuleSettings(const void* Data, std::int32_t Size,
                                      TServiceSettings& Settings);

// A settings page the module offers for one of its services: the class name
// and a factory making the frame (derived from TfrBaseSettings of
// relaybird_ui) with the given owner, which may be null. The descriptor must
// stay valid while the library is loaded.
struct TSettingsFrameClass {
  const char* ClassName;
  TfrBaseSettings* (*Create)(QWidget* Owner);
};

}  // namespace relaybird

#define RELAYBIRD_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

// The twelve exports. Define each of them in the module with exactly this
// signature and RELAYBIRD_MODULE_EXPORT.

// Fills all five fields of *Info (see TModuleInfo).
RELAYBIRD_MODULE_EXPORT void GetModuleInfo(relaybird::TModuleInfo* Info);
// The service names: consecutive text pointers ending with a null pointer,
// owned by the module, valid while the library is loaded. A module without
// services returns an array holding only the null pointer. The host copies
// the names at once.
RELAYBIRD_MODULE_EXPORT const char* const* GetServicesList();
// A dispatch of Service begins under ProcessID.
RELAYBIRD_MODULE_EXPORT void Initialize(const char* Service, const char* ProcessID);
// Kind is a TModuleDataKind; see there for Data and Size. Take now what the
// dispatch needs.
RELAYBIRD_MODULE_EXPORT void SetData(const char* Service, std::int32_t Kind, const char* ProcessID,
                                     void* Data, std::int32_t Size);
// Starts the delivery of the dispatch and returns without waiting for it.
RELAYBIRD_MODULE_EXPORT void Execute(const char* Service, const char* ProcessID);
// False while the module cannot take another dispatch: the host skips it.
RELAYBIRD_MODULE_EXPORT bool AccessNewProcess();
// Seconds until the next dispatch of Service.
RELAYBIRD_MODULE_EXPORT std::int32_t GetInterval(const char* Service);
// The identifiers of the letters the module failed to deliver, each followed
// by its failure count, one per line (lines ended by CR LF, CR or LF):
// "id" CR LF "count" CR LF ... A listed id is taken in again with its count:
// from 1 to 4 it is prepared again, with 5 or more it is left out; 0 only
// releases it. Null or "" when there is nothing to report. The text is owned
// by the module and must stay valid until the next call.
RELAYBIRD_MODULE_EXPORT const char* GetFailedMessages();
// The settings page of Service, or null when it has none.
RELAYBIRD_MODULE_EXPORT const relaybird::TSettingsFrameClass* GetSettingsFrame(const char* Service);
// Stops the dispatch of Service under ProcessID if it still runs.
RELAYBIRD_MODULE_EXPORT void Terminate(const char* Service, const char* ProcessID);
// Never called by the host: the number of workers running for Service.
RELAYBIRD_MODULE_EXPORT std::int32_t GetActiveThreads(const char* Service);
// Never called by the host: hands a session to the dispatch ProcessID.
RELAYBIRD_MODULE_EXPORT void SetSession(const char* Service, const char* ProcessID, void* Session);

// Optional: the RELAYBIRD_CONTRACT_VERSION the module was built with.
RELAYBIRD_MODULE_EXPORT std::uint32_t GetContractVersion();
#define RELAYBIRD_DEFINE_CONTRACT_VERSION() \
  RELAYBIRD_MODULE_EXPORT std::uint32_t GetContractVersion() { return RELAYBIRD_CONTRACT_VERSION; }

namespace relaybird {

// The host resolves the exports into pointers of these types.
using TGetModuleInfoProc = decltype(&::GetModuleInfo);
using TGetServicesListProc = decltype(&::GetServicesList);
using TInitializeProc = decltype(&::Initialize);
using TSetDataProc = decltype(&::SetData);
using TExecuteProc = decltype(&::Execute);
using TAccessNewProcessProc = decltype(&::AccessNewProcess);
using TGetIntervalProc = decltype(&::GetInterval);
using TGetFailedMessagesProc = decltype(&::GetFailedMessages);
using TGetSettingsFrameProc = decltype(&::GetSettingsFrame);
using TTerminateProc = decltype(&::Terminate);
using TGetActiveThreadsProc = decltype(&::GetActiveThreads);
using TSetSessionProc = decltype(&::SetSession);
using TGetContractVersionProc = decltype(&::GetContractVersion);

}  // namespace relaybird
