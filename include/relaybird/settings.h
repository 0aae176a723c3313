#pragma once
// The settings file Relaybird.ini beside the executable and the two records
// that carry settings through the system.
#include <cstdint>
#include <string>

namespace relaybird {

struct TServiceSettings {
  std::string WinAccount;
  std::string WinPassword;  // plain text
  std::string WinVersion;
  std::string AccessLogPath;
  std::string TempDir;
  bool AccessSysLog = false;
  std::int32_t TimeoutConnect = 0;
  std::int32_t TimeoutDelay = 0;
  std::int32_t TimeoutReconnect = 0;

  bool operator==(const TServiceSettings&) const = default;
};

struct TConnectionSettings {
  std::int32_t OraHome = 0;
  std::string OraServer;
  std::string OraUser;
  std::string OraPassword;  // plain text
  std::string OraSchema;

  bool operator==(const TConnectionSettings&) const = default;
};

extern const char* const DefaultOraPassword;

// Set once at program start: the executable's directory + "Relaybird.ini".
extern std::string SettingsFileName;
void InitSettingsFileName();

void LoadServiceSettings(TServiceSettings& Settings);
void SaveServiceSettings(const TServiceSettings& Settings);
void MigrateDatabaseSection();

// The Windows table of version names, kept as a pure function.
std::string WindowsVersionName(int Major, int Minor, bool NtPlatform);
// The running system's name and release, as uname reports them.
std::string GetWindowsVersionName();
// "<host name>\<user name of the effective uid>"; "" when either is unknown.
std::string GetCurrentAccountName();

}  // namespace relaybird
