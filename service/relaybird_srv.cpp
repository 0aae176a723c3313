#include "service/relaybird_srv.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "core/file_helpers.h"
#include "core/settings_file.h"
#include "diagnostics/assertion.h"
#include "platform/exe_path.h"
#include "platform/text_encoding.h"
#include "relaybird/text_format.h"
#include "relaybird/catalogue.h"
#include "relaybird/process_log.h"

namespace relaybird {

TRelaybirdSrv::TRelaybirdSrv(TEventLoop& Loop)
    : tmrSendMessages(Loop, [this] { tmrSendMessagesTimer(); }),
      tmrOraConnection(Loop, [this] { tmrOraConnectionTimer(); }),
      FLoop(Loop),
      FIntake([this](const std::string& Text, bool ToEventLog) { Log(Text, ToEventLog); }) {
  // Nothing is read yet: the account is set at install.
  FServiceStartName = FSettings.WinAccount;
}

TRelaybirdSrv::~TRelaybirdSrv() {
  FStopping = true;
  FLoop.Halt();
  tmrSendMessages.SetEnabled(false);
  tmrOraConnection.SetEnabled(false);
  ReleaseRuntime();
}

void TRelaybirdSrv::ServiceBeforeInstall() {
  TServiceSettings Local;
  LoadServiceSettings(Local);
  FServiceStartName = Local.WinAccount;
}

void TRelaybirdSrv::ServiceAfterInstall(const std::string& UnitFile) {
  std::ifstream In(UnitFile);
  if (!In) {
    Log(Format(cstServiceInstallError, cstServiceRegNotExist), true);
    return;
  }
  std::stringstream Text;
  Text << In.rdbuf();
  In.close();
  // The description is a line of the unit's first section.
  std::string Unit = Text.str();
  const std::string Line = "Description=" + cstServiceDesc + "\n";
  const std::size_t Existing = Unit.find("\nDescription=");
  if (Existing != std::string::npos) {
    const std::size_t End = Unit.find('\n', Existing + 1);
    Unit.replace(Existing + 1, End == std::string::npos ? std::string::npos : End - Existing, Line);
  } else {
    const std::size_t Section = Unit.find("[Unit]\n");
    Unit.insert(Section == std::string::npos ? 0 : Section + 7, Line);
  }
  std::ofstream Out(UnitFile, std::ios::trunc);
  Out << Unit;
  if (!Out.flush()) Log(Format(cstServiceInstallError, UnitFile), true);
}

void TRelaybirdSrv::LoadSettings() {
  try {
    TServiceSettings Local;
    LoadServiceSettings(Local);
    FSettings = Local;
  } catch (const std::exception& E) {
    LogException(E);
  }
}

void TRelaybirdSrv::LoadConnectionList() {
  try {
    FConnections->LoadConnections();
  } catch (const std::exception& E) {
    Log(std::string("1 - ") + E.what(), false);
  }
}

void TRelaybirdSrv::LoadConfiguration() {
  LoadSettings();
  LoadConnectionList();
}

void TRelaybirdSrv::LogSettings() {
  Log(Format(cstSettingsWindowsVersion, FSettings.WinVersion), false);
  Log(Format(cstSettingsWinAccount, FSettings.WinAccount), false);
  Log(Format(cstSettingsLogDir, FSettings.AccessLogPath), false);
  Log(Format(cstSettingsSysLogAccess, FSettings.AccessSysLog ? "True" : "False"), false);
  Log(Format(cstSettingsConnectTimeout + cstMinute, FSettings.TimeoutConnect), false);
  Log(Format(cstSettingsWaitTimeout + cstMinute, FSettings.TimeoutDelay), false);
  for (int I = 0; I < FConnections->Count(); ++I) {
    const TConnectionSettings* Item = FConnections->Items(I);
    Log(Format(cstOraConnectingServer, I, Item->OraServer), false);
    Log(Format(cstOraConnectingSchema, I, Item->OraSchema), false);
    Log(Format(cstOraConnectingUser, I, Item->OraUser), false);
  }
}

void TRelaybirdSrv::ClearTempDirectory(const std::string& Dir) {
  std::istringstream Files(FindFiles(Dir, "*.*"));
  std::string Name;
  while (std::getline(Files, Name)) {
    if (!Name.empty() && Name.back() == '\r') Name.pop_back();
    if (!Name.empty()) ::unlink(Name.c_str());
  }
}

void TRelaybirdSrv::PrepareTempDirectories() {
  if (Trim(FSettings.TempDir).empty()) {
    FTempDirectory = ExecutableDir() + "Temp/";
  } else {
    FTempDirectory = FSettings.TempDir;
    if (FTempDirectory.back() != '/') FTempDirectory += '/';
  }
  for (int M = 0; M < FModules->Count(); ++M) {
    const TModule* Module = FModules->Items(M);
    if (!Module) continue;
    for (const std::string& Service : Module->Services()) {
      if (Service.empty()) continue;
      const std::string Dir = FTempDirectory + Service;
      if (DirectoryExists(Dir)) {
        ClearTempDirectory(Dir);
      } else {
        ForceDirectories(Dir);
      }
    }
  }
}

void TRelaybirdSrv::ClearTimerQueue() {
  if (FTimerQueue) FTimerQueue->clear();
}

void TRelaybirdSrv::ServiceStart(bool& Started) {
  FNoConnection = true;
  FStopping = false;
  tmrSendMessages.SetEnabled(false);
  tmrOraConnection.SetEnabled(false);
  FLoop.Resume();
  FIntake.OpenTables();
  FConnections = std::make_unique<TConnectionList>(true);
  LoadConfiguration();
  LogSettings();
  FFailedMessages = std::make_unique<TFailedMessageList>();
  FProcessedMessages = std::make_unique<TMessageIdSet>();
  FModules.reset();
  FModules = std::make_unique<TModuleManager>();
  PrepareTempDirectories();
  ClearTimerQueue();
  FTimerQueue = std::make_unique<TTimerQueueList>();
  tmrOraConnection.SetEnabled(false);
  const std::int64_t Delay = static_cast<std::int64_t>(FSettings.TimeoutDelay) * 1000 * 60;
  if (Delay > 0) {
    tmrOraConnection.SetInterval(Delay);
    tmrOraConnection.SetEnabled(true);
  } else {
    tmrOraConnectionTimer();
  }
  Started = true;
}

void TRelaybirdSrv::ReleaseRuntime() {
  FModules.reset();
  ClearTimerQueue();
  FTimerQueue.reset();
  FIntake.CloseTables();
  FFailedMessages.reset();
  FProcessedMessages.reset();
  FConnections.reset();
}

void TRelaybirdSrv::ServiceStop(bool& Stopped) {
  FStopping = true;
  tmrSendMessages.SetEnabled(false);
  tmrOraConnection.SetEnabled(false);
  // A tick still running on the main thread ends at its next look at
  // FStopping; nothing is freed before it has.
  FLoop.Halt();
  tmrSendMessages.SetEnabled(false);
  tmrOraConnection.SetEnabled(false);
  ReleaseRuntime();
  Log(sctServiceStop, false);
  Stopped = true;
}

void TRelaybirdSrv::Log(const std::string& Text, bool ToEventLog) {
  try {
    WriteProcessLog(this, Text, FSettings.AccessLogPath, "", ToEventLog);
  } catch (const std::exception& E) {
    AssertFailed(Format(cstServiceLogCreateError, E.what()), "uService", 873);
  }
}

void TRelaybirdSrv::LogException(const std::exception& E) { Log(E.what(), true); }

void TRelaybirdSrv::LogConnection(int ConnIndex, const std::string& ServiceName, const std::string& Text,
                                  bool ToEventLog) {
  Log(Format("[#%d] %s. %s", ConnIndex, ServiceName, Text), ToEventLog);
}

}  // namespace relaybird
