#pragma once

#include "relaybird/export.h"

namespace relaybird {

// systemd sets INVOCATION_ID or NOTIFY_SOCKET; any other supervisor (a
// container, the demo) sets RELAYBIRD_FOREGROUND=1.
RELAYBIRD_API bool StartedByServiceManager();

// The framework's record that the dispatcher cannot start: one line to the
// event log under the executable's file name.
RELAYBIRD_API void ReportDispatcherCannotStart();

}  // namespace relaybird
