#pragma once
// The e-mail module's state behind its exports: the dispatches being handed
// over, the running workers, the failure counts and the outcomes not yet
// recorded. Thread-safe: FLock guards FDispatches, FWorkers and FReport; the
// failure registry and the backlog have their own locks.
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "relaybird/settings.h"
#include "relaybird/thread.h"
#include "failure_registry.h"
#include "mail_thread.h"
#include "outcome_backlog.h"

namespace relaybird::mail {

extern const char* const MailServiceName;

class TMailService {
 public:
  TMailService() = default;
  // Ends and waits for every worker: the library's code must be idle before
  // it is unmapped.
  ~TMailService();
  TMailService(const TMailService&) = delete;
  TMailService& operator=(const TMailService&) = delete;

  void Initialize(const std::string& ProcessID);
  void SetData(std::int32_t Kind, const std::string& ProcessID, void* Data, std::int32_t Size);
  void Execute(const std::string& Service, const std::string& ProcessID);
  bool AccessNewProcess();
  std::int32_t GetInterval() const;
  // Valid until the next call.
  const char* FailedMessages();
  void Terminate(const std::string& ProcessID);
  std::int32_t ActiveThreads();

  TFailureRegistry& Failures() { return FFailures; }

 private:
  struct TDispatch {
    TMailBatch Batch;
    TServiceSettings Settings;
    std::unique_ptr<TSessionParams> Connection;
    std::recursive_mutex* HostLock = nullptr;
  };
  void DropFinished();
  void TakeMessages(const std::string& ProcessID, TVirtualTable& Table);

  std::mutex FLock;
  std::map<std::string, TDispatch> FDispatches;
  std::map<std::string, TThreadLink> FWorkers;
  std::string FReport;
  TFailureRegistry FFailures;
  TOutcomeBacklog FBacklog;
};

}  // namespace relaybird::mail
