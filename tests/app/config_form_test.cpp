// The configuration window driven through its actions and controls on the
// offscreen platform, with a service manager double.
#include "app/config_form.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QTest>
#include <filesystem>
#include <mutex>

#include "i18n/lang_manager.h"
#include "i18n/translator.h"
#include "platform/exe_path.h"
#include "qt_fixtures.h"
#include "relaybird/catalogue.h"
#include "relaybird/ini_file.h"
#include "test_support.h"

namespace relaybird {
namespace {

using test::ReadFileBytes;
using test::RemovePath;
using test::TModalAnswerer;
using test::TTempDir;
using test::WriteFileBytes;

// Answers with a state set by the test and records the commands; the window
// asks from a worker thread, so the mutex guards both.
class TServiceControlDouble : public TServiceControl {
 public:
  struct TShared {
    std::mutex Lock;
    TServiceStateCode State = sscNotInstalled;
    std::vector<TServiceCommand> Commands;
  };
  explicit TServiceControlDouble(std::shared_ptr<TShared> Shared) : FShared(std::move(Shared)) {}
  TServiceStateCode QueryServiceState(const std::string&) override {
    std::lock_guard Guard(FShared->Lock);
    return FShared->State;
  }
  void SendServiceCommand(const std::string&, TServiceCommand Command) override {
    std::lock_guard Guard(FShared->Lock);
    FShared->Commands.push_back(Command);
  }

 private:
  std::shared_ptr<TShared> FShared;
};

TStartModes Modes(unsigned Bits) {
  TStartModes Result;
  if (Bits & smMonitor) Result.Include(smMonitor);
  if (Bits & smConfig) Result.Include(smConfig);
  return Result;
}

class ConfigWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_RUNTIME_DIR", Runtime.Path().c_str(), 1);
    RemovePath(ExecutableDir() + "Relaybird.ini");
    CreateTransFormList();
    InitSettingsFileName();
    CreateLangManager();
    Shared = std::make_shared<TServiceControlDouble::TShared>();
  }
  void TearDown() override {
    Window.reset();
    FreeLangManager();
    FreeTransFormList();
    RemovePath(ExecutableDir() + "Relaybird.ini");
  }

  TfrmConfig& Open(unsigned Bits, TServiceStateCode State = sscNotInstalled) {
    Shared->State = State;
    Window.reset();
    Window = std::make_unique<TfrmConfig>(Modes(Bits), std::make_unique<TServiceControlDouble>(Shared));
    Window->show();
    return *Window;
  }
  std::vector<TServiceCommand> Commands() {
    std::lock_guard Guard(Shared->Lock);
    return Shared->Commands;
  }
  static std::string Ini() { return ReadFileBytes(ExecutableDir() + "Relaybird.ini"); }

  TTempDir Runtime;
  std::shared_ptr<TServiceControlDouble::TShared> Shared;
  std::unique_ptr<TfrmConfig> Window;
};

TEST_F(ConfigWindow, VisibilityOfEachMode) {
  struct TCase {
    unsigned Bits;
    bool MonitorTab, CommonTab, DbTab, Buttons, ServiceMenu;
    const char* ActivePage;
  };
  for (const TCase& Case : {TCase{smConfig, false, true, true, true, true, "tsCommon"},
                            TCase{smMonitor, false, false, false, false, false, "tsMonitor"},
                            TCase{smConfig | smMonitor, true, true, true, true, true, "tsMonitor"}}) {
    SCOPED_TRACE(Case.Bits);
    TfrmConfig& W = Open(Case.Bits);
    TPageControlWidget* Pages = W.pcItems->Object();
    EXPECT_EQ(Pages->TabVisible(W.tsMonitor->Object()), Case.MonitorTab);
    EXPECT_EQ(Pages->TabVisible(W.tsCommon->Object()), Case.CommonTab);
    EXPECT_EQ(Pages->TabVisible(W.tsDB->Object()), Case.DbTab);
    EXPECT_EQ(Pages->ActivePage()->objectName().toStdString(), Case.ActivePage);
    for (TToolButton* Button : {W.tbtInstall, W.tbtUninstall, W.tbtSave, W.tbrSep1, W.tbrSep2})
      EXPECT_EQ(Button->Visible(), Case.Buttons) << Button->Name();
    EXPECT_EQ(W.mitService->Object()->isVisible(), Case.ServiceMenu);
    EXPECT_EQ(W.mitSeparator1->Object()->isVisible(), Case.ServiceMenu);
    EXPECT_FALSE(W.btnLangs->Visible());
    EXPECT_EQ(W.windowTitle().toStdString(), "Настройка службы Relaybird");
    EXPECT_FALSE(W.acSave->Enabled());
  }
}

