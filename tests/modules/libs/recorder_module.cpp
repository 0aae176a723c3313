// A protocol module for the tests, built only from the public module header
// and relaybird_core as a third-party module would be. It appends one line per
// call it receives to the file named by RB_RECORD_FILE:
//   <tag>|<export>|<arguments...>
// and behaves as the environment of the test asks:
//   RB_FAULT_<export>  "throw" raises std::runtime_error, "throw-later" does
//                      so from the second call on, "throw-other" raises an
//                      int, "null" returns null where a pointer is due
//   RB_FAULT_ONLY      the tag of the one library the faults apply to
//   RB_ACCESS          "0": AccessNewProcess answers false
//   RB_INTERVAL        the answer of GetInterval (45 otherwise)
//   RB_INTERVAL_<service>  the answer for that service, before RB_INTERVAL
//   RB_FAILED_TEXT     the text of GetFailedMessages (null otherwise)
//   RB_EXECUTE_SLEEP   milliseconds Execute takes before it returns
//   RB_WORKER          "1": Execute starts a worker that sends the rows of its
//                      dispatch; the library waits for its workers when it
//                      is unloaded
// Compile definitions: RB_TAG (names the library in the lines), RB_MODULE_ID,
// RB_SERVICES; RB_WITHOUT_TERMINATE leaves out the Terminate export;
// RB_CONTRACT_VERSION states that version in place of the headers' one;
// RB_WITH_FRAME gives services ALPHA and GAMMA the page of recorder_frame.cpp.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "relaybird/settings.h"
#include "relaybird/ora_session.h"
#include "relaybird/virtual_table.h"
#include "relaybird/module_abi.h"
#include "relaybird/base_thread.h"

using namespace relaybird;

namespace {

std::string Env(const std::string& Name) {
  const char* Value = std::getenv(Name.c_str());
  return Value ? Value : "";
}

void Record(const std::string& Line) {
  const std::string File = Env("RB_RECORD_FILE");
  if (File.empty()) return;
  std::ofstream(File, std::ios::app) << RB_TAG << "|" << Line << "\n";
}

std::string Address(const void* Pointer) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%p", Pointer);
  return Text;
}

std::string Fault(const std::string& Export) {
  const std::string Only = Env("RB_FAULT_ONLY");
  return Only.empty() || Only == RB_TAG ? Env("RB_FAULT_" + Export) : "";
}

std::map<std::string, int> CallCounts;

void MaybeThrow(const std::string& Export) {
  const std::string Mode = Fault(Export);
  const bool Later = ++CallCounts[Export] > 1;
  if (Mode == "throw" || (Mode == "throw-later" && Later)) throw std::runtime_error(Export + " refused");
  if (Mode == "throw-other") throw 42;
}

bool WantsNull(const std::string& Export) { return Fault(Export) == "null"; }

// What one dispatch was handed.
struct TDispatch {
  std::vector<TFieldDef> Fields;
  std::vector<std::vector<TFieldValue>> Rows;
  TServiceSettings Settings;
};

class TRecorderWorker : public TBaseThread {
 public:
  explicit TRecorderWorker(TDispatch Dispatch) : FDispatch(std::move(Dispatch)) {}
  void ExtraStep() override {}

 protected:
  void LoadMessages() override {
    for (const TFieldDef& Field : FDispatch.Fields) Table.AddField(Field.Name, Field.DataType, Field.Size);
    Table.Open();
    for (const auto& Row : FDispatch.Rows) Table.AppendRecord(Row);
  }
  // Takes its time, so that an unload while it runs would be noticed.
  void ProcessMessages() override {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SentCount = Table.RecordCount();
  }

 private:
  TDispatch FDispatch;
};

std::map<std::string, TDispatch> Dispatches;
std::recursive_mutex* HostLock = nullptr;

// Workers finish their letters before the library's code is unmapped.
struct TWorkers {
  std::map<std::string, TThreadLink> Links;
  ~TWorkers() {
    for (const auto& [ProcessID, Link] : Links) Link.WaitFor();
  }
} Workers;

int Context = 0;

std::string RowText(const std::vector<TFieldValue>& Row) {
  std::string Text = "row";
  for (const TFieldValue& Value : Row) Text += "|" + Value.AsString();
  return Text;
}

void TakeMessages(TDispatch& Dispatch, TVirtualTable& Table) {
  // The host's lock guards its table.
  std::lock_guard<std::recursive_mutex> Guard(*HostLock);
  Dispatch.Fields = Table.FieldDefs();
  Dispatch.Rows.clear();
  for (Table.First(); !Table.Eof(); Table.Next()) {
    std::vector<TFieldValue> Row;
    for (const TFieldDef& Field : Dispatch.Fields) Row.push_back(Table.FieldByName(Field.Name).Value());
    Dispatch.Rows.push_back(Row);
  }
}

#ifndef RB_WITH_FRAME
const TSettingsFrameClass AlphaFrame{"TfrAlphaSettings", [](QWidget*) -> TfrBaseSettings* { return nullptr; }};
#endif

const unsigned char IconBytes[] = {0x89, 'P', 'N', 'G', '\r', '\n'};

}  // namespace

RELAYBIRD_MODULE_EXPORT void GetModuleInfo(TModuleInfo* Info) {
  Record("GetModuleInfo");
  MaybeThrow("GetModuleInfo");
  if (WantsNull("GetModuleInfo")) {
    *Info = TModuleInfo{nullptr, nullptr, nullptr, nullptr, 0};
    return;
  }
  Info->Name = AllocModuleText("Записывающий модуль " RB_TAG);
  Info->ID = RB_MODULE_ID;
  Info->Description = AllocModuleText("Records every call");
  Info->Icon = CreateModuleIcon(IconBytes, sizeof IconBytes);
  Info->Reserved = 7;
}

