#pragma once
// The system event log: syslog datagrams (RFC 3164) to /dev/log, facility
// user, severity informational, under the service's system name.
#include <string>

#include "relaybird/export.h"

namespace relaybird {

// The message table: 1 "DataBase error %1", 2 "Service error %1",
// 3 "Module error %1", 4 "Unknown service error %1".
RELAYBIRD_API std::string EventMessageText(int EventId, const std::string& Insertion);

// Sends one entry under Source; false when the log cannot be reached.
RELAYBIRD_API bool ReportEvent(const std::string& Source, int EventId, const std::string& Insertion);
// Sends Text as it stands, for records that are not message-table entries.
RELAYBIRD_API bool ReportEventText(const std::string& Source, const std::string& Text);

// Tests point the event log at a socket of their own.
RELAYBIRD_API void SetEventLogSocketPath(const std::string& Path);
RELAYBIRD_API std::string GetEventLogSocketPath();

}  // namespace relaybird
