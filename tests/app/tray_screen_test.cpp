// The window on a real X server with a real notification area: the icon
// appears, the window hides into it and comes back, and every page is
// written as a PNG for a person to look at.
#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>
#include <filesystem>

#include "app/config_form.h"
#include "core/settings_file.h"
#include "database_fixture.h"
#include "db/connection_list.h"
#include "i18n/lang_manager.h"
#include "i18n/translator.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"
#include "test_support.h"
#include "tests/app/fixed_service_state.h"

namespace relaybird {
namespace {

TEST(TrayScreen, IconHidingShowingAndPagePictures) {
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  CreateTransFormList();
  InitSettingsFileName();
  CreateLangManager();
  TStartModes Modes;
  Modes.Include(smConfig);
  Modes.Include(smMonitor);
  {
    TfrmConfig Window(Modes, test::FixedServiceState(sscStopped));
    Window.show();
    for (int i = 0; i < 50 && !QSystemTrayIcon::isSystemTrayAvailable(); ++i) QTest::qWait(100);
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    for (int i = 0; i < 50 && Window.tiService->Object()->geometry().isEmpty(); ++i) QTest::qWait(100);
    EXPECT_TRUE(Window.tiService->Object()->isVisible());
    EXPECT_FALSE(Window.tiService->Object()->geometry().isEmpty());

    EXPECT_TRUE(Window.acStart->Enabled());
    EXPECT_FALSE(Window.acInstall->Enabled());
    EXPECT_FALSE(Window.findChild<QToolButton*>("tbtInstall")->isEnabled());
    const std::string Dir = std::string(RELAYBIRD_SCREENSHOT_DIR) + "/";
    std::filesystem::create_directories(Dir);
    TPageControlWidget* Pages = Window.pcItems->Object();
    for (TTabSheet* Sheet : {Window.tsMonitor, Window.tsCommon, Window.tsDB}) {
      Pages->SetActivePage(Sheet->Object());
      QTest::qWait(200);
      EXPECT_TRUE(Window.grab().save(QString::fromStdString(Dir + Sheet->Name() + ".png")));
    }
    QTest::qWait(300);
    QScreen* Screen = QGuiApplication::primaryScreen();
    EXPECT_TRUE(Screen->grabWindow(0).save(QString::fromStdString(Dir + "screen.png")));

    Window.acHideExecute();
    QTest::qWait(200);
    EXPECT_FALSE(Window.isVisible());
    EXPECT_TRUE(Window.acShow->Enabled());
    EXPECT_FALSE(Window.acHide->Enabled());
    Window.tiServiceDblClick();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
    EXPECT_TRUE(Window.isVisible());
    EXPECT_TRUE(Window.acHide->Enabled());
    // Minimizing sends the window to the notification area.
    Window.showMinimized();
    for (int i = 0; i < 30 && Window.isVisible(); ++i) QTest::qWait(100);
    EXPECT_FALSE(Window.isVisible());
    Window.tiServiceDblClick();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Window));
  }
  FreeLangManager();
  FreeTransFormList();
}

// What an administrator sees once it is set up: two connections, one that
// works and one refused, the e-mail module switched on, and its page.
class ConfiguredPages : public test::TOdbcConfigTest {
 protected:
  void SetUp() override {
    test::TOdbcConfigTest::SetUp();
    if (IsSkipped()) return;
    std::filesystem::remove_all(ExecutableDir() + "Protocols");
    std::filesystem::create_directories(ExecutableDir() + "Protocols");
    std::filesystem::copy_file(std::string(RELAYBIRD_PROTOCOLS_DIR) + "/mail.so", ExecutableDir() + "Protocols/mail.so");
    std::filesystem::copy_file(RELAYBIRD_MAIL_FRAME, ExecutableDir() + "librelaybird_mail_frame.so",
                               std::filesystem::copy_options::overwrite_existing);
    CreateTransFormList();
    InitSettingsFileName();
    test::RemovePath(SettingsFileName);
    CreateLangManager();
    TConnectionList Connections(false);
    Connections.Add(test::FixtureSettings());
    TConnectionSettings Refused = test::FixtureSettings();
    Refused.OraPassword = "wrong password";
    Connections.Add(Refused);
    Connections.SaveConnections();
    TIniFile(SettingsFileName).WriteInteger("Protocols", "MAIL", 1);
  }
  void TearDown() override {
    FreeLangManager();
    FreeTransFormList();
    test::RemovePath(SettingsFileName);
    test::RemovePath(ExecutableDir() + "librelaybird_mail_frame.so");
    std::filesystem::remove_all(ExecutableDir() + "Protocols");
  }
};

TEST_F(ConfiguredPages, DatabaseModulesAndMailPagePictures) {
  TStartModes Modes;
  Modes.Include(smConfig);
  Modes.Include(smMonitor);
  TfrmConfig Window(Modes, test::FixedServiceState(sscStopped));
  Window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
  ASSERT_EQ(Window.vtConnect->rowCount(), 2);
  EXPECT_TRUE(Window.ConnectionStatus(0));
  EXPECT_FALSE(Window.ConnectionStatus(1));
  ASSERT_EQ(Window.vtModules->rowCount(), 1);
  TPageControlWidget* Pages = Window.pcItems->Object();
  QWidget* MailSheet = Pages->FindPage("tsTfrMailSettings");
  ASSERT_NE(MailSheet, nullptr);

  const std::string Dir = std::string(RELAYBIRD_SCREENSHOT_DIR) + "/";
  std::filesystem::create_directories(Dir);
  const std::pair<QWidget*, const char*> Pictures[] = {{Window.tsDB->Object(), "configured_tsDB"},
                                                       {Window.tsMonitor->Object(), "configured_tsMonitor"},
                                                       {MailSheet, "configured_tsTfrMailSettings"}};
  for (const auto& [Sheet, Name] : Pictures) {
    Pages->SetActivePage(Sheet);
    QTest::qWait(200);
    EXPECT_TRUE(Window.grab().save(QString::fromStdString(Dir + Name + ".png")));
  }
}

}  // namespace
}  // namespace relaybird
