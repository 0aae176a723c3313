#include "i18n/lang_manager.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

#include "core/settings_file.h"
#include "relaybird/settings.h"
#include "i18n_fixtures.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"
#include "test_support.h"

namespace relaybird {
namespace {

using test::ReadFileBytes;
using test::RemovePath;
using test::TTempDir;
using test::WriteFileBytes;

class LangManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSettingsFileName();
    Clean();
  }
  void TearDown() override { Clean(); }
  void Clean() {
    RemovePath(SettingsFileName);
    RemovePath(Langs());
  }

  static std::string Langs() { return ExecutableDir() + "Langs/"; }
  static void WriteLanguage(const std::string& Name, const std::string& Bytes) {
    std::filesystem::create_directories(Langs());
    WriteFileBytes(Langs() + Name, Bytes);
  }

  TTempDir Elsewhere;
};

TEST_F(LangManagerTest, FreshInstallationGetsDefaultPathAndLangs) {
  TLangManager Manager;

  EXPECT_EQ(Manager.LangPath, ExecutableDir() + "Langs/Lang_en.ini");
  EXPECT_EQ(TLangManager::DefaultLangPath(), Manager.LangPath);
  EXPECT_TRUE(std::filesystem::is_directory(Langs()));
  EXPECT_TRUE(Manager.Languages.empty());
  EXPECT_FALSE(std::filesystem::exists(SettingsFileName));
}

TEST_F(LangManagerTest, StoredPathAndItsFallbacks) {
  struct TCase {
    const char* Name;
    std::string Stored;
    bool StoredExists;
    bool SameNameInLangs;
    std::string Expected;
  };
  const std::string Gone = Elsewhere.Path() + "gone/Lang_ru.ini";
  const TCase Cases[] = {
      {"stored file exists", Elsewhere.Path() + "Lang_ru.ini", true, true, Elsewhere.Path() + "Lang_ru.ini"},
      {"gone, same name in Langs", Gone, false, true, Langs() + "Lang_ru.ini"},
      {"gone, not in Langs", Gone, false, false, TLangManager::DefaultLangPath()},
      {"empty entry", "", false, true, TLangManager::DefaultLangPath()},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Clean();
    const std::string Settings = "[Languages]\r\nLangPath=" + Case.Stored + "\r\n";
    WriteFileBytes(SettingsFileName, Settings);
    RemovePath(Elsewhere.Path() + "Lang_ru.ini");
    if (Case.StoredExists) WriteFileBytes(Case.Stored, "[LANG]\r\nValue=Elsewhere\r\n");
    if (Case.SameNameInLangs) WriteLanguage("Lang_ru.ini", "[LANG]\r\nValue=Langs\r\n");

    TLangManager Manager;

    EXPECT_EQ(Manager.LangPath, Case.Expected);
    EXPECT_EQ(ReadFileBytes(SettingsFileName), Settings);
    EXPECT_TRUE(std::filesystem::is_directory(Langs()));
  }
}

TEST_F(LangManagerTest, ScanFindsLanguageFilesInListingOrder) {
  WriteLanguage("Lang_en.ini", "[LANG]\r\nValue=English\r\n");
  WriteLanguage("lang_RU.INI", "[LANG]\r\nValue=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n");
  WriteLanguage("Lang_de.ini", test::Utf16LeFile(u"[LANG]\r\nValue=Немецкий\r\n"));
  WriteLanguage("Lang_.ini", "[WORDS]\r\ncstLang=Language\r\n");
  for (const char* Other : {"Lang_en.ini.bak", "Lang_de.txt", "Other.ini", "XLang_a.ini", "Lang.ini"})
    WriteLanguage(Other, "[LANG]\r\nValue=Wrong\r\n");
  const std::map<std::string, std::string> Names = {
      {"Lang_en.ini", "English"}, {"lang_RU.INI", "Русский"}, {"Lang_de.ini", "Немецкий"}, {"Lang_.ini", ""}};
  std::vector<std::pair<std::string, std::string>> Expected;
  for (const auto& Entry : std::filesystem::directory_iterator(Langs())) {
    const std::string Name = Entry.path().filename().string();
    if (Names.count(Name)) Expected.emplace_back(Langs() + Name, Names.at(Name));
  }

  TLangManager Manager;

  EXPECT_EQ(Manager.Languages, Expected);
}

TEST_F(LangManagerTest, ChosenPathIsWrittenToTheSettingsFile) {
  WriteFileBytes(SettingsFileName, "[Service]\r\nTimeoutDelay=5\r\n");
  TLangManager Manager;

  Manager.SetLangPath(Langs() + "Lang_de.ini");
  EXPECT_EQ(Manager.LangPath, Langs() + "Lang_de.ini");
  EXPECT_EQ(ReadFileBytes(SettingsFileName),
            "[Service]\r\nTimeoutDelay=5\r\n[Languages]\r\nLangPath=" + Langs() + "Lang_de.ini\r\n");

  Manager.SetLangPath("/opt/other/Lang_ru.ini");
  EXPECT_EQ(ReadFileBytes(SettingsFileName),
            "[Service]\r\nTimeoutDelay=5\r\n[Languages]\r\nLangPath=/opt/other/Lang_ru.ini\r\n");
}

TEST_F(LangManagerTest, UnwritableSettingsFileReachesTheCaller) {
  TLangManager Manager;
  std::filesystem::create_directory(SettingsFileName);

  try {
    Manager.SetLangPath("/opt/other/Lang_ru.ini");
    FAIL() << "no error";
  } catch (const EIniFileError& Error) {
    EXPECT_EQ(std::string(Error.what()).rfind("Unable to write to " + SettingsFileName + ": ", 0), 0u);
  }
  EXPECT_EQ(Manager.LangPath, "/opt/other/Lang_ru.ini");
}

}  // namespace
}  // namespace relaybird
