// A fresh installation configured only through the window, as an
// administrator does it with "/CONFIG /MONITOR": the connection entered in the
// editor and tested, the e-mail module switched on and its SMTP settings
// entered on its page, everything saved. The program started afterwards in
// the service role delivers the database's notices to a real SMTP server.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <set>

#include "app/config_form.h"
#include "app/connect_edit.h"
#include "core/settings_file.h"
#include "database_fixture.h"
#include "i18n/lang_manager.h"
#include "i18n/translator.h"
#include "platform/exe_path.h"
#include "qt_fixtures.h"
#include "relaybird/catalogue.h"
#include "relaybird/ora_session.h"
#include "relaybird/settings.h"
#include "smtp_peer.h"
#include "test_support.h"
#include "tests/app/fixed_service_state.h"

namespace relaybird::test {
namespace {

namespace fs = std::filesystem;

class ConfigureAndDeliver : public TOdbcConfigTest {
 protected:
  void SetUp() override {
    TOdbcConfigTest::SetUp();
    if (IsSkipped()) return;
    Database = NewFixtureSession();
    Database->SetServer("KOBALTIX_CONFIG");
    Database->SetSchema("kobaltix5_config");
    try {
      Database->Connect();
    } catch (const std::exception& Error) {
      if (UnderCi()) FAIL() << Error.what();
      GTEST_SKIP() << "No test database: " << Error.what();
    }
    for (const char* Table : {"ecfil083", "qx_notice_emitent", "qx_mngr_notification", "qx_mngr_notification_state"})
      ExecSql(*Database, std::string("delete from ") + Table);
    ExecSql(*Database,
            "insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, notice_email, notice_text) "
            "select 'F' || lpad(i::text, 31, '0'), 1, 1001, 5, 'client' || i || '@config.example', "
            "'Остаток ' || i from generate_series(1, 5) i");
    Peer.Start();

    // A fresh installation: the program, its libraries and the e-mail module
    // in this program's folder, which the window takes as its own; no
    // settings file yet.
    CopyProgram(RELAYBIRD_BIN_DIR, ExecutableDir());
    fs::remove_all(ExecutableDir() + "Protocols");
    fs::create_directories(ExecutableDir() + "Protocols");
    fs::copy_file(RB_MAIL_MODULE, ExecutableDir() + "Protocols/mail.so");
    InitSettingsFileName();
    RemovePath(SettingsFileName);
    setenv("XDG_RUNTIME_DIR", Dir.Path().c_str(), 1);
    CreateTransFormList();
    CreateLangManager();
    TranslateConstants();
  }
  void TearDown() override {
    FreeLangManager();
    FreeTransFormList();
    RemovePath(SettingsFileName);
    fs::remove_all(ExecutableDir() + "Protocols");
  }

  static void Type(QLineEdit* Edit, const std::string& Text) {
    Edit->selectAll();
    QTest::keyClicks(Edit, QString::fromStdString(Text));
  }

  std::unique_ptr<TOraSession> Database;
  TTempDir Dir;
  TSmtpPeer Peer{Dir.Path() + "mail/"};
};

TEST_F(ConfigureAndDeliver, WhatTheWindowSavesIsWhatTheServiceDelivers) {
  {
    TStartModes Modes;
    Modes.Include(smConfig);
    Modes.Include(smMonitor);
    TfrmConfig W(Modes, FixedServiceState(sscNotInstalled));
    W.show();

    // Service settings: no start delay, logs and temporary files in the test's folder.
    W.sedDelay->Object()->setValue(0);
    Type(W.edLogPath->Object(), Dir.Path() + "log");
    Type(W.edTempDir->Object(), Dir.Path() + "temp");

    // The connection, chosen from the lists the ODBC configuration gives.
    {
      TDialogDriver<TfrmConnectEdit> Driver([](TfrmConnectEdit& D) {
        D.cbbOraHome->Object()->setCurrentIndex(PostgresHomeIndex());
        D.cbbServerName->Object()->setCurrentIndex(D.cbbServerName->Object()->findText("KOBALTIX_CONFIG"));
        D.edtUser->Object()->setText("kobaltix5_config");
        D.edtPassword->Object()->setText(QString::fromStdString(FixtureSettings().OraPassword));
        D.btnOK->Object()->click();
      });
      W.actDBAddExecute();
    }
    ASSERT_EQ(W.vtConnect->rowCount(), 1);
    EXPECT_TRUE(W.ConnectionStatus(0));

    // The e-mail module on, and its page pointed at the SMTP server.
    ASSERT_EQ(W.vtModules->rowCount(), 1);
    W.grdModules->Object()->setCurrentIndex(W.vtModules->index(0, 0));
    W.acLoadExecute();
    QWidget* Mail = W.pcItems->Object()->FindPage("tsTfrMailSettings");
    ASSERT_NE(Mail, nullptr);
    Mail->findChild<QSpinBox*>("sedSmtpPort")->setValue(Peer.Port());
    Type(Mail->findChild<QLineEdit*>("edSenderAddress"), "notices@config.example");
    Mail->findChild<QSpinBox*>("sedPeriod")->setValue(1);
    Mail->findChild<QComboBox*>("cbbPeriodType")->setCurrentIndex(0);

    ASSERT_TRUE(W.IsModified());
    TModalAnswerer Answerer({QMessageBox::Yes});
    W.acExitExecute();
    ASSERT_EQ(Answerer.Boxes().size(), 1u);
    EXPECT_EQ(Answerer.Boxes()[0].Text, cstConfigSaveConfirm);
  }

  TServiceProcess Service(ExecutableDir() + "relaybird");
  Service.Start();
  const bool Delivered = Peer.WaitFor(5, 60);
  EXPECT_EQ(Service.Stop(), 0);
  ASSERT_TRUE(Delivered) << Peer.Received().size() << " of 5 letters arrived";
  std::set<std::string> Recipients;
  for (const TReceivedMail& Letter : Peer.Received()) {
    Recipients.insert(Letter.Header("rcpt_to"));
    EXPECT_EQ(Letter.Header("mail_from"), "notices@config.example");
  }
  EXPECT_EQ(Recipients.size(), 5u);
}

}  // namespace
}  // namespace relaybird::test
