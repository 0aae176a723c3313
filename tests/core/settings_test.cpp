#include "core/settings_file.h"
#include "relaybird/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <string>

#include "relaybird/scrambler.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"
#include "test_support.h"

namespace relaybird {
namespace {

using test::ReadFileBytes;
using test::RemovePath;
using test::WriteFileBytes;

// First line of a shell command's output.
std::string CommandOutput(const std::string& Command) {
  std::string Line;
  if (FILE* Pipe = popen(Command.c_str(), "r")) {
    char Buffer[512];
    if (fgets(Buffer, sizeof Buffer, Pipe)) Line = Buffer;
    pclose(Pipe);
  }
  while (!Line.empty() && (Line.back() == '\n' || Line.back() == '\r')) Line.pop_back();
  return Line;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSettingsFileName();
    RemovePath(SettingsFileName);
  }
  void TearDown() override {
    chmod(SettingsFileName.c_str(), 0644);
    RemovePath(SettingsFileName);
  }

  static std::string Dir() { return ExecutableDir(); }
  static std::string File() { return ReadFileBytes(SettingsFileName); }
  static void Put(const std::string& Bytes) { WriteFileBytes(SettingsFileName, Bytes); }

  // A complete "Service" section in the order a save writes it, with some
  // values replaced.
  static std::string FullSection(const std::map<std::string, std::string>& Values) {
    const char* const Order[] = {"TimeoutConnect", "WinAccount", "WinPassword", "AccessSysLog", "AccessLogPath",
                                 "TimeoutDelay", "WinVersion", "TempDir", "TimeoutReconnect"};
    std::map<std::string, std::string> All = {
        {"TimeoutConnect", "3"},      {"WinAccount", "box\\relay"}, {"WinPassword", "2710031F"},
        {"AccessSysLog", "1"},        {"AccessLogPath", "/var/log/relaybird/"},
        {"TimeoutDelay", "4"},        {"WinVersion", "Linux 5.10"},  {"TempDir", "/var/tmp/relaybird/"},
        {"TimeoutReconnect", "7"}};
    for (const auto& [Key, Value] : Values) All[Key] = Value;
    std::string Text = "[Service]\r\n";
    for (const char* Key : Order) Text += std::string(Key) + "=" + All[Key] + "\r\n";
    return Text;
  }

  static TServiceSettings Defaults() {
    TServiceSettings Settings;
    Settings.WinAccount = GetCurrentAccountName();
    Settings.WinVersion = GetWindowsVersionName();
    Settings.AccessLogPath = Dir() + "Log/";
    Settings.TempDir = Dir() + "Temp/";
    Settings.TimeoutConnect = 1;
    Settings.TimeoutDelay = 2;
    Settings.TimeoutReconnect = 10;
    return Settings;
  }