TEST_F(ConfigWindow, StoredTimeoutConnectZeroIsShownAsOneAndAsksOnLeaving) {
  WriteFileBytes(ExecutableDir() + "Relaybird.ini", "[Service]\r\nTimeoutConnect=0\r\n");
  TfrmConfig& W = Open(smConfig);
  EXPECT_EQ(W.sedConnect->Object()->value(), 1);
  EXPECT_EQ(W.FSettings.TimeoutConnect, 1);
  EXPECT_TRUE(W.IsModified());
  TModalAnswerer Answerer({QMessageBox::Cancel});
  W.acExitExecute();
  ASSERT_EQ(Answerer.Boxes().size(), 1u);
  EXPECT_EQ(Answerer.Boxes()[0].Text, "Вы хотите сохранить внесенные изменения настроек?");
  EXPECT_EQ(Answerer.Boxes()[0].Caption, "Информация");
  EXPECT_FALSE(W.Closed());
}

TEST_F(ConfigWindow, KeyFilter) {
  struct TCase {
    const char* Text;
    char Key;
    bool Refused;
  };
  for (const TCase& Case : {TCase{"999", '5', true}, TCase{"144", '0', false}, TCase{"144", '1', true},
                            TCase{"1", ',', true}, TCase{"1", '.', true}, TCase{"", '-', true},
                            TCase{"", '7', false}, TCase{"12", 'x', false}}) {
    SCOPED_TRACE(std::string(Case.Text) + Case.Key);
    EXPECT_EQ(TfrmConfig::KeyRefused(Case.Text, QChar(Case.Key)), Case.Refused);
  }
  TfrmConfig& W = Open(smConfig);
  TSpinBox* Spin = W.sedDelay->Object();
  Spin->selectAll();
  QTest::keyClicks(Spin, "999");
  QTest::keyClick(Spin, Qt::Key_5, Qt::NoModifier);
  QTest::keyClick(Spin, Qt::Key_Comma, Qt::NoModifier);
  EXPECT_EQ(Spin->Text().toStdString(), "999");
  EXPECT_EQ(W.FSettings.TimeoutDelay, 999);
  EXPECT_TRUE(W.acSave->Enabled());
}

TEST_F(ConfigWindow, WithoutConfigModeNothingChanges) {
  TfrmConfig& W = Open(smMonitor);
  const std::string Before = Ini();
  const TServiceSettings Settings = W.FSettings;
  W.edWinUser->Object()->setText("host\\other");
  W.sedDelay->Object()->setValue(77);
  W.acSaveExecute(W.acSave);
  TModalAnswerer Answerer({QMessageBox::Ok}, ToQt(ExecutableDir()));
  W.acSelLogDirExecute();
  EXPECT_EQ(W.FSettings, Settings);
  EXPECT_FALSE(W.acSave->Enabled());
  EXPECT_TRUE(W.ConfirmSave());
  EXPECT_EQ(Answerer.Boxes().size(), 0u);
  EXPECT_EQ(Answerer.Dialogs(), 0);
  EXPECT_EQ(Ini(), Before);
}

