#pragma once
// The service object: it owns the connections, the protocol modules, the
// intake, the send schedule and the two timers of the database supervision
// and the send cycle, and runs them between its start and its stop.
//
// Threads: ServiceStart and ServiceStop run on the control thread, the timer
// handlers on the thread that runs the event loop (with a start delay of 0
// the first supervision tick runs inside ServiceStart). FStopping and
// FNoConnection are atomic; everything else is touched by one handler at a
// time: the stop halts the event loop, which waits for a running handler,
// before it frees anything. ServiceLock guards the source reads, connecting,
// the failure reports and the log.
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/connection_list.h"
#include "modules/module_manager.h"
#include "relaybird/log_sender.h"
#include "relaybird/settings.h"
#include "service/event_loop.h"
#include "service/message_id_set.h"
#include "service/message_intake.h"

namespace relaybird {

// One entry of the send schedule.
struct TTimerQueue {
  std::int32_t Delay = 0;  // seconds until due; 0 or less: due
  TModule* Module = nullptr;  // not owned
  std::string ServiceName;
};
using TTimerQueueList = std::vector<std::unique_ptr<TTimerQueue>>;

class TRelaybirdSrv : public TObject {
 public:
  static constexpr std::int64_t EmptyQueueInterval = 30000;

  // The timers run on Loop.
  explicit TRelaybirdSrv(TEventLoop& Loop);
  ~TRelaybirdSrv() override;
  TRelaybirdSrv(const TRelaybirdSrv&) = delete;
  TRelaybirdSrv& operator=(const TRelaybirdSrv&) = delete;

  std::string ClassName() const override { return "TRelaybirdSrv"; }

  // Install hooks around the registration of the service.
  void ServiceBeforeInstall();
  // The description goes into the unit at UnitFile; a missing unit is logged.
  void ServiceAfterInstall(const std::string& UnitFile);
  // The account the service runs under (set at install).
  const std::string& ServiceStartName() const { return FServiceStartName; }

  void ServiceStart(bool& Started);
  void ServiceStop(bool& Stopped);

  // Timer handlers; the supervision also runs the send tick directly.
  void tmrOraConnectionTimer();
  void tmrSendMessagesTimer();

  void Log(const std::string& Text, bool ToEventLog);
  void LogException(const std::exception& E);

  // A line for the service manager's status: whether a connection is open
  // and how many modules are switched on. Called after every supervision
  // tick.
  std::function<void(const std::string&)> OnStatus;

  // What the tests and the status line look at.
  TLoopTimer tmrSendMessages;
  TLoopTimer tmrOraConnection;
  const TServiceSettings& Settings() const { return FSettings; }
  TConnectionList* Connections() const { return FConnections.get(); }
  TModuleManager* Modules() const { return FModules.get(); }
  const TTimerQueueList* TimerQueue() const { return FTimerQueue.get(); }
  const TMessageIdSet* ProcessedMessages() const { return FProcessedMessages.get(); }
  bool NoConnection() const { return FNoConnection; }
  bool Stopping() const { return FStopping; }
  // The temporary directory worked out at start, with a trailing '/'.
  const std::string& TempDirectory() const { return FTempDirectory; }
  TMessageIntake& Intake() { return FIntake; }

  // Deletes every file under Dir; directories stay, failures are ignored.
  static void ClearTempDirectory(const std::string& Dir);

 private:
  void LoadSettings();
  void LoadConnectionList();
  void LoadConfiguration();
  void LogSettings();
  void PrepareTempDirectories();
  void ClearTimerQueue();
  void ReleaseRuntime();

  // The send cycle.
  void ProcessTimerQueue();
  void RescheduleServices();
  int FindPendingItem(const TModule* Module, const std::string& ServiceName) const;
  static std::unique_ptr<TTimerQueue> NewTimerQueueItem(TModule* Module, const std::string& ServiceName,
                                                        std::int32_t Delay);
  void ProcessService(TModule* Module, const std::string& ServiceName);
  void Dispatch(TModule& Module, const std::string& ServiceName, int ConnIndex);
  void UpdateFailedMessages(TModule* Module);
  void ReleaseBatch();

  // The supervision.
  bool ConnectSession(int Index);
  bool AllConnectionsExhausted() const;
  void ReportStatus();

  void LogConnection(int ConnIndex, const std::string& ServiceName, const std::string& Text, bool ToEventLog);

  TEventLoop& FLoop;
  TServiceSettings FSettings;
  std::string FServiceStartName;
  std::unique_ptr<TConnectionList> FConnections;
  std::unique_ptr<TModuleManager> FModules;
  std::unique_ptr<TTimerQueueList> FTimerQueue;
  std::unique_ptr<TFailedMessageList> FFailedMessages;
  std::unique_ptr<TMessageIdSet> FProcessedMessages;
  std::atomic<bool> FStopping{false};
  std::atomic<bool> FNoConnection{true};
  TMessageIntake FIntake;
  std::string FTempDirectory;
  std::vector<std::uint8_t> FSettingsBlock;
};

}  // namespace relaybird
