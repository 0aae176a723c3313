#pragma once
#include <mutex>

namespace relaybird {

// The one re-entrant lock of the service: process-log appends, event-log
// copies, the source reads, connecting a session, a module's failure report;
// handed to the modules to guard the message table.
extern std::recursive_mutex ServiceLock;

}  // namespace relaybird