TEST_F(ConfigWindow, FolderDialogTakesOnlyAnotherFolder) {
  TTempDir Folder;
  const QString Chosen = ToQt(ExcludeTrailingPathDelimiters(Folder.Path()));
  TfrmConfig& W = Open(smConfig);
  W.edLogPath->Object()->setText(Chosen);
  W.acSave->SetEnabled(false);
  {
    TModalAnswerer Answerer({QMessageBox::Ok}, Chosen);
    W.acSelLogDirExecute();
    EXPECT_EQ(Answerer.Dialogs(), 1);
  }
  EXPECT_FALSE(W.acSave->Enabled());
  W.edTempDir->Object()->setText("/nowhere");
  W.acSave->SetEnabled(false);
  {
    TModalAnswerer Answerer({QMessageBox::Ok}, Chosen);
    W.acSelTempDirExecute();
  }
  EXPECT_EQ(W.edTempDir->Object()->text(), Chosen);
  EXPECT_EQ(W.FSettings.TempDir, ToStd(Chosen));
  EXPECT_TRUE(W.acSave->Enabled());
}

TEST_F(ConfigWindow, CancelKeepsTheWindowAndStartsNothing) {
  TfrmConfig& W = Open(smConfig, sscStopped);
  W.edWinUser->Object()->setText("host\\changed");
  TModalAnswerer Answerer({QMessageBox::Cancel});
  W.acStartExecute();
  W.acPauseExecute();
  W.acExitExecute();
  EXPECT_EQ(Answerer.Boxes().size(), 3u);
  EXPECT_TRUE(Commands().empty());
  EXPECT_FALSE(W.Closed());
}

TEST_F(ConfigWindow, YesSavesBeforeTheCommandWithoutTheRebootNote) {
  TfrmConfig& W = Open(smConfig, sscRunning);
  W.edWinUser->Object()->setText("host\\changed");
  TModalAnswerer Answerer({QMessageBox::Yes});
  W.acPauseExecute();
  ASSERT_EQ(Answerer.Boxes().size(), 1u);
  EXPECT_EQ(Commands(), std::vector<TServiceCommand>{scRestart});
  EXPECT_EQ(TIniFile(SettingsFileName).ReadString("Service", "WinAccount", ""), "host\\changed");
}

TEST_F(ConfigWindow, RebootNoteOnlyWhileTheServiceRuns) {
  for (const auto& [State, Note] : {std::pair{sscRunning, true}, std::pair{sscUnknown, true},
                                    std::pair{sscStopped, false}, std::pair{sscNotInstalled, false}}) {
    SCOPED_TRACE(State);
    TfrmConfig& W = Open(smConfig, State);
    W.edLogPath->Object()->setText(QString("/var/log/relaybird%1/").arg(State));
    TModalAnswerer Answerer;
    W.acSave->Object()->trigger();
    ASSERT_EQ(Answerer.Boxes().size(), Note ? 1u : 0u);
    if (Note) {
      EXPECT_EQ(Answerer.Boxes()[0].Text, "Для корректной работы службы необходимо перезагрузить компьютер.");
    }
    EXPECT_FALSE(W.acSave->Enabled());
  }
}

