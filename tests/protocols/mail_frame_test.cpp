// The e-mail settings page as the window gets it: through the module's
// GetSettingsFrame, from the page's own library, on the offscreen platform.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <memory>

#include "core/settings_file.h"
#include "i18n/form_translator.h"
#include "i18n/translator.h"
#include "mail_settings.h"
#include "modules/module.h"
#include "platform/exe_path.h"
#include "relaybird/catalogue.h"
#include "relaybird/ini_file.h"
#include "relaybird/scrambler.h"
#include "relaybird/settings.h"
#include "relaybird/text_format.h"
#include "test_support.h"
#include "ui/base_settings_frame.h"
#include "ui/qt_text.h"

namespace relaybird::test {
namespace {

using mail::TMailSecurity;
using mail::TMailSettings;

class MailFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSettingsFileName();
    RemovePath(SettingsFileName);
    CreateTransFormList();
    TranslateConstants();
    // Where the build put them: the page's library beside the toolkit layer.
    Module = std::make_unique<TModule>(RB_MAIL_MODULE);
    ASSERT_TRUE(Module->Load()) << Module->LoadError();
    const TSettingsFrameClass* Class = Module->GetSettingsFrame("MAIL");
    ASSERT_NE(Class, nullptr);
    EXPECT_STREQ(Class->ClassName, "TfrMailSettings");
    Frame.reset(Class->Create(nullptr));
    ASSERT_NE(Frame, nullptr);
    Frame->OnFrameChange = [this] { ++Changes; };
    Frame->OnFrameStatus = [this](const std::string& Text) { Status = Text; };
    Frame->InitFrame();
  }
  void TearDown() override {
    if (Frame) Frame->DoneFrame();
    Frame.reset();
    Module.reset();
    FreeTransFormList();
    RemovePath(SettingsFileName);
  }

  template <class T>
  T* Control(const char* Name) {
    T* Found = Frame->findChild<T*>(Name);
    EXPECT_NE(Found, nullptr) << Name;
    return Found;
  }
  // As the user does it: the old text selected and replaced.
  void Type(const char* Name, const QString& Text) {
    QLineEdit* Edit = Control<QLineEdit>(Name);
    Edit->selectAll();
    Edit->del();
    Edit->insert(Text);
  }

  // Every control changed to the values of Settings.
  void Enter(const TMailSettings& Settings) {
    Type("edSmtpHost", ToQt(Settings.Host));
    Control<QSpinBox>("sedSmtpPort")->setValue(Settings.Port);
    Control<QComboBox>("cbbSmtpSecurity")->setCurrentIndex(static_cast<int>(Settings.Security));
    Control<QCheckBox>("cbVerifyCertificate")->setChecked(Settings.VerifyCertificate);
    Type("edCAFile", ToQt(Settings.CaFile));
    Control<QSpinBox>("sedConnectTimeout")->setValue(Settings.ConnectTimeout);
    Control<QSpinBox>("sedCommandTimeout")->setValue(Settings.CommandTimeout);
    Type("edSmtpUser", ToQt(Settings.User));
    Type("edSmtpPassword", ToQt(Settings.Password));
    Type("edSenderAddress", ToQt(Settings.SenderAddress));
    Type("edSenderName", ToQt(Settings.SenderName));
    Control<QCheckBox>("cbReadReceipt")->setChecked(Settings.ReadReceipt);
    Control<QSpinBox>("sedPeriod")->setValue(Settings.Period);
    Control<QComboBox>("cbbPeriodType")->setCurrentIndex(Settings.PeriodInMinutes ? 1 : 0);
    Control<QSpinBox>("sedBroadcast")->setValue(Settings.Broadcast);
    Control<QCheckBox>("cbLogging")->setChecked(Settings.Logging);
    Control<QPlainTextEdit>("mmResultStatement")->setPlainText(ToQt(Settings.ResultStatement));
  }

