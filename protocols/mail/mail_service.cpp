#include "mail_service.h"

#include "relaybird/module_abi.h"
#include "relaybird/ora_session.h"
#include "relaybird/virtual_table.h"

namespace relaybird::mail {

const char* const MailServiceName = "MAIL";

TMailService::~TMailService() {
  std::map<std::string, TThreadLink> Workers;
  {
    std::lock_guard<std::mutex> Guard(FLock);
    Workers.swap(FWorkers);
  }
  for (auto& [ProcessID, Link] : Workers) Link.Terminate();
  for (auto& [ProcessID, Link] : Workers) Link.WaitFor();
}

void TMailService::Initialize(const std::string& ProcessID) {
  std::lock_guard<std::mutex> Guard(FLock);
  FDispatches[ProcessID] = TDispatch{};
}

void TMailService::SetData(std::int32_t Kind, const std::string& ProcessID, void* Data, std::int32_t Size) {
  if (Kind == mdkMessages && Data != nullptr) {
    TakeMessages(ProcessID, *MessagesData(Data));
    return;
  }
  std::lock_guard<std::mutex> Guard(FLock);
  TDispatch& Dispatch = FDispatches[ProcessID];
  if (Data == nullptr) return;
  switch (Kind) {
    case mdkSession: {
      const TOraSession* Session = SessionData(Data);
      Dispatch.Connection = std::make_unique<TSessionParams>(TSessionParams{
          Session->HomeName(), Session->Server(), Session->Username(), Session->Password(), Session->Schema()});
      break;
    }
    case mdkLock:
      Dispatch.HostLock = LockData(Data);
      break;
    case mdkSettings:
      ReadModuleSettings(Data, Size, Dispatch.Settings);
      break;
    default:
      break;
  }
}

// The host calls GetFailedMessages while it holds its lock, so the host's
// lock is never taken here while FLock is held: the table is copied under
// the host's lock alone, then stored under FLock.
void TMailService::TakeMessages(const std::string& ProcessID, TVirtualTable& Table) {
  std::recursive_mutex* HostLock = nullptr;
  {
    std::lock_guard<std::mutex> Guard(FLock);
    HostLock = FDispatches[ProcessID].HostLock;
  }
  TMailBatch Batch;
  {
    // The host's lock guards its table; without it the host hands none.
    std::unique_lock<std::recursive_mutex> HostGuard;
    if (HostLock != nullptr) HostGuard = std::unique_lock<std::recursive_mutex>(*HostLock);
    Batch.Fields = Table.FieldDefs();
    for (Table.First(); !Table.Eof(); Table.Next()) {
      auto& Row = Batch.Rows.emplace_back();
      for (const TFieldDef& Field : Batch.Fields) Row.push_back(Table.FieldByName(Field.Name).Value());
    }
  }
  std::lock_guard<std::mutex> Guard(FLock);
  FDispatches[ProcessID].Batch = std::move(Batch);
}

void TMailService::Execute(const std::string& Service, const std::string& ProcessID) {
  // Settings are read before anything is taken, so a file that cannot be
  // read leaves the dispatch unexecuted.
  TMailSettings Mail = LoadMailSettings(SettingsFileName);
  std::lock_guard<std::mutex> Guard(FLock);
  const auto Found = FDispatches.find(ProcessID);
  if (Found == FDispatches.end()) return;
  TDispatch Dispatch = std::move(Found->second);
  FDispatches.erase(Found);
  auto Worker = std::make_unique<TMailThread>(std::move(Dispatch.Batch), std::move(Mail),
                                              std::move(Dispatch.Connection), FFailures, FBacklog);
  Worker->Settings = Dispatch.Settings;
  Worker->ServiceName = Service;
  Worker->ThreadName = std::string(MailServiceName) + " " + ProcessID;
  Worker->Context = &FFailures;
  FWorkers.insert_or_assign(ProcessID, Worker->Start());
  // From Start on the worker owns itself.
  static_cast<void>(Worker.release());
}

void TMailService::DropFinished() {
  for (auto It = FWorkers.begin(); It != FWorkers.end();) {
    It = It->second.Finished() ? FWorkers.erase(It) : std::next(It);
  }
}

bool TMailService::AccessNewProcess() {
  std::lock_guard<std::mutex> Guard(FLock);
  DropFinished();
  return FWorkers.empty();
}

std::int32_t TMailService::GetInterval() const { return LoadMailSettings(SettingsFileName).IntervalSeconds(); }

const char* TMailService::FailedMessages() {
  std::lock_guard<std::mutex> Guard(FLock);
  FReport = FFailures.Report();
  return FReport.c_str();
}

void TMailService::Terminate(const std::string& ProcessID) {
  std::unique_lock<std::mutex> Guard(FLock);
  FDispatches.erase(ProcessID);
  const auto Found = FWorkers.find(ProcessID);
  if (Found == FWorkers.end()) return;
  TThreadLink Link = Found->second;
  FWorkers.erase(Found);
  Guard.unlock();
  Link.Terminate();
  Link.WaitFor();
}

std::int32_t TMailService::ActiveThreads() {
  std::lock_guard<std::mutex> Guard(FLock);
  DropFinished();
  return static_cast<std::int32_t>(FWorkers.size());
}

}  // namespace relaybird::mail
