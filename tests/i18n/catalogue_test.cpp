#include "relaybird/catalogue.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

#include "i18n/translator.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"
#include "test_support.h"

namespace relaybird {
namespace {

using test::ReadFileBytes;
using test::RemovePath;
using test::TTempDir;
using test::WriteFileBytes;

// The keys language files use, in fill order.
const std::vector<std::string> ExpectedKeys = {
    "cstServiceDesc", "cstServiceInstallError", "sctServiceStop", "cstServiceRegNotExist",
    "cstServerErrorErrorParams", "cstServiceLogCreateError", "cstSendedMessages",
    "cstSendedUserMessage", "cstNotSendedUserMessage", "cstNotSendedMessage", "cstErrorStr",
    "cstInformationStr", "cstWraningStr", "cstSuccessStr", "cstStopStr", "cstLoadedStr",
    "cstErrorFormat", "cstCursorEmpty", "cstDeleteTempFiles", "cstOpenDataError",
    "cstCursorError", "cstGetMessages", "cstConfigYes", "cstConfigNo", "cstMessagesCount",
    "cstRebootMessage", "cstServiceWaitModule", "cstServiceNonModules", "cstMailServiceCaption",
    "cstMailAttachError", "cstMailAttachFillError", "cstMailStatusRefreshError",
    "cstMailStatusRefresh", "cstMailNotSended", "cstMailAttachOverflow", "cstMailConnectError",
    "cstMailConnected", "cstMailAchrPrepareError", "cstMailAchrCompressError",
    "cstMailInvalidUserAdr", "cstMailSaveAttachs", "cstMailAttachsCreated",
    "cstMailConnectionError", "cstMailMessageError", "cstOraIsConnectError",
    "cstOraTimesConnectLimit", "cstOraNotConnect", "cstOraConnected", "cstOraConnectingServer",
    "cstOraConnectingSchema", "cstOraConnectingUser", "cstMinute", "cstSecond", "cstMinuteSort",
    "cstSecondSort", "cstLogerErrorOfFileName", "cstSettingsConnectTimeout",
    "cstSettingsSendTimeout", "cstSettingsLogDir", "cstSettingsNumOfAttempts",
    "cstSettingsRepeatDelay", "cstSettingsWaitTimeout", "cstSettingsTempDir",
    "cstSettingsSysLogAccess", "cstSettingsWindowsVersion", "cstSettingsWinAccount",
    "cstSettingsLogAccess", "cstSettingsConfirmAccess", "cstConfigConnectingError",
    "cstConfigCheckLogin", "cstConfigNoUserName", "cstConfigCheckPass", "cstConfigConnectTrue",
    "cstConfigCheckSchema", "cstConfigEmptyParam", "cstConfigEmptyServer", "cstConfigEmptyHomes",
    "cstConfigEmptySchema", "cstConfigEmptyUser", "cstConfigEmptyPassword",
    "cstConfigParamLoadError", "cstConfigCaption", "cstConfigRightsError",
    "cstConfigRightsAccessError", "cstConfigRightsFormat", "cstConfigRightsFrmError",
    "cstConfigRightsLogError", "cstConfigSaveConfirm", "cstConfigSaveError",
    "cstHintConfStatusBar", "cstHintConfConnected", "cstHintConfSave", "cstHintConfExit",
    "cstHintConfHide", "cstHintConfShow", "cstHintConfInstall", "cstHintConfUninstall",
    "cstHintConfStart", "cstHintConfPause", "cstHintConfStop", "cstHintConfRefresh",
    "cstHintConfLoad", "cstHintConfUnload", "cstHintConfRightsPass", "cstHintConfSelLogDir",
    "cstHintConfSelTempDir", "cstHintConfMailLog", "cstHintConfMailConfirm",
    "cstHintConfMailPeriod", "cstHintConfMailBroadcast", "cstHintConfMailTypePeriod",
    "cstArchveComment", "cstLangMenuCreateError", "cstMailParamsError", "cstMailEmptyParams",
    "cstMailServiceDesc", "cstLang", "cstModeAdd", "cstModeEdit",
};

std::string MissingFile() { return ExecutableDir() + "default.ini"; }

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    RemovePath(MissingFile());
    CreateTransFormList();
    for (const TCatalogueEntry& Entry : CatalogueEntries()) Entry.Text->clear();
  }
  void TearDown() override {
    FreeTransFormList();
    RemovePath(MissingFile());
  }

  void LoadLanguage(const std::string& Bytes) {
    WriteFileBytes(Dir.Path() + "Lang_test.ini", Bytes);
    SetLanguageFile(Dir.Path() + "Lang_test.ini");
    LoadPhrases();
  }

  TTempDir Dir;
};

TEST_F(Catalogue, EveryKeyOnceInFillOrder) {
  std::vector<std::string> Keys;
  std::set<const std::string*> Texts;
  for (const TCatalogueEntry& Entry : CatalogueEntries()) {
    Keys.emplace_back(Entry.Key);
    Texts.insert(Entry.Text);
  }
  EXPECT_EQ(Keys, ExpectedKeys);
  EXPECT_EQ(Texts.size(), ExpectedKeys.size());
  EXPECT_STREQ(ServiceTitle, "Relaybird");
  EXPECT_STREQ(ServiceSysName, "RelaybirdSrv");
  EXPECT_STREQ(ServiceLogonRight, "SeServiceLogonRight");
}

