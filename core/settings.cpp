#include "core/settings_file.h"
#include "relaybird/settings.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <climits>
#include <vector>

#include "relaybird/scrambler.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"

namespace relaybird {

const char* const DefaultOraPassword = "ZRPWKLQDVXB7";

std::string SettingsFileName;

void InitSettingsFileName() { SettingsFileName = ExecutableDir() + "Relaybird.ini"; }

namespace {

const char* const ServiceSection = "Service";
const char* const DatabaseSection = "Database";
const char* const ConnectionSection = "Connection";

// Reads one key; a key that is missing gets its default written back at once.
std::string LoadString(TIniFile& Ini, const char* Key, const std::string& Default) {
  if (Ini.ValueExists(ServiceSection, Key)) return Ini.ReadString(ServiceSection, Key, Default);
  Ini.WriteString(ServiceSection, Key, Default);
  return Default;
}

int LoadInteger(TIniFile& Ini, const char* Key, int Default) {
  if (Ini.ValueExists(ServiceSection, Key)) return Ini.ReadInteger(ServiceSection, Key, Default);
  Ini.WriteInteger(ServiceSection, Key, Default);
  return Default;
}

bool LoadBool(TIniFile& Ini, const char* Key, bool Default) {
  if (Ini.ValueExists(ServiceSection, Key)) return Ini.ReadBool(ServiceSection, Key, Default);
  Ini.WriteBool(ServiceSection, Key, Default);
  return Default;
}

TServiceSettings DefaultServiceSettings() {
  TServiceSettings Settings;
  Settings.WinAccount = GetCurrentAccountName();
  Settings.WinVersion = GetWindowsVersionName();
  Settings.AccessLogPath = ExecutableDir() + "Log/";
  Settings.TempDir = ExecutableDir() + "Temp/";
  Settings.AccessSysLog = false;
  Settings.TimeoutConnect = 1;
  Settings.TimeoutDelay = 2;
  Settings.TimeoutReconnect = 10;
  return Settings;
}

}  // namespace

void LoadServiceSettings(TServiceSettings& Settings) {
  TIniFile Ini(SettingsFileName);
  if (Ini.ReadSection(ServiceSection).empty()) {
    Settings = DefaultServiceSettings();
    SaveServiceSettings(Settings);
    return;
  }
  TServiceSettings Loaded;
  Loaded.TimeoutConnect = LoadInteger(Ini, "TimeoutConnect", 1);
  Loaded.AccessSysLog = LoadBool(Ini, "AccessSysLog", false);
  Loaded.AccessLogPath = LoadString(Ini, "AccessLogPath", ExecutableDir() + "Log/");
  Loaded.TimeoutDelay = LoadInteger(Ini, "TimeoutDelay", 2);
  Loaded.TempDir = LoadString(Ini, "TempDir", ExecutableDir() + "Temp/");
  Loaded.WinAccount = LoadString(Ini, "WinAccount", GetCurrentAccountName());
  const std::string Scrambled = LoadString(Ini, "WinPassword", ScrambleText("", ScrambleKey));
  if (!Scrambled.empty()) Loaded.WinPassword = UnscrambleText(Scrambled, ScrambleKey);
  Loaded.WinVersion = LoadString(Ini, "WinVersion", GetWindowsVersionName());
  Loaded.TimeoutReconnect = LoadInteger(Ini, "TimeoutReconnect", 10);
  if (Loaded.TimeoutReconnect < 1) Loaded.TimeoutReconnect = 1;
  Settings = Loaded;
}

void SaveServiceSettings(const TServiceSettings& Settings) {
  TIniFile Ini(SettingsFileName);
  Ini.WriteInteger(ServiceSection, "TimeoutConnect", Settings.TimeoutConnect);
  Ini.WriteString(ServiceSection, "WinAccount", Settings.WinAccount);
  Ini.WriteString(ServiceSection, "WinPassword", ScrambleText(Settings.WinPassword, ScrambleKey));
  Ini.WriteBool(ServiceSection, "AccessSysLog", Settings.AccessSysLog);
  Ini.WriteString(ServiceSection, "AccessLogPath", Settings.AccessLogPath);
  Ini.WriteInteger(ServiceSection, "TimeoutDelay", Settings.TimeoutDelay);
  Ini.WriteString(ServiceSection, "WinVersion", GetWindowsVersionName());
  Ini.WriteString(ServiceSection, "TempDir", Settings.TempDir);
  Ini.WriteInteger(ServiceSection, "TimeoutReconnect",
                   Settings.TimeoutReconnect <= 0 ? 1 : Settings.TimeoutReconnect);
}

void MigrateDatabaseSection() {
  TIniFile Ini(SettingsFileName);
  if (Ini.ReadSection(DatabaseSection).empty()) return;
  const std::string Item =
      std::to_string(Ini.ReadInteger(DatabaseSection, "OraHome", 0)) + "#" +
      Ini.ReadString(DatabaseSection, "OraServer", "KOBALTIX") + "#" +
      Ini.ReadString(DatabaseSection, "OraUser", "KOBALTIX5") + "#" +
      Ini.ReadString(DatabaseSection, "OraPassword", ScrambleText(DefaultOraPassword, ScrambleKey)) + "#" +
      Ini.ReadString(DatabaseSection, "OraSchema", "KOBALTIX5");
  // The old section goes last: should a write fail half-way, the next start
  // converts it again instead of losing the connection.
  Ini.EraseSection(ConnectionSection);
  Ini.WriteString(ConnectionSection, "Item_0", Item);
  Ini.EraseSection(DatabaseSection);
}

std::string WindowsVersionName(int Major, int Minor, bool NtPlatform) {
  switch (Major) {
    case 3:
      return "NT3";
    case 4:
      switch (Minor) {
        case 0:
          return NtPlatform ? "NT4" : "Windows 95";
        case 10:
          return "Windows 98";
        case 90:
          return "Windows ME";
      }
      break;
    case 5:
      switch (Minor) {
        case 0:
          return "Windows 2000";
        case 1:
          return "Windows XP";
        case 2:
          return "Windows 2003";
      }
      break;
  }
  return "Unknown";
}

std::string GetWindowsVersionName() {
  utsname Name{};
  if (uname(&Name) != 0) return "Unknown";
  return std::string(Name.sysname) + " " + Name.release;
}

std::string GetCurrentAccountName() {
  char Host[HOST_NAME_MAX + 1] = {};
  if (gethostname(Host, sizeof Host - 1) != 0 || Host[0] == '\0') return "";
  long BufferSize = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> Buffer(BufferSize > 0 ? static_cast<std::size_t>(BufferSize) : 16384);
  passwd Entry{};
  passwd* Found = nullptr;
  if (getpwuid_r(geteuid(), &Entry, Buffer.data(), Buffer.size(), &Found) != 0 || !Found) return "";
  return std::string(Host) + "\\" + Entry.pw_name;
}

}  // namespace relaybird
