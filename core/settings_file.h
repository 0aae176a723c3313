#pragma once
// Reading and writing the service's own settings in Relaybird.ini.
#include <string>

#include "relaybird/export.h"
#include "relaybird/settings.h"

namespace relaybird {

RELAYBIRD_API void InitSettingsFileName();


RELAYBIRD_API void LoadServiceSettings(TServiceSettings& Settings);
RELAYBIRD_API void SaveServiceSettings(const TServiceSettings& Settings);
RELAYBIRD_API void MigrateDatabaseSection();

// The Windows table of version names, kept as a pure function.
RELAYBIRD_API std::string WindowsVersionName(int Major, int Minor, bool NtPlatform);
// The running system's name and release, as uname reports them.
RELAYBIRD_API std::string GetWindowsVersionName();
// "<host name>\<user name of the effective uid>"; "" when either is unknown.
RELAYBIRD_API std::string GetCurrentAccountName();

}  // namespace relaybird
