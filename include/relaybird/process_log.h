#pragma once
#include <chrono>
#include <mutex>
#include <string>

#include "relaybird/log_sender.h"

#include "relaybird/export.h"

namespace relaybird {

// Appends "[dd.mm.yyyy hh:mm:ss.zzz]  Msg" CR LF to the sender's daily log
// and, with ToEventLog, copies the line to the event log. Does nothing for a
// null Sender or while no log lock is registered. Thread-safe: every append
// and event-log copy happens under the registered log lock (ServiceLock).
RELAYBIRD_API void WriteProcessLog(const TObject* Sender, const std::string& Msg, const std::string& LogPath,
                     const std::string& LogName, bool ToEventLog);

// The full name of the log file WriteProcessLog would append to now.
RELAYBIRD_API std::string ProcessLogFileName(const TObject* Sender, const std::string& LogPath,
                               const std::string& LogName);

// The lock of the process log belongs to the service; null is ignored.
RELAYBIRD_API void SetLogLock(std::recursive_mutex* Lock);
RELAYBIRD_API std::recursive_mutex* GetLogLock();

// The clock of the file date and the time stamp; null restores the system
// clock. Lets tests put a call on both sides of midnight.
using TLogClock = std::chrono::system_clock::time_point (*)();
RELAYBIRD_API void SetLogClock(TLogClock Clock);

}  // namespace relaybird