TEST_F(Catalogue, DefaultsWithoutLanguageFile) {
  TranslateConstants();

  const std::pair<const std::string*, std::string> Expected[] = {
      {&cstMinute, " минут"},
      {&cstSecond, " секунд"},
      {&cstErrorFormat, "Ошибка: %s"},
      {&cstConfigCaption, "Настройка службы Relaybird"},
      {&cstServiceRegNotExist, " не найдена ветка реестра"},
      {&cstServerErrorErrorParams,
       "Ошибка запуска сервиса Relaybird. Указаны неверные параметры запуска."},
      {&cstConfigEmptyServer, "Отсутствует обязательный параметр соединения: сервер БД"},
      {&cstConfigRightsAccessError, "Ошибка при назначении привелегии \"Вход в качестве службы\""},
      {&cstConfigRightsFrmError,
       "Неверный формат учетной записи\r\nОжидается: <Имя домена>\\<Логин пользователя>"},
      {&cstConfigRightsLogError,
       "Ошибка при авторизации учетной записи запуска службы\r\n"
       "Проверьте правильность заполнения полей на закладке \"Параметры службы\""},
  };
  for (const auto& [Text, Value] : Expected) EXPECT_EQ(*Text, Value);
  for (const TCatalogueEntry& Entry : CatalogueEntries()) EXPECT_FALSE(Entry.Text->empty()) << Entry.Key;
  EXPECT_FALSE(std::filesystem::exists(MissingFile()));
}

TEST_F(Catalogue, TranslationsFlowIntoLaterDefaults) {
  LoadLanguage(
      "[WORDS]\r\n"
      "cstErrorStr=Error\r\n"
      "cstConfigRightsFormat=DOMAIN\\user\r\n"
      "cstMinute=\" min\"\r\n"
      "CSTINFORMATIONSTR=Information\r\n"
      "cstServiceStop=Stopping\r\n");

  TranslateConstants();

  EXPECT_EQ(cstErrorStr, "Error");
  EXPECT_EQ(cstErrorFormat, "Error: %s");
  EXPECT_EQ(cstConfigRightsFrmError, "Неверный формат учетной записи\r\nОжидается: DOMAIN\\user");
  EXPECT_EQ(cstMinute, "  min");
  EXPECT_EQ(cstSecond, " секунд");
  EXPECT_EQ(cstInformationStr, "Information");
  EXPECT_EQ(sctServiceStop, "Завершение работы службы Relaybird");

  // Every other key is recorded, in fill order, with the default the fill built.
  std::vector<std::string> Missing;
  for (const std::string& Key : ExpectedKeys)
    if (Key != "cstErrorStr" && Key != "cstConfigRightsFormat" && Key != "cstMinute" &&
        Key != "cstInformationStr")
      Missing.push_back(Key);
  EXPECT_EQ(TIniFile(MissingFile()).ReadSection("WORDS"), Missing);
  const std::string Recorded = ReadFileBytes(MissingFile());
  for (const char* Line : {
           "\r\ncstSecond=секунд\r\n",
           "\r\ncstErrorFormat=Error: %s\r\n",
           "\r\ncstConfigRightsFrmError=Неверный формат учетной записи||Ожидается: DOMAIN\\user\r\n",
           "\r\nsctServiceStop=Завершение работы службы Relaybird\r\n",
           "\r\ncstConfigRightsLogError=Ошибка при авторизации учетной записи запуска службы||"
           "Проверьте правильность заполнения полей на закладке \"Параметры службы\"\r\n",
       })
    EXPECT_NE(Recorded.find(Line), std::string::npos) << Line;
}

// The rows before the failing lookup hold their new texts, that row and all
// later ones keep what they held.
TEST_F(Catalogue, FailingLookupEndsTheFillAtItsRow) {
  for (const std::size_t FailingRow : {std::size_t{0}, std::size_t{10}}) {
    SCOPED_TRACE(FailingRow);
    std::string File = "[WORDS]\r\nUnrelated=x\r\n";
    for (std::size_t Row = 0; Row < FailingRow; ++Row)
      File += ExpectedKeys[Row] + "=T" + std::to_string(Row) + "\r\n";
    LoadLanguage(File);
    for (const TCatalogueEntry& Entry : CatalogueEntries()) *Entry.Text = "old";
    std::filesystem::create_directories(MissingFile());

    EXPECT_THROW(TranslateConstants(), EIniFileError);

    const auto Entries = CatalogueEntries();
    for (std::size_t Row = 0; Row < Entries.size(); ++Row)
      EXPECT_EQ(*Entries[Row].Text, Row < FailingRow ? "T" + std::to_string(Row) : "old")
          << Entries[Row].Key;
  }
}

}  // namespace
}  // namespace relaybird
