#pragma once
// The two records that carry settings through the system, and the name of
// the settings file Relaybird.ini beside the executable.
#include <cstdint>
#include <string>

#include "relaybird/export.h"

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

extern RELAYBIRD_API const char* const DefaultOraPassword;

// Set once at program start: the executable's directory + "Relaybird.ini".
// Modules keep their own settings there, in a section of their own.
extern RELAYBIRD_API std::string SettingsFileName;

}  // namespace relaybird