  static std::string Text(const TMailSettings& S) {
    return S.Host + "|" + std::to_string(S.Port) + "|" + std::to_string(static_cast<int>(S.Security)) + "|" +
           std::to_string(S.VerifyCertificate) + "|" + S.CaFile + "|" + S.User + "|" + S.Password + "|" +
           S.SenderAddress + "|" + S.SenderName + "|" + std::to_string(S.Period) + "|" +
           std::to_string(S.PeriodInMinutes) + "|" + std::to_string(S.Broadcast) + "|" + std::to_string(S.Logging) +
           "|" + std::to_string(S.ReadReceipt) + "|" + std::to_string(S.ConnectTimeout) + "|" +
           std::to_string(S.CommandTimeout) + "|" + S.ResultStatement;
  }

  std::unique_ptr<TModule> Module;
  std::unique_ptr<TfrBaseSettings> Frame;
  int Changes = 0;
  std::string Status;
};

TMailSettings Unusual() {
  TMailSettings S;
  S.Host = "smtp.example.org";
  S.Port = 2525;
  S.Security = TMailSecurity::msTls;
  S.VerifyCertificate = false;
  S.CaFile = "/etc/ssl/private-ca.pem";
  S.User = "рассыльщик";
  S.Password = "пароль; с = знаками";
  S.SenderAddress = "notices@example.org";
  S.SenderName = "Служба уведомлений";
  S.Period = 45;
  S.PeriodInMinutes = false;
  S.Broadcast = 7;
  S.Logging = false;
  S.ReadReceipt = true;
  S.ConnectTimeout = 12;
  S.CommandTimeout = 99;
  S.ResultStatement = "call kobaltix5.mark_sent(:ID, :STATUS)";
  return S;
}

TEST_F(MailFrame, EveryKeyRoundTripsAndThePasswordIsNeverStoredPlain) {
  std::string Caption;
  Frame->GetFrameCaption(Caption);
  EXPECT_EQ(Caption, "Электронная почта");

  // Loading a file without the section shows the defaults and writes nothing.
  Frame->LoadFrameSettings();
  EXPECT_FALSE(std::filesystem::exists(SettingsFileName));
  EXPECT_FALSE(Frame->Modified);
  EXPECT_EQ(Changes, 0);

  mail::SaveMailSettings(SettingsFileName, Unusual());
  const std::string Stored = ReadFileBytes(SettingsFileName);
  EXPECT_EQ(Stored.find(Unusual().Password), std::string::npos);
  Frame->LoadFrameSettings();
  EXPECT_EQ(ReadFileBytes(SettingsFileName), Stored);
  EXPECT_FALSE(Frame->Modified);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(Control<QLineEdit>("edSmtpHost")->text(), "smtp.example.org");
  EXPECT_EQ(Control<QLineEdit>("edSmtpPassword")->echoMode(), QLineEdit::Password);

  // Saved untouched, the page gives back exactly what it loaded.
  Frame->SaveFrameSettings();
  EXPECT_EQ(Text(mail::LoadMailSettings(SettingsFileName, mail::TMissingKeys::mkLeave)), Text(Unusual()));

  TMailSettings Entered;
  Entered.Host = "mail.example.net";
  Entered.Port = 587;
  Entered.Security = TMailSecurity::msStartTls;
  Entered.CaFile = "";
  Entered.User = "other";
  Entered.Password = "новый пароль";
  Entered.SenderAddress = "robot@example.net";
  Entered.SenderName = "Robot";
  Entered.Period = 3;
  Entered.Broadcast = 120;
  Entered.ConnectTimeout = 5;
  Entered.CommandTimeout = 3600;
  Entered.ResultStatement = "update t set sent = 1 where id = :ID";
  Enter(Entered);
  EXPECT_TRUE(Frame->Modified);
  EXPECT_GT(Changes, 0);
  Frame->SaveFrameSettings();
  EXPECT_FALSE(Frame->Modified);
  EXPECT_EQ(Text(mail::LoadMailSettings(SettingsFileName, mail::TMissingKeys::mkLeave)), Text(Entered));
  const TIniFile Ini(SettingsFileName);
  EXPECT_EQ(Ini.ReadString("MAIL", "SmtpPassword", ""), ScrambleText("новый пароль", ScrambleKey));
  EXPECT_EQ(ReadFileBytes(SettingsFileName).find("новый пароль"), std::string::npos);
}

