// An example protocol module: the service "FILE" delivers each letter as one
// line appended to a text file. It shows the whole contract a module meets;
// a real channel would deliver on a worker thread (see TBaseThread) instead
// of inside Execute.
//
// Settings, in section "FILE" of Relaybird.ini (written with their defaults
// when missing):
//   Path      the file the letters are appended to (default: letters.txt in
//             the service's temporary folder)
//   Interval  seconds between two dispatches (default 60)
//
// Line of one letter, fields separated by a tab, line breaks inside a field
// written as "||":
//   id_mesg  id_type  totarget  mesg_subject  mesg_body
// A letter that cannot be written is reported failed; the host prepares it
// again until it has failed five times.
#include <cstdint>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "relaybird/ini_file.h"
#include "relaybird/module_abi.h"
#include "relaybird/settings.h"
#include "relaybird/virtual_table.h"

using namespace relaybird;

namespace {

constexpr const char* ModuleID = "FILE";
constexpr const char* ServiceName = "FILE";
const char* const Services[] = {ServiceName, nullptr};

struct TLetter {
  std::string Id;
  std::string Line;
};

// The letters of each dispatch, between SetData and Execute, and the failure
// counts; the host calls a module from one thread at a time, so no lock.
std::map<std::string, std::vector<TLetter>> Pending;
std::recursive_mutex* HostLock = nullptr;
std::string TempDir;
std::map<std::string, int> FailureCounts;
std::string FailedText;

std::string OneLine(std::string Text) {
  std::string Result;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') continue;
    if (Text[i] == '\r' || Text[i] == '\n') {
      Result += "||";
    } else {
      Result += Text[i] == '\t' ? ' ' : Text[i];
    }
  }
  return Result;
}

// The settings are read afresh for every dispatch: the configuration window
// may have changed them.
std::string SettingString(const std::string& Key, const std::string& Default) {
  TIniFile Ini(SettingsFileName);
  if (!Ini.ValueExists(ModuleID, Key)) Ini.WriteString(ModuleID, Key, Default);
  return Ini.ReadString(ModuleID, Key, Default);
}

std::string TargetFile() {
  const std::string Folder = TempDir.empty() ? std::string() : TempDir + ServiceName + "/";
  return SettingString("Path", Folder + "letters.txt");
}

void TakeLetters(const std::string& ProcessID, TVirtualTable& Table) {
  std::vector<TLetter>& Letters = Pending[ProcessID];
  for (Table.First(); !Table.Eof(); Table.Next()) {
    const std::string Id = Table.FieldByName("id_mesg").AsString();
    Letters.push_back({Id, OneLine(Id) + "\t" + Table.FieldByName("id_type").AsString() + "\t" +
                               OneLine(Table.FieldByName("totarget").AsString()) + "\t" +
                               OneLine(Table.FieldByName("mesg_subject").AsString()) + "\t" +
                               OneLine(Table.FieldByName("mesg_body").AsString())});
  }
}

void Deliver(const std::vector<TLetter>& Letters) {
  std::ofstream Out(TargetFile(), std::ios::app | std::ios::binary);
  for (const TLetter& Letter : Letters) {
    if (Out && (Out << Letter.Line << '\n').flush()) {
      FailureCounts.erase(Letter.Id);
    } else {
      ++FailureCounts[Letter.Id];
    }
  }
}

}  // namespace

RELAYBIRD_MODULE_EXPORT void GetModuleInfo(TModuleInfo* Info) {
  Info->Name = AllocModuleText("Letters to a file");
  Info->ID = ModuleID;
  Info->Description = AllocModuleText("Appends every letter as one line to a text file.");
  Info->Icon = nullptr;
  Info->Reserved = 0;
}

RELAYBIRD_MODULE_EXPORT const char* const* GetServicesList() { return Services; }

RELAYBIRD_MODULE_EXPORT void Initialize(const char*, const char* ProcessID) {
  Pending[ProcessID].clear();
}

RELAYBIRD_MODULE_EXPORT void SetData(const char*, std::int32_t Kind, const char* ProcessID,
                                     void* Data, std::int32_t Size) {
  switch (Kind) {
    case mdkLock:
      HostLock = LockData(Data);
      break;
    case mdkSettings: {
      TServiceSettings Settings;
      if (ReadModuleSettings(Data, Size, Settings)) TempDir = Settings.TempDir;
      break;
    }
    case mdkMessages: {
      // The host empties the table as soon as this call returns.
      std::unique_lock<std::recursive_mutex> Guard;
      if (HostLock) Guard = std::unique_lock<std::recursive_mutex>(*HostLock);
      TakeLetters(ProcessID, *MessagesData(Data));
      break;
    }
    default:
      break;  // the session: this module does not use the database
  }
}

RELAYBIRD_MODULE_EXPORT void Execute(const char*, const char* ProcessID) {
  const auto Letters = Pending.extract(ProcessID);
  if (!Letters.empty()) Deliver(Letters.mapped());
}

RELAYBIRD_MODULE_EXPORT bool AccessNewProcess() { return true; }

RELAYBIRD_MODULE_EXPORT std::int32_t GetInterval(const char*) {
  try {
    return std::stoi(SettingString("Interval", "60"));
  } catch (const std::exception&) {
    return 60;
  }
}

RELAYBIRD_MODULE_EXPORT const char* GetFailedMessages() {
  FailedText.clear();
  for (const auto& [Id, Count] : FailureCounts) {
    FailedText += Id + "\r\n" + std::to_string(Count) + "\r\n";
  }
  return FailedText.c_str();
}

RELAYBIRD_MODULE_EXPORT const TSettingsFrameClass* GetSettingsFrame(const char*) { return nullptr; }

RELAYBIRD_MODULE_EXPORT void Terminate(const char*, const char* ProcessID) {
  Pending.erase(ProcessID);
}

RELAYBIRD_MODULE_EXPORT std::int32_t GetActiveThreads(const char*) { return 0; }

RELAYBIRD_MODULE_EXPORT void SetSession(const char*, const char*, void*) {}
