// The form translator on the real window: keys, a change of language, and
// the English language file shipped with the program.
#include <gtest/gtest.h>

#include <QCheckBox>

#include "app/config_form.h"
#include "app/connect_edit.h"
#include "i18n/form_translator.h"
#include "i18n/lang_manager.h"
#include "i18n/translator.h"
#include "platform/exe_path.h"
#include "platform/text_encoding.h"
#include "qt_fixtures.h"
#include "relaybird/catalogue.h"
#include "relaybird/ini_file.h"
#include "test_support.h"
#include "tests/app/fixed_service_state.h"

namespace relaybird {
namespace {

using test::RemovePath;
using test::TTempDir;
using test::WriteFileBytes;

class WindowTranslation : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_RUNTIME_DIR", Dir.Path().c_str(), 1);
    RemovePath(ExecutableDir() + "Relaybird.ini");
    CreateTransFormList();
    InitSettingsFileName();
    CreateLangManager();
  }
  void TearDown() override {
    FreeLangManager();
    FreeTransFormList();
    RemovePath(ExecutableDir() + "Relaybird.ini");
    RemovePath(ExecutableDir() + "default.ini");
  }
  std::unique_ptr<TfrmConfig> NewWindow(unsigned Bits = smConfig) {
    TStartModes Modes;
    if (Bits & smConfig) Modes.Include(smConfig);
    if (Bits & smMonitor) Modes.Include(smMonitor);
    return std::make_unique<TfrmConfig>(Modes, test::FixedServiceState(sscNotInstalled));
  }
  TTempDir Dir;
};

TEST_F(WindowTranslation, WindowSectionSetsTextsUnderTheirKeysAndAgainAfterAChange) {
  const std::string First = Dir.Path() + "Lang_first.ini";
  const std::string Second = Dir.Path() + "Lang_second.ini";
  WriteFileBytes(First,
                 "[frmConfig]\r\n"
                 "frmConfig.Caption=First caption\r\n"
                 "frmConfig.acSave.Caption=Save it\r\n"
                 "frmConfig.acSave.Hint=Save hint\r\n"
                 "frmConfig.tsCommon.Caption=Service\r\n"
                 "frmConfig.lblDelay.Caption=Delay\r\n"
                 "frmConfig.gbLog.Caption=Logging\r\n"
                 "frmConfig.sbrEvents.Panels_1.Text=Panel one\r\n"
                 "frmConfig.grdConn.Columns_1.Title.Caption=Server\r\n"
                 "frmConfig.mitService.Caption=Service menu\r\n"
                 "frmConfig.cbSystemLog.Caption=Copy errors\r\n"
                 "frmConfig.Name=Renamed\r\n"
                 "frmConfig.acSave.Category=Other\r\n"
                 "frmConfig.noSuchThing.Caption=Ignored\r\n"
                 "frmConfig.grdConn.Columns_9.Title.Caption=Ignored\r\n");
  WriteFileBytes(Second,
                 "[frmConfig]\r\n"
                 "frmConfig.acSave.Caption=Store\r\n"
                 "frmConfig.grdConn.Columns_1.Title.Caption=Host\r\n"
                 "frmConfig.sbrEvents.Panels_1.Text=Second panel\r\n");
  SetLanguageFile(First);
  auto Window = NewWindow();
  Window->sbrEvents->Panels[1].SetText("status");
  TranslateForm(*Window);
  EXPECT_EQ(Window->windowTitle().toStdString(), "First caption");
  EXPECT_EQ(Window->acSave->Caption(), "Save it");
  EXPECT_EQ(Window->acSave->Hint(), "Save hint");
  EXPECT_EQ(Window->pcItems->Object()->Caption(Window->tsCommon->Object()).toStdString(), "Service");
  EXPECT_EQ(Window->lblDelay->Object()->text().toStdString(), "Delay");
  EXPECT_EQ(Window->gbLog->Object()->title().toStdString(), "Logging");
  EXPECT_EQ(Window->sbrEvents->Panels[1].Text(), "Panel one");
  EXPECT_EQ(Window->grdConn->Model()->headerData(1, Qt::Horizontal).toString().toStdString(), "Server");
  EXPECT_EQ(Window->mitService->Object()->text().toStdString(), "Service menu");
  EXPECT_EQ(Window->cbSystemLog->Object()->text().toStdString(), "Copy errors");
  EXPECT_EQ(Window->Name(), "frmConfig");
  EXPECT_EQ(Window->acSave->Category, "Main");
  // The tool button shows what its action says.
  EXPECT_EQ(Window->findChild<QToolButton*>("tbtSave")->text().toStdString(), "Save it");

  TransFormList->ChangeLanguage(Second);
  EXPECT_EQ(Window->acSave->Caption(), "Store");
  EXPECT_EQ(Window->grdConn->Model()->headerData(1, Qt::Horizontal).toString().toStdString(), "Host");
  EXPECT_EQ(Window->sbrEvents->Panels[1].Text(), "Second panel");
  // A text the second file does not hold keeps the first file's wording.
  EXPECT_EQ(Window->lblDelay->Object()->text().toStdString(), "Delay");
}

