// The database supervision of the service object: connecting the sessions,
// counting the attempts and switching sending on.
#include <mutex>

#include "relaybird/text_format.h"
#include "relaybird/catalogue.h"
#include "relaybird/ora_session.h"
#include "service/relaybird_srv.h"
#include "service/service_lock.h"

namespace relaybird {

namespace {
constexpr std::int32_t AttemptLimit = 5;
}

void TRelaybirdSrv::tmrOraConnectionTimer() {
  tmrOraConnection.SetEnabled(false);
  const std::int64_t Period = static_cast<std::int64_t>(FSettings.TimeoutConnect) * 60000;
  if (tmrOraConnection.Interval() != Period) tmrOraConnection.SetInterval(Period);
  try {
    const int Count = FConnections ? FConnections->Count() : 0;
    for (int I = 0; I < Count; ++I) {
      if (FConnections->Sessions(I)->Connected() || FConnections->Attempts(I) > AttemptLimit) continue;
      if (FStopping) break;
      FConnections->IncAttempts(I);
      const std::int32_t Attempt = FConnections->Attempts(I);
      if (Attempt > AttemptLimit) {
        Log(Format(cstOraTimesConnectLimit, I), false);
      } else if (ConnectSession(I)) {
        FNoConnection = false;
        Log(Format(cstOraConnected, I, Attempt), false);
      } else {
        Log(Format(cstOraNotConnect, I, Attempt), false);
      }
    }
  } catch (const std::exception& E) {
    LogException(E);
  }
  if (!FNoConnection && !tmrSendMessages.Enabled() && !FStopping) tmrSendMessagesTimer();
  if (AllConnectionsExhausted()) {
    FNoConnection = true;
    FConnections->ResetAttempts();
    tmrOraConnection.SetInterval(static_cast<std::int64_t>(FSettings.TimeoutReconnect) * 60000);
  }
  ReportStatus();
  if (!FStopping) tmrOraConnection.SetEnabled(true);
}

// A connection whose session is open is never exhausted, whatever its
// counter: otherwise one that connected on its last attempt would stop
// sending for as long as it stays open.
bool TRelaybirdSrv::AllConnectionsExhausted() const {
  if (!FConnections) return true;
  for (int I = 0; I < FConnections->Count(); ++I) {
    if (FConnections->Sessions(I)->Connected() || FConnections->Attempts(I) < AttemptLimit) return false;
  }
  return true;
}

bool TRelaybirdSrv::ConnectSession(int Index) {
  TOraSession* Session = FConnections->Sessions(Index);
  bool Connected = Session->Connected();
  if (!Connected) {
    std::lock_guard<std::recursive_mutex> Guard(ServiceLock);
    try {
      Session->Connect();
    } catch (const std::exception& E) {
      Log(Format(cstOraIsConnectError, Index, E.what()), true);
    }
    Connected = Session->Connected();
  }
  return Connected;
}

void TRelaybirdSrv::ReportStatus() {
  if (!OnStatus) return;
  int Open = 0;
  const int Count = FConnections ? FConnections->Count() : 0;
  for (int I = 0; I < Count; ++I) {
    if (FConnections->Sessions(I)->Connected()) ++Open;
  }
  int On = 0;
  for (int M = 0; FModules && M < FModules->Count(); ++M) {
    if (FModules->Items(M) && FModules->Items(M)->Loaded()) ++On;
  }
  const std::string State = Open > 0 ? "connected to " + std::to_string(Open) + " of " + std::to_string(Count) +
                                           " database connection(s)"
                                     : "waiting for the database";
  OnStatus(State + "; " + std::to_string(On) + " module(s) on");
}

}  // namespace relaybird