RELAYBIRD_MODULE_EXPORT const char* const* GetServicesList() {
  Record("GetServicesList");
  MaybeThrow("GetServicesList");
  static const char* const Services[] = {RB_SERVICES, nullptr};
  return WantsNull("GetServicesList") ? nullptr : Services;
}

RELAYBIRD_MODULE_EXPORT void Initialize(const char* Service, const char* ProcessID) {
  Record(std::string("Initialize|") + Service + "|" + ProcessID);
  MaybeThrow("Initialize");
  Dispatches[ProcessID] = TDispatch{};
}

RELAYBIRD_MODULE_EXPORT void SetData(const char* Service, std::int32_t Kind, const char* ProcessID, void* Data,
                                     std::int32_t Size) {
  std::ostringstream Line;
  Line << "SetData|" << Service << "|" << Kind << "|" << ProcessID << "|" << Size << "|";
  MaybeThrow("SetData");
  TDispatch& Dispatch = Dispatches[ProcessID];
  switch (Kind) {
    case mdkSession: {
      const TOraSession* Session = SessionData(Data);
      Line << Address(Data) << "|" << Session->Server() << "|" << Session->Username() << "|"
           << Session->Schema();
      break;
    }
    case mdkMessages:
      TakeMessages(Dispatch, *MessagesData(Data));
      Line << Dispatch.Rows.size();
      break;
    case mdkSettings: {
      TServiceSettings& Settings = Dispatch.Settings;
      if (!ReadModuleSettings(Data, Size, Settings)) {
        Line << "unreadable";
        break;
      }
      Line << Settings.WinAccount << "|" << Settings.WinPassword << "|" << Settings.WinVersion << "|"
           << Settings.AccessLogPath << "|" << Settings.TempDir << "|" << Settings.AccessSysLog << "|"
           << Settings.TimeoutConnect << "|" << Settings.TimeoutDelay << "|" << Settings.TimeoutReconnect;
      break;
    }
    case mdkLock:
      HostLock = LockData(Data);
      Line << Address(Data);
      break;
    default:
      Line << "unknown";
  }
  Record(Line.str());
  if (Kind == mdkMessages) {
    for (const auto& Row : Dispatch.Rows) Record(RowText(Row));
  }
}

RELAYBIRD_MODULE_EXPORT void Execute(const char* Service, const char* ProcessID) {
  Record(std::string("Execute|") + Service + "|" + ProcessID);
  MaybeThrow("Execute");
  if (const int Sleep = std::atoi(Env("RB_EXECUTE_SLEEP").c_str()); Sleep > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(Sleep));
  }
  if (Env("RB_WORKER") != "1") return;
  auto* Worker = new TRecorderWorker(Dispatches[ProcessID]);
  Worker->Settings = Dispatches[ProcessID].Settings;
  Worker->ServiceName = Service;
  Worker->ThreadName = std::string("Worker ") + ProcessID;
  Worker->Context = &Context;
  Workers.Links.insert_or_assign(ProcessID, Worker->Start());
}

RELAYBIRD_MODULE_EXPORT bool AccessNewProcess() {
  Record("AccessNewProcess");
  MaybeThrow("AccessNewProcess");
  return Env("RB_ACCESS") != "0";
}

RELAYBIRD_MODULE_EXPORT std::int32_t GetInterval(const char* Service) {
  Record(std::string("GetInterval|") + Service);
  MaybeThrow("GetInterval");
  const std::string ForService = Env(std::string("RB_INTERVAL_") + Service);
  const std::string Interval = ForService.empty() ? Env("RB_INTERVAL") : ForService;
  return Interval.empty() ? 45 : std::atoi(Interval.c_str());
}

RELAYBIRD_MODULE_EXPORT const char* GetFailedMessages() {
  Record("GetFailedMessages");
  MaybeThrow("GetFailedMessages");
  static std::string Text;
  if (!std::getenv("RB_FAILED_TEXT")) return nullptr;
  Text = Env("RB_FAILED_TEXT");
  return Text.c_str();
}

#ifdef RB_WITH_FRAME
const TSettingsFrameClass* RecorderFrame(const std::string& Service);
void RecordFrameCall(const std::string& Line) { Record(Line); }
std::string FrameFault() { return Fault("FrameCreate"); }
#endif

RELAYBIRD_MODULE_EXPORT const TSettingsFrameClass* GetSettingsFrame(const char* Service) {
  Record(std::string("GetSettingsFrame|") + Service);
  MaybeThrow("GetSettingsFrame");
#ifdef RB_WITH_FRAME
  return RecorderFrame(Service);
#else
  return std::string(Service) == "ALPHA" ? &AlphaFrame : nullptr;
#endif
}

#ifndef RB_WITHOUT_TERMINATE
RELAYBIRD_MODULE_EXPORT void Terminate(const char* Service, const char* ProcessID) {
  Record(std::string("Terminate|") + Service + "|" + ProcessID);
  MaybeThrow("Terminate");
}
#endif

RELAYBIRD_MODULE_EXPORT std::int32_t GetActiveThreads(const char*) { return 0; }

RELAYBIRD_MODULE_EXPORT void SetSession(const char*, const char*, void*) {}

#ifdef RB_CONTRACT_VERSION
RELAYBIRD_MODULE_EXPORT std::uint32_t GetContractVersion() { return RB_CONTRACT_VERSION; }
#endif