  static std::string Load() {
    TServiceSettings Settings;
    LoadServiceSettings(Settings);
    return File();
  }
};

TEST(SettingsNamesTest, FileBesideTheExecutable) {
  InitSettingsFileName();
  EXPECT_EQ(SettingsFileName, ExecutableDir() + "Relaybird.ini");
}

TEST(SettingsNamesTest, ComputedDefaultsComeFromTheRunningSystem) {
  EXPECT_EQ(GetCurrentAccountName(), CommandOutput("uname -n") + "\\" + CommandOutput("id -un"));
  EXPECT_EQ(GetWindowsVersionName(), CommandOutput("uname -s") + " " + CommandOutput("uname -r"));
}

TEST(SettingsNamesTest, WindowsVersionTable) {
  struct TCase {
    int Major;
    int Minor;
    bool Nt;
    const char* Name;
  };
  const TCase Cases[] = {
      {3, 51, true, "NT3"},          {4, 0, true, "NT4"},           {4, 0, false, "Windows 95"},
      {4, 10, false, "Windows 98"},  {4, 90, false, "Windows ME"},  {4, 1, true, "Unknown"},
      {5, 0, true, "Windows 2000"},  {5, 1, true, "Windows XP"},    {5, 2, true, "Windows 2003"},
      {5, 3, true, "Unknown"},       {6, 0, true, "Unknown"},       {0, 0, true, "Unknown"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(WindowsVersionName(Case.Major, Case.Minor, Case.Nt), Case.Name) << Case.Major << "." << Case.Minor;
  }
}

TEST_F(SettingsFileTest, FreshFileHoldsEveryDefaultInSaveOrder) {
  TServiceSettings Settings;
  LoadServiceSettings(Settings);
  EXPECT_EQ(Settings, Defaults());
  const std::string Expected = "[Service]\r\nTimeoutConnect=1\r\nWinAccount=" + GetCurrentAccountName() +
                               "\r\nWinPassword=\r\nAccessSysLog=0\r\nAccessLogPath=" + Dir() +
                               "Log/\r\nTimeoutDelay=2\r\nWinVersion=" + GetWindowsVersionName() +
                               "\r\nTempDir=" + Dir() + "Temp/\r\nTimeoutReconnect=10\r\n";
  EXPECT_EQ(File(), Expected);
}

TEST_F(SettingsFileTest, EmptySectionIsFilledLikeAFreshFile) {
  Put("[Languages]\r\nLangPath=/x/Lang_ru.ini\r\n[Service]\r\n");
  TServiceSettings Settings;
  LoadServiceSettings(Settings);
  EXPECT_EQ(Settings, Defaults());
  const std::string Expected = "[Languages]\r\nLangPath=/x/Lang_ru.ini\r\n[Service]\r\nTimeoutConnect=1\r\nWinAccount=" +
                               GetCurrentAccountName() + "\r\nWinPassword=\r\nAccessSysLog=0\r\nAccessLogPath=" +
                               Dir() + "Log/\r\nTimeoutDelay=2\r\nWinVersion=" + GetWindowsVersionName() +
                               "\r\nTempDir=" + Dir() + "Temp/\r\nTimeoutReconnect=10\r\n";
  EXPECT_EQ(File(), Expected);
}

TEST_F(SettingsFileTest, MissingKeysAreWrittenBackInLoadOrder) {
  Put("[Service]\r\nTimeoutDelay=5\r\n");
  TServiceSettings Settings;
  LoadServiceSettings(Settings);
  TServiceSettings Expected = Defaults();
  Expected.TimeoutDelay = 5;
  EXPECT_EQ(Settings, Expected);
  EXPECT_EQ(File(), "[Service]\r\nTimeoutDelay=5\r\nTimeoutConnect=1\r\nAccessSysLog=0\r\nAccessLogPath=" + Dir() +
                        "Log/\r\nTempDir=" + Dir() + "Temp/\r\nWinAccount=" + GetCurrentAccountName() +
                        "\r\nWinPassword=\r\nWinVersion=" + GetWindowsVersionName() + "\r\nTimeoutReconnect=10\r\n");
}

TEST_F(SettingsFileTest, CompleteSectionIsReadAndLeftUntouched) {
  const std::string Text = FullSection({});
  Put(Text);
  TServiceSettings Settings;
  LoadServiceSettings(Settings);
  EXPECT_EQ(Settings.TimeoutConnect, 3);
  EXPECT_EQ(Settings.WinAccount, "box\\relay");
  EXPECT_EQ(Settings.WinPassword, "Pass");
  EXPECT_TRUE(Settings.AccessSysLog);
  EXPECT_EQ(Settings.AccessLogPath, "/var/log/relaybird/");
  EXPECT_EQ(Settings.TimeoutDelay, 4);
  EXPECT_EQ(Settings.WinVersion, "Linux 5.10");
  EXPECT_EQ(Settings.TempDir, "/var/tmp/relaybird/");
  EXPECT_EQ(Settings.TimeoutReconnect, 7);
  EXPECT_EQ(File(), Text);
}

TEST_F(SettingsFileTest, OddValuesLoadWithoutCorrectingTheFile) {
  struct TCase {
    std::string Key;
    std::string Stored;
    TServiceSettings (*Expect)(TServiceSettings);
  };
  const TCase Cases[] = {
      {"TimeoutReconnect", "0", [](TServiceSettings S) { S.TimeoutReconnect = 1; return S; }},
      {"TimeoutReconnect", "-3", [](TServiceSettings S) { S.TimeoutReconnect = 1; return S; }},
      {"TimeoutConnect", "abc", [](TServiceSettings S) { S.TimeoutConnect = 1; return S; }},
      {"TimeoutDelay", "2.5", [](TServiceSettings S) { S.TimeoutDelay = 2; return S; }},
      {"AccessSysLog", "0", [](TServiceSettings S) { S.AccessSysLog = false; return S; }},
      {"AccessSysLog", "2", [](TServiceSettings S) { S.AccessSysLog = true; return S; }},
      {"AccessSysLog", "yes", [](TServiceSettings S) { S.AccessSysLog = false; return S; }},
      {"WinPassword", "", [](TServiceSettings S) { S.WinPassword = ""; return S; }},
      {"WinPassword", "not hex", [](TServiceSettings S) { S.WinPassword = ""; return S; }},
      {"WinVersion", "Windows XP", [](TServiceSettings S) { S.WinVersion = "Windows XP"; return S; }},
      {"TempDir", "", [](TServiceSettings S) { S.TempDir = ""; return S; }},
  };
  TServiceSettings Base;
  Put(FullSection({}));
  LoadServiceSettings(Base);
  for (const TCase& Case : Cases) {
    const std::string Text = FullSection({{Case.Key, Case.Stored}});
    Put(Text);
    TServiceSettings Settings;
    LoadServiceSettings(Settings);
    EXPECT_EQ(Settings, Case.Expect(Base)) << Case.Key << "=" << Case.Stored;
    EXPECT_EQ(File(), Text) << Case.Key << "=" << Case.Stored;
  }
}

TEST_F(SettingsFileTest, SaveWritesTheRecordOverStoredValues) {
  Put("[Service]\r\nOwnKey=kept\r\nTimeoutReconnect=0\r\nWinVersion=Windows XP\r\n[Protocols]\r\nMAIL=1\r\n");
  TServiceSettings Settings;
  Settings.WinAccount = "box\\relay";
  Settings.WinPassword = "Pass";
  Settings.WinVersion = "Windows XP";
  Settings.AccessLogPath = "/l/";
  Settings.TempDir = "/t/";
  Settings.AccessSysLog = true;
  Settings.TimeoutConnect = 3;
  Settings.TimeoutDelay = 4;
  Settings.TimeoutReconnect = 7;
  SaveServiceSettings(Settings);
  EXPECT_EQ(File(), "[Service]\r\nOwnKey=kept\r\nTimeoutReconnect=7\r\nWinVersion=" + GetWindowsVersionName() +
                        "\r\nTimeoutConnect=3\r\nWinAccount=box\\relay\r\nWinPassword=2710031F\r\nAccessSysLog=1\r\n"
                        "AccessLogPath=/l/\r\nTimeoutDelay=4\r\nTempDir=/t/\r\n[Protocols]\r\nMAIL=1\r\n");

  TServiceSettings Loaded;
  LoadServiceSettings(Loaded);
  Settings.WinVersion = GetWindowsVersionName();
  EXPECT_EQ(Loaded, Settings);
}

TEST_F(SettingsFileTest, SaveRaisesReconnectPeriodToOne) {
  for (const int Period : {0, -3}) {
    Put(FullSection({{"TimeoutReconnect", std::to_string(Period)}}));
    TServiceSettings Settings;
    LoadServiceSettings(Settings);
    Settings.TimeoutReconnect = Period;
    SaveServiceSettings(Settings);
    EXPECT_EQ(TIniFile(SettingsFileName).ReadString("Service", "TimeoutReconnect", ""), "1") << Period;
  }
}

TEST_F(SettingsFileTest, RefusedWriteReachesTheCallerAndLeavesTheFile) {
  Put("[Service]\r\nTimeoutDelay=5\r\n");
  ASSERT_EQ(chmod(SettingsFileName.c_str(), 0444), 0);
  TServiceSettings Settings = Defaults();
  EXPECT_THROW(LoadServiceSettings(Settings), EIniFileError);
  EXPECT_THROW(SaveServiceSettings(Settings), EIniFileError);
  EXPECT_EQ(File(), "[Service]\r\nTimeoutDelay=5\r\n");
}

TEST_F(SettingsFileTest, MissingFolderReachesTheCaller) {
  SettingsFileName = Dir() + "no-such-folder/Relaybird.ini";
  TServiceSettings Settings;
  EXPECT_THROW(LoadServiceSettings(Settings), EIniFileError);
  InitSettingsFileName();
}

TEST_F(SettingsFileTest, DatabaseSectionReplacesEveryConnection) {
  Put("[Connection]\r\nItem_0=1#OLD#U#2710031F#S\r\nItem_1=2#OLD2#U#2710031F#S\r\n"
      "[Database]\r\nOraHome=2\r\nOraServer=PROD\r\nOraUser=RELAY\r\nOraPassword=2710031F\r\nOraSchema=SCH\r\n"
      "[Service]\r\nTimeoutDelay=5\r\n");
  MigrateDatabaseSection();
  EXPECT_EQ(File(), "[Service]\r\nTimeoutDelay=5\r\n[Connection]\r\nItem_0=2#PROD#RELAY#2710031F#SCH\r\n");
}

TEST_F(SettingsFileTest, DatabaseSectionDefaults) {
  // The fourth field is DefaultOraPassword scrambled, worked out by hand.
  struct TCase {
    std::string Database;
    std::string Item;
  };
  const TCase Cases[] = {
      {"OraServer=ORCL\r\n", "0#ORCL#KOBALTIX5#2D23203B26363A3C3E2A255D#KOBALTIX5"},
      {"OraHome=x\r\nOraUser=\r\n", "0#KOBALTIX##2D23203B26363A3C3E2A255D#KOBALTIX5"},
  };
  for (const TCase& Case : Cases) {
    Put("[Database]\r\n" + Case.Database);
    MigrateDatabaseSection();
    EXPECT_EQ(File(), "[Connection]\r\nItem_0=" + Case.Item + "\r\n") << Case.Database;
  }
}

TEST_F(SettingsFileTest, NothingToMigrate) {
  for (const std::string& Text : {std::string("[Connection]\r\nItem_0=1#A#B#C#D\r\n"),
                                  std::string("[Database]\r\n[Connection]\r\nItem_0=1#A#B#C#D\r\n")}) {
    Put(Text);
    MigrateDatabaseSection();
    EXPECT_EQ(File(), Text);
  }
  RemovePath(SettingsFileName);
  MigrateDatabaseSection();
  EXPECT_FALSE(FileExists(SettingsFileName));
}

}  // namespace
}  // namespace relaybird