TEST_F(ConfigWindow, SaveWritesTheServiceKeys) {
  WriteFileBytes(ExecutableDir() + "Relaybird.ini",
                 "[Service]\r\nTimeoutReconnect=7\r\nOwnKey=kept\r\n[Connection]\r\nItem_0=0#A#B#00#C\r\n");
  TfrmConfig& W = Open(smConfig);
  W.sedConnect->Object()->setValue(15);
  W.sedDelay->Object()->setValue(0);
  W.edWinUser->Object()->setText("host\\svc");
  W.edWinPass->Object()->setText("secret");
  W.edLogPath->Object()->setText("/logs/");
  W.edTempDir->Object()->setText("/temp/");
  static_cast<QCheckBox*>(W.cbSystemLog->Object())->setChecked(true);
  W.acSaveExecute(nullptr);
  TIniFile Ini(SettingsFileName);
  std::vector<std::string> Keys;
  for (const auto& [Key, Value] : Ini.ReadSectionValues("Service")) Keys.push_back(Key);
  EXPECT_EQ(Keys, (std::vector<std::string>{"TimeoutReconnect", "OwnKey", "TimeoutConnect", "AccessSysLog",
                                            "AccessLogPath", "TimeoutDelay", "TempDir", "WinAccount", "WinPassword",
                                            "WinVersion"}));
  TServiceSettings Stored;
  LoadServiceSettings(Stored);
  EXPECT_EQ(Stored.TimeoutConnect, 15);
  EXPECT_EQ(Stored.TimeoutDelay, 0);
  EXPECT_EQ(Stored.WinAccount, "host\\svc");
  EXPECT_EQ(Stored.WinPassword, "secret");
  EXPECT_NE(Ini.ReadString("Service", "WinPassword", ""), "secret");
  EXPECT_EQ(Stored.AccessLogPath, "/logs/");
  EXPECT_EQ(Stored.TempDir, "/temp/");
  EXPECT_TRUE(Stored.AccessSysLog);
  EXPECT_EQ(Stored.TimeoutReconnect, 7);
  EXPECT_EQ(Ini.ReadString("Service", "OwnKey", ""), "kept");
  EXPECT_EQ(Ini.ReadString("Connection", "Item_0", ""), "0#A#B#00#C");
  EXPECT_FALSE(W.IsModified());
}

TEST_F(ConfigWindow, EnablingTable) {
  struct TRow {
    TServiceStateCode Code;
    bool Start, Stop, Pause, Install, Uninstall;
  };
  TfrmConfig& W = Open(smConfig);
  for (const TRow& Row : {TRow{sscRunning, false, true, true, false, false},
                          TRow{sscPaused, true, true, false, false, false},
                          TRow{sscStopped, true, false, false, false, true},
                          TRow{sscUnknown, false, false, false, false, true},
                          TRow{sscNotInstalled, false, false, false, true, false}}) {
    SCOPED_TRACE(Row.Code);
    {
      std::lock_guard Guard(Shared->Lock);
      Shared->State = Row.Code;
    }
    W.DoServiceCommand(scStop);
    EXPECT_EQ(W.acStart->Enabled(), Row.Start);
    EXPECT_EQ(W.acStop->Enabled(), Row.Stop);
    EXPECT_EQ(W.acPause->Enabled(), Row.Pause);
    EXPECT_EQ(W.acInstall->Enabled(), Row.Install);
    EXPECT_EQ(W.acUninstall->Enabled(), Row.Uninstall);
    EXPECT_EQ(W.findChild<QToolButton*>("tbtInstall")->isEnabled(), Row.Install);
  }
}

TEST_F(ConfigWindow, PollFollowsTheServiceWithoutBlocking) {
  TfrmConfig& W = Open(smMonitor, sscStopped);
  EXPECT_TRUE(W.acStart->Enabled());
  {
    std::lock_guard Guard(Shared->Lock);
    Shared->State = sscRunning;
  }
  for (int i = 0; i < 50 && !W.acStop->Enabled(); ++i) QTest::qWait(100);
  EXPECT_TRUE(W.acStop->Enabled());
  EXPECT_FALSE(W.acStart->Enabled());
  W.acStopExecute();
  EXPECT_EQ(Commands(), std::vector<TServiceCommand>{scStop});
}

