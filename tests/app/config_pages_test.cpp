// The database page with its connection editor against the PostgreSQL test
// database, and the modules page with the module settings pages of real
// module libraries, driven on the offscreen platform.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/config_form.h"
#include "app/connect_edit.h"
#include "database_fixture.h"
#include "db/connection_test.h"
#include "db/ora_client_homes.h"
#include "i18n/lang_manager.h"
#include "i18n/translator.h"
#include "platform/exe_path.h"
#include "qt_fixtures.h"
#include "relaybird/catalogue.h"
#include "relaybird/ini_file.h"
#include "relaybird/scrambler.h"
#include "test_support.h"
#include "tests/app/fixed_service_state.h"

namespace relaybird {
namespace {

using test::ReadFileBytes;
using test::RemovePath;
using test::TModalAnswerer;
using test::TTempDir;
using test::WriteFileBytes;

using TDialogDriver = test::TDialogDriver<TfrmConnectEdit>;

void Fill(TfrmConnectEdit& Dialog, const char* Server, const std::string& User, const std::string& Password) {
  Dialog.cbbOraHome->Object()->setCurrentIndex(test::PostgresHomeIndex());
  Dialog.cbbServerName->Object()->setCurrentText(Server);
  Dialog.edtUser->Object()->setText(ToQt(User));
  Dialog.edtPassword->Object()->setText(ToQt(Password));
  Dialog.btnOK->Object()->click();
}

std::string Stored(const TConnectionSettings& S) {
  return std::to_string(S.OraHome) + "#" + S.OraServer + "#" + S.OraUser + "#" + ScrambleText(S.OraPassword, ScrambleKey) +
         "#" + S.OraSchema;
}

class ConfigPages : public test::TOdbcConfigTest {
 protected:
  void SetUp() override {
    test::TOdbcConfigTest::SetUp();
    if (IsSkipped()) return;
    setenv("XDG_RUNTIME_DIR", Runtime.Path().c_str(), 1);
    RemovePath(ExecutableDir() + "Relaybird.ini");
    std::filesystem::remove_all(ExecutableDir() + "Protocols");
    std::filesystem::create_directories(ExecutableDir() + "Protocols");
    CreateTransFormList();
    InitSettingsFileName();
    CreateLangManager();
    TranslateConstants();
  }
  void TearDown() override {
    Window.reset();
    FreeLangManager();
    FreeTransFormList();
    RemovePath(ExecutableDir() + "Relaybird.ini");
    RemovePath(MailFrameLibrary());
    std::filesystem::remove_all(ExecutableDir() + "Protocols");
  }
  TfrmConfig& Open(unsigned Bits) {
    TStartModes Modes;
    if (Bits & smMonitor) Modes.Include(smMonitor);
    if (Bits & smConfig) Modes.Include(smConfig);
    Window.reset();
    Window = std::make_unique<TfrmConfig>(Modes, test::FixedServiceState(sscStopped));
    Window->show();
    return *Window;
  }
  static void AddModule(const std::string& Path) {
    std::filesystem::copy_file(Path, ExecutableDir() + "Protocols/" + std::filesystem::path(Path).filename().string());
  }
  // The e-mail module with its settings page's library beside the program,
  // as an installation has them.
  static void AddMailModule() {
    AddModule(std::string(RELAYBIRD_PROTOCOLS_DIR) + "/mail.so");
    std::filesystem::copy_file(RELAYBIRD_MAIL_FRAME, MailFrameLibrary(),
                               std::filesystem::copy_options::overwrite_existing);
  }
  static std::string MailFrameLibrary() { return ExecutableDir() + "librelaybird_mail_frame.so"; }
  static TIniFile Ini() { return TIniFile(ExecutableDir() + "Relaybird.ini"); }

