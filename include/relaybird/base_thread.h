#pragma once
// The base of the worker threads a protocol module sends messages with. One
// run: LoadMessages, check, FillMessageStatus, ProcessMessages, a summary line
// in the log of the worker's service, clean-up of its temporary folder.
//
// Life of a worker: the creator makes it (suspended), fills Settings,
// ServiceName, ThreadName, Context, OnFinish and whatever LoadMessages needs,
// then calls Start and keeps only the returned TThreadLink. The worker runs
// once and destroys itself on its own thread; OnFinish is its last call
// before that. Until Start the creator owns it and may delete it unstarted.
// The fields belong to the creator until Start and to the worker's thread
// afterwards; nothing guards them, so nobody else touches them then.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "relaybird/settings.h"
#include "relaybird/ora_session.h"
#include "relaybird/virtual_table.h"
#include "relaybird/log_sender.h"
#include "relaybird/message_status.h"
#include "relaybird/thread.h"

#include "relaybird/export.h"

namespace relaybird {

class RELAYBIRD_API TBaseThread : public TThread, public TWorkerLogSender {
 public:
  // Runs on the worker's thread: the handler guards what it touches.
  using TFinishEvent = std::function<void(TBaseThread& Sender, const std::string& ThreadName)>;

  TBaseThread() = default;

  // Set by the creator before Start; the worker's own afterwards.
  TOraSession Session;  // the worker's own session, created unconnected
  TServiceSettings Settings;
  std::string ServiceName;  // names the log file and the temporary folder
  TVirtualTable Table;      // the messages of the run
  std::string ThreadName;   // prefix of the log lines
  std::vector<TMessageStatusRec> Statuses;
  TFinishEvent OnFinish;
  void* Context = nullptr;  // a run sends only when it is set

  // Results of ProcessMessages.
  std::int32_t SentCount = 0;
  std::int32_t Outcome1 = 0;
  std::int32_t Outcome2 = 0;
  std::vector<std::string> RunStrings;  // emptied at the start of a run

  // "(ThreadName) Msg" to the service's process log; the event-log copy only
  // when Settings.AccessSysLog allows it too.
  virtual void Log(const std::string& Msg, bool ToEventLog);
  void FillMessageStatus();

  // Hooks for descendants; the base never calls them.
  virtual void ExtraStep() = 0;
  virtual std::int32_t ExtraValue() { return 0; }

  std::string ClassName() const override { return "TBaseThread"; }
  std::string LogServiceName() const override { return ServiceName; }

 protected:
  // Prepares the run; the base examines Table right after it.
  virtual void LoadMessages() = 0;
  // Sends the messages of Table and sets SentCount, Outcome1, Outcome2.
  virtual void ProcessMessages() = 0;

  // The run; an error ends it. OnFinish is called however it ends.
  void Execute() override;

 private:
  void Run();
  void DeleteTempFiles() const;
};

}  // namespace relaybird
