#pragma once
// The connection test of the configuration window and the display text of a
// client home.
#include <string>

#include "relaybird/settings.h"

#include "relaybird/export.h"

namespace relaybird {

// Connects a temporary session with Settings and queries the settings table
// of its schema. False with the administrator's message in ErrorText when
// anything fails; never raises.
RELAYBIRD_API bool TestConnection(const TConnectionSettings& Settings, std::string& ErrorText);

// "[%d] %s" with the position and name of the home, plus " (default)" for the
// default home; "" for a position outside the list or on any error.
RELAYBIRD_API std::string FormatOracleHome(int Index);

}  // namespace relaybird