TEST_F(WindowTranslation, DestroyedWindowLeavesTheRegistry) {
  auto Window = NewWindow();
  TranslateForm(*Window);
  TranslateForm(*Window);
  EXPECT_EQ(TransFormList->Forms.size(), 1u);
  Window.reset();
  EXPECT_TRUE(TransFormList->Forms.empty());
  TransFormList->ChangeLanguage(Dir.Path() + "Lang_none.ini");
}

TEST_F(WindowTranslation, LanguageMenuPicksAFileAndRetranslatesTheWindow) {
  ForceDirectories(TLangManager::LangsDir());
  const std::string Other = TLangManager::LangsDir() + "Lang_xx_TEST.ini";
  WriteFileBytes(Other,
                 "[LANG]\r\nValue=Test language\r\n[WORDS]\r\ncstLang=Sprache\r\n"
                 "[frmConfig]\r\nfrmConfig.acExit.Caption=Leave\r\n");
  FreeLangManager();
  CreateLangManager();
  auto Window = NewWindow();
  Window->show();
  Window->pcItems->Object()->SetActivePage(Window->tsDB->Object());
  QAction* Item = nullptr;
  for (QAction* Candidate : Window->pmLangs->Object()->actions())
    if (Candidate->text() == "Test language") Item = Candidate;
  ASSERT_NE(Item, nullptr);
  EXPECT_FALSE(Item->isChecked());
  Item->trigger();
  EXPECT_TRUE(Item->isChecked());
  EXPECT_EQ(TIniFile(SettingsFileName).ReadString("Languages", "LangPath", ""), Other);
  EXPECT_EQ(Window->acExit->Caption(), "Leave");
  EXPECT_EQ(cstLang, "Sprache");
  EXPECT_EQ(Window->btnLangs->Object()->text().toStdString(), "Sprache");
  EXPECT_EQ(Window->pcItems->Object()->ActivePage(), Window->tsDB->Object());
  // The window and its menu go first; the manager then leaves the menu alone.
  Window.reset();
  FreeLangManager();
  RemovePath(Other);
}

TEST_F(WindowTranslation, EnglishFileHoldsEveryCatalogueAndWindowKey) {
  const std::string English = std::string(RELAYBIRD_SOURCE_DIR) + "/Langs/Lang_en_US.ini";
  TIniFile File(English);
  EXPECT_EQ(File.ReadString("LANG", "Value", ""), "English");
  std::string Missing;
  for (const TCatalogueEntry& Entry : CatalogueEntries())
    if (Trim(File.ReadString("WORDS", Entry.Key, "")).empty()) Missing += std::string("WORDS ") + Entry.Key + "\n";
  TranslateConstants();
  for (unsigned Bits : {unsigned(smConfig), unsigned(smMonitor)}) {
    auto Window = NewWindow(Bits);
    for (const auto& [Key, Text] : TTranslatorComponents::TextKeys(*Window))
      if (File.ReadString("frmConfig", Key, "").empty() && Missing.find(Key + "=") == std::string::npos)
        Missing += Key + "=" + Text + "\n";
  }
  // The designed texts: the lists are refilled with data at creation.
  TfrmConnectEdit Editor;
  Editor.cbbOraHome->Object()->clear();
  Editor.cbbOraHome->Object()->addItem("Default");
  Editor.cbbServerName->Object()->clear();
  for (const auto& [Key, Text] : TTranslatorComponents::TextKeys(Editor))
    if (File.ReadString("frmConnectEdit", Key, "").empty()) Missing += Key + "=" + Text + "\n";
  EXPECT_EQ(Missing, "");
}

}  // namespace
}  // namespace relaybird
