// The send cycle of the service object: the timer queue and the dispatch of
// one module service on every connected database.
#include <mutex>

#include "core/file_helpers.h"
#include "core/settings_block.h"
#include "relaybird/text_format.h"
#include "relaybird/catalogue.h"
#include "service/relaybird_srv.h"
#include "service/service_lock.h"

namespace relaybird {

void TRelaybirdSrv::tmrSendMessagesTimer() {
  tmrSendMessages.SetEnabled(false);
  if (!FStopping) {
    try {
      if (FTimerQueue) {
        const std::int32_t Elapsed = FTimerQueue->empty() ? 0 : FTimerQueue->front()->Delay;
        for (auto& Item : *FTimerQueue) Item->Delay -= Elapsed;
      }
      ProcessTimerQueue();
      while (FTimerQueue && !FTimerQueue->empty() && FTimerQueue->front()->Delay <= 0) {
        FTimerQueue->erase(FTimerQueue->begin());
      }
    } catch (const std::exception& E) {
      LogException(E);
    }
  }
  if (FTimerQueue && !FTimerQueue->empty()) {
    tmrSendMessages.SetInterval(static_cast<std::int64_t>(FTimerQueue->front()->Delay) * 1000);
  } else {
    Log(cstServiceNonModules, false);
    tmrSendMessages.SetInterval(EmptyQueueInterval);
  }
  if (!FStopping && !FNoConnection) tmrSendMessages.SetEnabled(true);
}

void TRelaybirdSrv::ProcessTimerQueue() {
  try {
    if (!FModules || FModules->Count() == 0) return;
    if (!FTimerQueue->empty()) {
      std::vector<TTimerQueue*> Copy;
      for (const auto& Item : *FTimerQueue) Copy.push_back(Item.get());
      for (TTimerQueue* Item : Copy) {
        if (Item->Delay > 0 || FStopping) break;
        ProcessService(Item->Module, Item->ServiceName);
      }
    } else {
      for (int M = 0; M < FModules->Count() && !FStopping; ++M) {
        TModule* Module = FModules->Items(M);
        if (!Module) continue;
        for (int S = 0; S < Module->ServiceCount(); ++S) ProcessService(Module, Module->ServiceName(S));
      }
    }
    RescheduleServices();
  } catch (const std::exception& E) {
    Log(Format(cstOpenDataError, E.what()), true);
  }
}

std::unique_ptr<TTimerQueue> TRelaybirdSrv::NewTimerQueueItem(TModule* Module, const std::string& ServiceName,
                                                              std::int32_t Delay) {
  return std::make_unique<TTimerQueue>(TTimerQueue{Delay, Module, ServiceName});
}

int TRelaybirdSrv::FindPendingItem(const TModule* Module, const std::string& ServiceName) const {
  for (std::size_t P = 0; P < FTimerQueue->size(); ++P) {
    const TTimerQueue& Item = *(*FTimerQueue)[P];
    if (Item.Module == Module && Item.ServiceName == ServiceName && Item.Delay > 0) return static_cast<int>(P);
  }
  return -1;
}

void TRelaybirdSrv::RescheduleServices() {
  if (!FModules || FModules->Count() == 0) return;
  for (int M = 0; M < FModules->Count(); ++M) {
    TModule* Module = FModules->Items(M);
    if (!Module || !Module->Loaded()) continue;
    for (int S = 0; S < Module->ServiceCount(); ++S) {
      const std::string Name = Module->ServiceName(S);
      if (Name.empty()) continue;
      const std::int32_t Interval = Module->GetInterval(Name);
      if (!FTimerQueue->empty() && FindPendingItem(Module, Name) != -1) continue;
      // Before the first entry due as late or later: the newest goes first
      // among equal delays.
      auto Position = FTimerQueue->begin();
      while (Position != FTimerQueue->end() && (*Position)->Delay < Interval) ++Position;
      FTimerQueue->insert(Position, NewTimerQueueItem(Module, Name, Interval));
    }
  }
}

void TRelaybirdSrv::ProcessService(TModule* Module, const std::string& ServiceName) {
  if (!Module || !Module->Loaded()) return;
  UpdateFailedMessages(Module);
  const int Count = FConnections ? FConnections->Count() : 0;
  for (int I = 0; I < Count && !FStopping; ++I) {
    TOraSession* Session = FConnections->Sessions(I);
    if (!Session || !Session->Connected()) continue;
    try {
      if (!Module->AccessNewProcess()) {
        LogConnection(I, ServiceName, cstServiceWaitModule, false);
        continue;
      }
    } catch (const std::exception& E) {
      LogConnection(I, ServiceName, Format(cstOpenDataError, E.what()), true);
      continue;
    }
    Dispatch(*Module, ServiceName, I);
  }
}

void TRelaybirdSrv::Dispatch(TModule& Module, const std::string& ServiceName, int ConnIndex) {
  const std::string ProcessID = NewGuidText();
  // Until the module has taken the batch, its notices go back to the sources.
  bool Handed = false;
  try {
    FIntake.ReadMessages(FConnections->Sessions(ConnIndex), ConnIndex, ServiceName, *FProcessedMessages,
                         *FFailedMessages);
    TVirtualTable& vtMesg = FIntake.vtMesg;
    vtMesg.First();
    if (vtMesg.RecordCount() == 0) {
      LogConnection(ConnIndex, ServiceName, cstCursorEmpty, false);
      return;
    }
    LogConnection(ConnIndex, ServiceName, cstGetMessages, false);
    Module.Initialize(ServiceName, ProcessID);
    FSettingsBlock = BuildSettingsBlock(FSettings);
    Module.SetData(ServiceName, ProcessID, mdkSession, FConnections->Sessions(ConnIndex), 36);
    Module.SetData(ServiceName, ProcessID, mdkLock, &ServiceLock, 4);
    Module.SetData(ServiceName, ProcessID, mdkSettings, FSettingsBlock.data(), 36);
    Module.SetData(ServiceName, ProcessID, mdkMessages, &vtMesg, 4);
    Handed = true;
    vtMesg.Clear();
    Module.Execute(ServiceName, ProcessID);
  } catch (const std::exception& E) {
    if (!Handed) ReleaseBatch();
    LogConnection(ConnIndex, ServiceName, Format(cstOpenDataError, E.what()), true);
  }
}

void TRelaybirdSrv::ReleaseBatch() {
  TVirtualTable& vtMesg = FIntake.vtMesg;
  for (vtMesg.First(); !vtMesg.Eof(); vtMesg.Next()) {
    FProcessedMessages->Delete(vtMesg.FieldByName("id_mesg").AsString());
  }
}

void TRelaybirdSrv::UpdateFailedMessages(TModule* Module) {
  std::lock_guard<std::recursive_mutex> Guard(ServiceLock);
  FFailedMessages->clear();
  if (!Module || !Module->Loaded()) return;
  const TFailedMessageList Report = Module->GetFailedMessages();
  for (const TFailedMessage& Message : Report) {
    FProcessedMessages->Delete(Message.ID);
    if (Message.Count > 0) FFailedMessages->push_back(Message);
  }
}

}  // namespace relaybird