  TTempDir Runtime;
  std::unique_ptr<TfrmConfig> Window;
};

TEST_F(ConfigPages, EditorListsHomesAndAliasesAndChecksInOrder) {
  TfrmConnectEdit Dialog;
  const TOraClientHomes& Homes = OraClientHomes();
  QComboBox* HomeBox = Dialog.cbbOraHome->Object();
  ASSERT_EQ(HomeBox->count(), static_cast<int>(Homes.Names.size()));
  EXPECT_EQ(HomeBox->currentIndex(), 0);
  const int Pg = test::PostgresHomeIndex();
  EXPECT_EQ(HomeBox->itemText(Pg).toStdString(), "[" + std::to_string(Pg) + "] PostgreSQL Unicode (default)");
  HomeBox->setCurrentIndex(Pg);
  Dialog.FillServerList();
  QStringList Aliases;
  for (int I = 0; I < Dialog.cbbServerName->Object()->count(); ++I) Aliases << Dialog.cbbServerName->Object()->itemText(I);
  EXPECT_TRUE(Aliases.contains("KOBALTIX"));
  EXPECT_TRUE(Aliases.contains("DEFAULT"));
  QStringList Sorted = Aliases;
  Sorted.sort(Qt::CaseInsensitive);
  Sorted.removeDuplicates();
  EXPECT_EQ(Aliases, Sorted);
  for (const QString& Alias : Aliases) EXPECT_EQ(Alias, Alias.toUpper());

  struct TCase {
    const char* User;
    const char* Password;
    bool NoServer;
    std::string Message;
  };
  const std::string Missing = "Отсутствует обязательный параметр соединения: ";
  for (const TCase& Case : {TCase{"kobaltix5", "x", true, Missing + "сервер БД"},
                            TCase{"   ", "x", false, Missing + "пользователь"},
                            TCase{"kobaltix5", "", false, Missing + "пароль"}}) {
    SCOPED_TRACE(Case.Message);
    TfrmConnectEdit Checked;
    if (Case.NoServer) Checked.cbbServerName->Object()->clear();
    Checked.edtUser->Object()->setText(Case.User);
    Checked.edtPassword->Object()->setText(Case.Password);
    TModalAnswerer Answerer;
    Checked.btnOKClick();
    ASSERT_EQ(Answerer.Boxes().size(), 1u);
    EXPECT_EQ(Answerer.Boxes()[0].Text, Case.Message);
    EXPECT_EQ(Answerer.Boxes()[0].Caption, "Ошибка");
    EXPECT_NE(Checked.result(), QDialog::Accepted);
  }
  // Blanks are a password; the user is also the schema.
  Dialog.cbbServerName->Object()->setCurrentText("KOBALTIX");
  Dialog.edtUser->Object()->setText("Someone");
  Dialog.edtPassword->Object()->setText("  ");
  Dialog.btnOKClick();
  EXPECT_EQ(Dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Dialog.Result.OraPassword, "  ");
  EXPECT_EQ(Dialog.Result.OraSchema, "Someone");
  EXPECT_EQ(Dialog.Result.OraServer, "KOBALTIX");
  EXPECT_EQ(Dialog.Result.OraHome, Pg);
}

TEST_F(ConfigPages, EditDialogReportsOnlyChanges) {
  TConnectionSettings Settings = test::FixtureSettings();
  Settings.OraServer = "kobaltix";
  {
    TfrmConnectEdit Dialog;
    Dialog.PrefillForEdit(Settings);
    EXPECT_EQ(Dialog.cbbServerName->Object()->currentText(), "KOBALTIX");
    TConnectionSettings Unknown = Settings;
    Unknown.OraHome = 99;
    Unknown.OraServer = "NO_SUCH_ALIAS";
    TfrmConnectEdit Other;
    Other.PrefillForEdit(Unknown);
    EXPECT_EQ(Other.cbbOraHome->Object()->currentIndex(), 0);
    EXPECT_NE(Other.cbbServerName->Object()->currentText(), "NO_SUCH_ALIAS");
  }
  Settings.OraServer = "KOBALTIX";
  std::string Home = "left over";
  {
    TDialogDriver Driver([](TfrmConnectEdit& D) { D.btnOK->Object()->click(); });
    EXPECT_FALSE(EditConnectionDialog(Settings, Home));
    EXPECT_EQ(Driver.Caption, "Соединение с базой данных [изменение]");
  }
  EXPECT_EQ(Home, "");
  {
    TDialogDriver Driver([](TfrmConnectEdit& D) { QTest::keyClick(D.edtUser->Object(), Qt::Key_Escape); });
    EXPECT_FALSE(EditConnectionDialog(Settings, Home));
  }
  const TConnectionSettings Before = Settings;
  {
    TDialogDriver Driver([](TfrmConnectEdit& D) {
      D.edtPassword->Object()->setText(D.edtPassword->Object()->text().toLower());
      D.btnOK->Object()->click();
    });
    EXPECT_TRUE(EditConnectionDialog(Settings, Home));
  }
  EXPECT_EQ(Settings.OraPassword, QString::fromStdString(Before.OraPassword).toLower().toStdString());
  EXPECT_EQ(Home, FormatOracleHome(Before.OraHome));
}

TEST_F(ConfigPages, DatabasePageAddsTestsEditsDeletesAndSaves) {
  TConnectionSettings Good = test::FixtureSettings();
  TConnectionSettings Bad = Good;
  Bad.OraPassword = "wrong";
  WriteFileBytes(ExecutableDir() + "Relaybird.ini",
                 "[Connection]\r\nItem_0=" + Stored(Good) + "\r\nItem_1=" + Stored(Bad) + "\r\n");
  TfrmConfig& W = Open(smConfig);
  ASSERT_EQ(W.vtConnect->rowCount(), 2);
  EXPECT_TRUE(W.ConnectionStatus(0));
  EXPECT_FALSE(W.ConnectionStatus(1));
  EXPECT_EQ(W.vtConnect->item(0, 3)->text().toStdString(), FormatOracleHome(Good.OraHome));
  EXPECT_FALSE(W.IsModified());
  W.alConfig->UpdateActions();
  EXPECT_TRUE(W.acConnect->Enabled());
  EXPECT_TRUE(W.actDBDel->Enabled());

  // The status column is drawn as pictures: green for row 0, red for row 1.
  W.pcItems->Object()->SetActivePage(W.tsDB->Object());
  QTableView* View = W.grdConn->Object();
  const QImage Shot = View->viewport()->grab().toImage();
  const auto CellColour = [&](int Row) {
    const QRect Cell = View->visualRect(W.vtConnect->index(Row, 0));
    // Inside the round badge, clear of its mark.
    return Shot.pixelColor(Cell.left() + Cell.width() / 2, Cell.top() + 1 + 3);
  };
  EXPECT_GT(CellColour(0).green(), CellColour(0).red());
  EXPECT_GT(CellColour(1).red(), CellColour(1).green());

  {
    TModalAnswerer Answerer;
    View->setCurrentIndex(W.vtConnect->index(1, 0));
    W.acConnectExecute();
    View->setCurrentIndex(W.vtConnect->index(0, 0));
    W.acConnectExecute();
    ASSERT_EQ(Answerer.Boxes().size(), 2u);
    EXPECT_EQ(Answerer.Boxes()[0].Text,
              "Ошибка при соединении с БД: неверный пароль или имя пользователя! Доступ запрещен.");
    EXPECT_EQ(Answerer.Boxes()[0].Caption, "Ошибка");
    EXPECT_EQ(Answerer.Boxes()[1].Text, "Соединение успешно!");
    EXPECT_EQ(Answerer.Boxes()[1].Caption, "Информация");
  }

  {
    TDialogDriver Driver([&](TfrmConnectEdit& D) { Fill(D, "KOBALTIX", Good.OraUser, Good.OraPassword); });
    W.actDBAddExecute();
    EXPECT_EQ(Driver.Caption, "Соединение с базой данных [новое]");
  }
  ASSERT_EQ(W.vtConnect->rowCount(), 3);
  EXPECT_TRUE(W.ConnectionStatus(2));
  EXPECT_TRUE(W.FConnectionsChanged);
  EXPECT_TRUE(W.acSave->Enabled());
  EXPECT_TRUE(W.IsModified());

  // A user whose schema holds no settings table: the row turns red.
  View->setCurrentIndex(W.vtConnect->index(2, 0));
  {
    TDialogDriver Driver([](TfrmConnectEdit& D) {
      D.edtUser->Object()->setText("kobaltix5_quote");
      D.edtPassword->Object()->setText("p;w}d{=x y");
      D.btnOK->Object()->click();
    });
    W.actDBEditExecute();
  }
  EXPECT_FALSE(W.ConnectionStatus(2));
  EXPECT_EQ(W.vtConnect->item(2, 2)->text(), "kobaltix5_quote");
  std::string Schema;
  EXPECT_FALSE(TestConnection(*W.ConnectionItem(2), Schema));
  EXPECT_EQ(Schema, "Ошибка при соединении с БД: проверьте правильность схемы соединения!");

  View->setCurrentIndex(W.vtConnect->index(0, 0));
  W.actDBDelExecute();
  ASSERT_EQ(W.vtConnect->rowCount(), 2);
  W.acSaveExecute(nullptr);
  EXPECT_FALSE(W.IsModified());
  TConnectionSettings Edited = Good;
  Edited.OraUser = Edited.OraSchema = "kobaltix5_quote";
  Edited.OraPassword = "p;w}d{=x y";
  EXPECT_EQ(Ini().ReadSectionValues("Connection"),
            (std::vector<std::pair<std::string, std::string>>{{"Item_0", Stored(Bad)}, {"Item_1", Stored(Edited)}}));

  // Confirmed without a change: nothing moves.
  {
    TDialogDriver Driver([](TfrmConnectEdit& D) { D.btnOK->Object()->click(); });
    W.actDBEditExecute();
  }
  EXPECT_FALSE(W.FConnectionsChanged);

  // Unsaved connections ask on leaving, and a refresh drops them.
  {
    TDialogDriver Driver([&](TfrmConnectEdit& D) { Fill(D, "KOBALTIX_DOWN", Good.OraUser, Good.OraPassword); });
    W.actDBAddExecute();
  }
  ASSERT_EQ(W.vtConnect->rowCount(), 3);
  EXPECT_FALSE(W.ConnectionStatus(2));
  {
    TModalAnswerer Answerer({QMessageBox::Cancel});
    W.acExitExecute();
    ASSERT_EQ(Answerer.Boxes().size(), 1u);
    EXPECT_EQ(Answerer.Boxes()[0].Text, "Вы хотите сохранить внесенные изменения настроек?");
  }
  EXPECT_FALSE(W.Closed());
  W.acRefreshExecute();
  EXPECT_EQ(W.vtConnect->rowCount(), 2);
  EXPECT_FALSE(W.IsModified());

  for (int Left = 2; Left > 0; --Left) {
    View->setCurrentIndex(W.vtConnect->index(0, 0));
    W.actDBDelExecute();
  }
  W.alConfig->UpdateActions();
  for (TAction* Action : {W.acConnect, W.actDBEdit, W.actDBDel}) EXPECT_FALSE(Action->Enabled()) << Action->Name();
  EXPECT_TRUE(W.actDBAdd->Enabled());
}

class ModulePages : public ConfigPages {
 protected:
  void SetUp() override {
    ConfigPages::SetUp();
    setenv("RB_RECORD_FILE", (Runtime.Path() + "calls.txt").c_str(), 1);
  }
  void TearDown() override {
    ConfigPages::TearDown();
    for (const char* Name : {"RB_RECORD_FILE", "RB_FAULT_FrameCreate", "RB_FAULT_ONLY"}) unsetenv(Name);
  }
  std::string Calls() { return ReadFileBytes(Runtime.Path() + "calls.txt"); }
  static int RowOf(TfrmConfig& W, const std::string& ShortFile) {
    for (int Row = 0; Row < W.vtModules->rowCount(); ++Row)
      if (W.ModuleFile(Row).ends_with("/" + ShortFile)) return Row;
    return -1;
  }
  static QWidget* Page(TfrmConfig& W, const char* Name) { return W.pcItems->Object()->FindPage(Name); }
};

TEST_F(ModulePages, ListSwitchAndSettingsPageLifecycle) {
  AddModule(std::string(RB_TEST_MODULE_DIR) + "rb_framed.so");
  AddMailModule();
  WriteFileBytes(ExecutableDir() + "Relaybird.ini", "[FRAMED]\r\nValue=stored\r\n");
  TfrmConfig& W = Open(smConfig | smMonitor);
  ASSERT_EQ(W.vtModules->rowCount(), 2);
  const int Mail = RowOf(W, "mail.so"), Framed = RowOf(W, "rb_framed.so");
  ASSERT_GE(Mail, 0);
  ASSERT_GE(Framed, 0);
  EXPECT_EQ(W.vtModules->item(Framed, 1)->text().toStdString(), "Не загружен");

  W.grdModules->Object()->setCurrentIndex(W.vtModules->index(Mail, 0));
  EXPECT_FALSE(W.imgModuleIcon->pixmap().isNull());
  EXPECT_EQ(W.dbtShortFile->text(), "mail.so");
  EXPECT_FALSE(W.dbmDesc->toPlainText().isEmpty());
  EXPECT_TRUE(W.dbmFile->toPlainText().endsWith("/Protocols/mail.so"));

  W.grdModules->Object()->setCurrentIndex(W.vtModules->index(Framed, 0));
  W.alConfig->UpdateActions();
  EXPECT_TRUE(W.acLoad->Enabled());
  EXPECT_FALSE(W.acUnload->Enabled());
  W.acLoadExecute();
  EXPECT_EQ(Ini().ReadString("Protocols", "FRAMED", ""), "1");
  EXPECT_EQ(W.vtModules->item(Framed, 1)->text().toStdString(), "Загружен");
  EXPECT_FALSE(W.acSave->Enabled());
  {
    // What the service's manager reads at its next start.
    TModuleManager Service;
    ASSERT_NE(Service.FindModule("rb_framed.so"), nullptr);
    EXPECT_TRUE(Service.FindModule("rb_framed.so")->Loaded());
    EXPECT_FALSE(Service.FindModule("mail.so")->Loaded());
  }
  W.alConfig->UpdateActions();
  EXPECT_TRUE(W.acUnload->Enabled());

  // One page for service ALPHA, none for BETA, one for MAIL.
  ASSERT_EQ(W.FFrames.size(), 2u);
  QWidget* Sheet = Page(W, "tsTfrRecorderSettings");
  ASSERT_NE(Sheet, nullptr);
  EXPECT_EQ(W.pcItems->Object()->Caption(Sheet), "Page of FRAMED");
  auto* Value = Sheet->findChild<QLineEdit*>("edValue");
  ASSERT_NE(Value, nullptr);
  EXPECT_EQ(Value->text(), "stored");
  EXPECT_FALSE(W.IsModified());
  QTest::keyClicks(Value, "+new");
  EXPECT_TRUE(W.acSave->Enabled());
  EXPECT_TRUE(W.IsModified());
  W.acSaveExecute(nullptr);
  EXPECT_EQ(Ini().ReadString("FRAMED", "Value", ""), "stored+new");
  EXPECT_FALSE(W.IsModified());

  // An unsaved edit is dropped by the refresh; the old frame ends before
  // its library goes.
  QTest::keyClicks(Value, "x");
  WriteFileBytes(Runtime.Path() + "calls.txt", "");
  W.acRefreshExecute();
  const std::string Lines = Calls();
  const auto Done = Lines.find("rb_framed|DoneFrame"), Freed = Lines.find("rb_framed|~Frame"),
             Unloaded = Lines.find("rb_framed|Unload");
  ASSERT_NE(Unloaded, std::string::npos) << Lines;
  EXPECT_LT(Done, Freed);
  EXPECT_LT(Freed, Unloaded);
  Sheet = Page(W, "tsTfrRecorderSettings");
  ASSERT_NE(Sheet, nullptr);
  EXPECT_EQ(Sheet->findChild<QLineEdit*>("edValue")->text(), "stored+new");
  EXPECT_FALSE(W.IsModified());
  EXPECT_EQ(W.grdModules->CurrentRow(), RowOf(W, "rb_framed.so"));

  // A module taken out of Protocols/ between two refreshes leaves with its page.
  ASSERT_NE(Page(W, "tsTfrMailSettings"), nullptr);
  RemovePath(ExecutableDir() + "Protocols/mail.so");
  W.acRefreshExecute();
  EXPECT_EQ(W.vtModules->rowCount(), 1);
  EXPECT_EQ(Page(W, "tsTfrMailSettings"), nullptr);
  EXPECT_EQ(W.FFrames.size(), 1u);

  WriteFileBytes(Runtime.Path() + "calls.txt", "");
  Window.reset();
  const std::string Last = Calls();
  EXPECT_LT(Last.find("rb_framed|~Frame"), Last.find("rb_framed|Unload")) << Last;
}

TEST_F(ModulePages, PagesThatCannotBeAddedAreShownAndLeftOut) {
  struct TCase {
    const char* Library;
    const char* Fault;
    std::string Text;
    std::size_t Frames;
  };
  const TCase Cases[] = {
      {"rb_framed_twin.so", "", "A component named tsTfrRecorderSettings already exists", 1},
      {"rb_framed.so", "throw", "the recorder's page refuses", 0},
      {"rb_recorder.so", "", "The settings page TfrAlphaSettings was not created", 0},
      // The e-mail module without its page's library: the loader's reason follows.
      {"mail.so", "", "The e-mail settings page cannot be opened: " + MailFrameLibrary(), 0},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Library);
    std::filesystem::remove_all(ExecutableDir() + "Protocols");
    std::filesystem::create_directories(ExecutableDir() + "Protocols");
    AddModule(std::string(Case.Library == std::string("mail.so") ? RELAYBIRD_PROTOCOLS_DIR "/" : RB_TEST_MODULE_DIR) +
              Case.Library);
    setenv("RB_FAULT_FrameCreate", Case.Fault, 1);
    TModalAnswerer Answerer;
    TfrmConfig& W = Open(smConfig | smMonitor);
    ASSERT_EQ(Answerer.Boxes().size(), 1u);
    EXPECT_TRUE(Answerer.Boxes()[0].Text.starts_with(Case.Text)) << Answerer.Boxes()[0].Text;
    EXPECT_EQ(W.FFrames.size(), Case.Frames);
    EXPECT_EQ(W.vtModules->rowCount(), 1);
    EXPECT_EQ(W.pcItems->Object()->PageCount(), 3 + static_cast<int>(Case.Frames));
    Window.reset();
  }
}

TEST_F(ModulePages, MailPageIsSavedWithTheWindowAndRefusesWhatTheServiceCannotUse) {
  AddMailModule();
  TfrmConfig& W = Open(smConfig | smMonitor);
  QWidget* Sheet = Page(W, "tsTfrMailSettings");
  ASSERT_NE(Sheet, nullptr);
  EXPECT_EQ(W.pcItems->Object()->Caption(Sheet), "Электронная почта");
  auto* Host = Sheet->findChild<QLineEdit*>("edSmtpHost");
  auto* Sender = Sheet->findChild<QLineEdit*>("edSenderAddress");
  auto* Password = Sheet->findChild<QLineEdit*>("edSmtpPassword");
  ASSERT_TRUE(Host && Sender && Password);
  EXPECT_EQ(Host->text(), "127.0.0.1");
  EXPECT_FALSE(W.IsModified());
  EXPECT_FALSE(std::filesystem::exists(ExecutableDir() + "Relaybird.ini") && Ini().SectionExists("MAIL"));

  Host->selectAll();
  QTest::keyClicks(Host, "smtp.example.org");
  QTest::keyClicks(Password, "secret");
  EXPECT_TRUE(W.acSave->Enabled());
  EXPECT_TRUE(W.IsModified());
  W.acSaveExecute(nullptr);
  EXPECT_FALSE(W.IsModified());
  EXPECT_EQ(Ini().ReadString("MAIL", "SmtpHost", ""), "smtp.example.org");
  EXPECT_EQ(Ini().ReadString("MAIL", "SmtpPassword", ""), ScrambleText("secret", ScrambleKey));
  EXPECT_EQ(Ini().ReadString("MAIL", "SenderAddress", ""), "relaybird@localhost");

  const std::string Stored = ReadFileBytes(ExecutableDir() + "Relaybird.ini");
  Sender->selectAll();
  QTest::keyClicks(Sender, "nobody");
  {
    TModalAnswerer Answerer;
    W.acSaveExecute(nullptr);
    ASSERT_EQ(Answerer.Boxes().size(), 1u);
    EXPECT_EQ(Answerer.Boxes()[0].Text,
              "Ошибка сохранения параметров: Указан некорректный адрес электронной почты: nobody");
  }
  EXPECT_EQ(ReadFileBytes(ExecutableDir() + "Relaybird.ini"), Stored);
  EXPECT_TRUE(W.IsModified());
  {
    TModalAnswerer Answerer({QMessageBox::Cancel});
    W.acExitExecute();
    ASSERT_EQ(Answerer.Boxes().size(), 1u);
    EXPECT_EQ(Answerer.Boxes()[0].Text, "Вы хотите сохранить внесенные изменения настроек?");
  }
  // The refresh drops the unsaved edit and shows the stored address again.
  W.acRefreshExecute();
  Sheet = Page(W, "tsTfrMailSettings");
  ASSERT_NE(Sheet, nullptr);
  EXPECT_EQ(Sheet->findChild<QLineEdit*>("edSenderAddress")->text(), "relaybird@localhost");
  EXPECT_FALSE(W.IsModified());
}

TEST_F(ModulePages, MailPageFollowsEveryChangeOfLanguage) {
  AddMailModule();
  std::filesystem::create_directories(TLangManager::LangsDir());
  const std::string English = TLangManager::LangsDir() + "Lang_en_US.ini";
  const std::string Other = TLangManager::LangsDir() + "Lang_xx_TEST.ini";
  std::filesystem::copy_file(RELAYBIRD_SOURCE_DIR "/Langs/Lang_en_US.ini", English,
                             std::filesystem::copy_options::overwrite_existing);
  WriteFileBytes(Other, "[LANG]\r\nValue=Test language\r\n[WORDS]\r\ncstMailServiceCaption=Post\r\n"
                        "[frTfrMailSettings0]\r\nfrTfrMailSettings0.lblSmtpHost.Caption=Host\r\n");
  FreeLangManager();
  CreateLangManager();
  TfrmConfig& W = Open(smConfig | smMonitor);
  const auto Pick = [&W](const char* Language) {
    for (QAction* Item : W.pmLangs->Object()->actions())
      if (Item->text() == Language) return Item->trigger();
    ADD_FAILURE() << Language << " is not offered";
  };
  struct TExpected {
    const char* Language;
    const char* Caption;
    const char* HostLabel;
  };
  // The second change retranslates what the first one's refresh created.
  for (const TExpected& Expected : {TExpected{"English", "E-mail", "Server address"},
                                    TExpected{"Test language", "Post", "Host"}}) {
    SCOPED_TRACE(Expected.Language);
    Pick(Expected.Language);
    QWidget* Sheet = Page(W, "tsTfrMailSettings");
    ASSERT_NE(Sheet, nullptr);
    EXPECT_EQ(W.pcItems->Object()->Caption(Sheet), Expected.Caption);
    EXPECT_EQ(Sheet->findChild<QLabel*>("lblSmtpHost")->text(), Expected.HostLabel);
  }
  EXPECT_EQ(Page(W, "tsTfrMailSettings")->findChild<QCheckBox*>("cbLogging")->toolTip().toStdString(),
            cstHintConfMailLog);
  Window.reset();
  FreeLangManager();
  RemovePath(English);
  RemovePath(Other);
}

TEST_F(ModulePages, NoModulesLeaveTheGridEmptyAndTheSwitchesOff) {
  TfrmConfig& W = Open(smConfig | smMonitor);
  EXPECT_EQ(W.vtModules->rowCount(), 0);
  W.alConfig->UpdateActions();
  EXPECT_FALSE(W.acLoad->Enabled());
  EXPECT_FALSE(W.acUnload->Enabled());
  EXPECT_TRUE(W.acRefresh->Enabled());
}

}  // namespace
}  // namespace relaybird