TEST_F(ConfigWindow, InstallWithoutBackslashShowsTheFormatBox) {
  TfrmConfig& W = Open(smConfig | smMonitor);
  W.FInstallerPath = ExecutableDir() + "installer-must-not-run";
  W.edWinUser->Object()->setText("nobackslash");
  TModalAnswerer Answerer;
  W.acInstallExecute();
  ASSERT_EQ(Answerer.Boxes().size(), 1u);
  EXPECT_EQ(Answerer.Boxes()[0].Caption, "Ошибка");
  EXPECT_EQ(Answerer.Boxes()[0].Text, cstConfigRightsFrmError);
  EXPECT_EQ(Answerer.Boxes()[0].Icon, QMessageBox::Critical);
  EXPECT_EQ(W.pcItems->Object()->ActivePage(), W.tsCommon->Object());
  EXPECT_TRUE(W.acInstall->Enabled());
  EXPECT_FALSE(W.tmrStatus->Enabled());
}

TEST_F(ConfigWindow, UninstallStartsTheExecutableByItsFullPathWithoutWaiting) {
  TTempDir Dir;
  const std::string Script = Dir.Path() + "fake installer";
  const std::string Out = Dir.Path() + "args";
  WriteFileBytes(Script, "#!/bin/sh\nsleep 0.3\necho \"$0 $*\" > '" + Out + "'\n");
  std::filesystem::permissions(Script, std::filesystem::perms::owner_all);
  TfrmConfig& W = Open(smConfig, sscStopped);
  W.FInstallerPath = Script;
  W.acUninstallExecute();
  EXPECT_FALSE(W.acUninstall->Enabled());
  EXPECT_FALSE(std::filesystem::exists(Out));
  for (int i = 0; i < 50 && !std::filesystem::exists(Out); ++i) QTest::qWait(100);
  QTest::qWait(100);
  EXPECT_EQ(ReadFileBytes(Out), Script + " /uninstall /silent\n");
  // Nothing of it is left for this process to reap.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

TEST_F(ConfigWindow, SecondInstanceRefused) {
  TfrmConfig& First = Open(smConfig);
  EXPECT_TRUE(First.AcquireInstanceMutex());
  TfrmConfig Second(Modes(smMonitor), std::make_unique<TServiceControlDouble>(Shared));
  EXPECT_FALSE(Second.AcquireInstanceMutex());
  Window.reset();
  EXPECT_TRUE(Second.AcquireInstanceMutex());
}

TEST_F(ConfigWindow, HidingWithoutNotificationAreaKeepsTheWindow) {
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
  TfrmConfig& W = Open(smMonitor);
  W.acHideExecute();
  EXPECT_TRUE(W.isVisible());
  EXPECT_TRUE(W.acHide->Enabled());
}

TEST_F(ConfigWindow, HintsGoToPanelZeroAndPanelZeroFollowsTheWidth) {
  TfrmConfig& W = Open(smConfig);
  QStatusTipEvent Tip("Сохранить настройки");
  QApplication::sendEvent(&W, &Tip);
  EXPECT_EQ(W.sbrEvents->Panels[0].Text(), "Сохранить настройки");
  EXPECT_EQ(W.sbrEvents->Panels[0].Width(), TfrmConfig::ClientWidth - 150);
  EXPECT_EQ(W.sbrEvents->Panels[1].Width(), 120);
}

TEST_F(ConfigWindow, FailedSaveShowsTheErrorAndKeepsTheValues) {
  TfrmConfig& W = Open(smConfig);
  W.edWinUser->Object()->setText("host\\kept");
  // A directory in place of the settings file refuses every write.
  RemovePath(SettingsFileName);
  std::filesystem::create_directory(SettingsFileName);
  TModalAnswerer Answerer;
  W.acSaveExecute(W.acSave);
  RemovePath(SettingsFileName);
  ASSERT_EQ(Answerer.Boxes().size(), 1u);
  EXPECT_EQ(Answerer.Boxes()[0].Text.rfind("Ошибка сохранения параметров: ", 0), 0u);
  EXPECT_EQ(W.FSettings.WinAccount, "host\\kept");
  EXPECT_FALSE(W.acSave->Enabled());
}

}  // namespace
}  // namespace relaybird