TEST_F(MailFrame, AStatementOnSeveralLinesIsStoredOnOne) {
  Frame->LoadFrameSettings();
  Control<QPlainTextEdit>("mmResultStatement")->setPlainText("call mark(:ID,\n  :STATUS)\r\n");
  Frame->SaveFrameSettings();
  EXPECT_EQ(mail::LoadMailSettings(SettingsFileName).ResultStatement, "call mark(:ID,   :STATUS)");
}

TEST_F(MailFrame, WhatTheServiceCannotUseIsRefusedAndNothingIsStored) {
  struct TCase {
    const char* Host;
    const char* Sender;
    std::string Refusal;
  };
  for (const TCase& Case : {TCase{"  ", "robot@example.net", cstMailEmptyParams},
                            TCase{"smtp.example.org", "robot.example.net",
                                  Format(cstMailInvalidUserAdr, "robot.example.net")},
                            TCase{"smtp.example.org", "", Format(cstMailInvalidUserAdr, "")}}) {
    SCOPED_TRACE(Case.Refusal);
    mail::SaveMailSettings(SettingsFileName, Unusual());
    const std::string Stored = ReadFileBytes(SettingsFileName);
    Frame->LoadFrameSettings();
    Type("edSmtpHost", Case.Host);
    Type("edSenderAddress", Case.Sender);
    Control<QSpinBox>("sedSmtpPort")->setValue(25);
    try {
      Frame->SaveFrameSettings();
      ADD_FAILURE() << "saved";
    } catch (const std::exception& Error) {
      EXPECT_EQ(Error.what(), Case.Refusal);
    }
    EXPECT_TRUE(Frame->Modified);
    EXPECT_EQ(ReadFileBytes(SettingsFileName), Stored);
  }
}

TEST_F(MailFrame, SenderAddressIsCheckedWhileTypedAndPortStaysInRange) {
  Frame->LoadFrameSettings();
  Type("edSenderAddress", "robot@");
  EXPECT_EQ(Status, Format(cstMailInvalidUserAdr, "robot@"));
  Control<QLineEdit>("edSenderAddress")->insert("example.net");
  EXPECT_EQ(Status, "");

  QSpinBox* Port = Control<QSpinBox>("sedSmtpPort");
  for (const char* Typed : {"70000", "0"}) {
    Port->selectAll();
    QTest::keyClicks(Port, Typed);
    QTest::keyClick(Port, Qt::Key_Enter);
    EXPECT_GE(Port->value(), 1) << Typed;
    EXPECT_LE(Port->value(), 65535) << Typed;
  }
  // A stored port outside the range is the default the service uses too.
  TIniFile(SettingsFileName).WriteString("MAIL", "SmtpPort", "70000");
  Frame->LoadFrameSettings();
  EXPECT_EQ(Port->value(), 25);
  EXPECT_FALSE(Frame->Modified);
}

TEST_F(MailFrame, EnglishFileHoldsEveryTextOfThePage) {
  // The page is translated under its own name, as the window names it.
  std::unique_ptr<TfrBaseSettings> Fresh(Module->GetSettingsFrame("MAIL")->Create(nullptr));
  Fresh->SetName("frTfrMailSettings0");
  const TIniFile English(std::string(RELAYBIRD_SOURCE_DIR) + "/Langs/Lang_en_US.ini");
  const auto Keys = TTranslatorComponents::TextKeys(*Fresh);
  EXPECT_GT(Keys.size(), 20u);
  std::string Missing;
  for (const auto& [Key, Text] : Keys)
    if (English.ReadString("frTfrMailSettings0", Key, "").empty()) Missing += Key + "=" + Text + "\n";
  EXPECT_EQ(Missing, "");
}

}  // namespace
}  // namespace relaybird::test
