#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <set>

#include "catalogue_environment.h"
#include "mail_fixture.h"
#include "mail_settings.h"
#include "relaybird/catalogue.h"
#include "relaybird/ini_file.h"
#include "relaybird/scrambler.h"
#include "relaybird/text_format.h"

namespace relaybird::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const auto* const CatalogueEnvironment = ::testing::AddGlobalTestEnvironment(new TCatalogueEnvironment);

std::vector<TTestLetter> Numbered(int Count, const std::string& Prefix = "ID") {
  std::vector<TTestLetter> Letters;
  for (int I = 1; I <= Count; ++I) {
    Letters.push_back({Prefix + std::to_string(I), "user" + std::to_string(I) + "@example.test",
                       "Notice " + std::to_string(I), "Body " + std::to_string(I)});
  }
  return Letters;
}

std::string Before(const std::string& Text, const std::string& Mark) { return Text.substr(0, Text.find(Mark)); }

std::set<std::string> Connections(const std::vector<TReceivedMail>& Mails) {
  std::set<std::string> Ids;
  for (const TReceivedMail& Mail : Mails) Ids.insert(Mail.Header("connection"));
  return Ids;
}

TEST_F(TMailModuleTest, TwentyLettersArriveWholeOverOneConnection) {
  LoadModule();
  EXPECT_EQ(Module->Name(), cstMailServiceCaption);
  EXPECT_EQ(Module->ID(), "MAIL");
  EXPECT_EQ(Module->Services(), TServicesList{"MAIL"});
  Dispatch(Numbered(20));
  const auto Mails = Peer.Received();
  ASSERT_EQ(Mails.size(), 20u);
  EXPECT_EQ(Connections(Mails).size(), 1u);
  std::set<std::string> Recipients;
  for (const TReceivedMail& Mail : Mails) Recipients.insert(Mail.Header("rcpt_to"));
  EXPECT_EQ(Recipients.size(), 20u);
  EXPECT_TRUE(Failed().empty());
  EXPECT_THAT(LogText(), HasSubstr(Format(cstSendedMessages, 20, 20)));
  EXPECT_THAT(LogText(), HasSubstr(Format(cstMailConnected, "127.0.0.1", Peer.Port())));
}

bool Mapped(const std::string& Part) {
  std::ifstream Maps("/proc/self/maps");
  for (std::string Line; std::getline(Maps, Line);)
    if (Line.find(Part) != std::string::npos) return true;
  return false;
}

TEST_F(TMailModuleTest, TheServiceNeverLoadsTheSettingsPage) {
  LoadModule();
  Dispatch(Numbered(1));
  EXPECT_EQ(Peer.Received().size(), 1u);
  EXPECT_FALSE(Mapped("libQt6"));
  EXPECT_FALSE(Mapped("librelaybird_mail_frame"));
  // Beside this program there is no page library: asking for the page says why.
  try {
    Module->GetSettingsFrame("MAIL");
    ADD_FAILURE() << "no refusal";
  } catch (const std::exception& Error) {
    EXPECT_THAT(Error.what(), HasSubstr("The e-mail settings page cannot be opened: "));
    EXPECT_THAT(Error.what(), HasSubstr("librelaybird_mail_frame.so"));
  }
}

TEST_F(TMailModuleTest, CyrillicAndHtmlLettersArriveExact) {
  MailKeys["SenderName"] = "Служба уведомлений «Реле»";
  MailKeys["ReadReceipt"] = "1";
  LoadModule();
  const std::string Subject = "Уведомление о списании средств №42";
  const std::string Body = "Уважаемый клиент!\nНа вашем счёте — изменения.\nС уважением, банк.";
  const std::string Html = "<html><body><p>Платёж <b>принят</b></p></body></html>";
  Dispatch({{"A1", "client@example.test", Subject, Body}, {"A2", "client@example.test", "HTML", Html}});
  const auto Mails = Peer.Received();
  ASSERT_EQ(Mails.size(), 2u);
  EXPECT_EQ(Mails[0].Header("subject"), Subject);
  EXPECT_EQ(Mails[0].Body, Body);
  EXPECT_EQ(Mails[0].Header("content_type"), "text/plain");
  EXPECT_EQ(Mails[0].Header("charset"), "utf-8");
  EXPECT_EQ(Mails[0].Header("from"), "Служба уведомлений «Реле» <notices@relaybird.test>");
  EXPECT_EQ(Mails[0].Header("dnt"), "<notices@relaybird.test>");
  EXPECT_EQ(Mails[0].Header("date_valid"), "yes");
  EXPECT_THAT(Mails[0].Header("message_id"), HasSubstr("@relaybird.test>"));
  EXPECT_NE(Mails[0].Header("message_id"), Mails[1].Header("message_id"));
  EXPECT_EQ(Mails[1].Header("content_type"), "text/html");
  EXPECT_EQ(Mails[1].Body, Html);
}

TEST_F(TMailModuleTest, HostileSubjectAndBodyBytesStayInside) {
  LoadModule();
  const std::string Subject = "Hi\r\nBcc: victim@example.test";
  std::string Body = "line\r\n.\r\nQUIT\r\n\x01\xff\xfe end";
  Body += '\0';
  Dispatch({{"B1", "client@example.test", Subject, Body}, {"B2", "client@example.test"}});
  const auto Mails = Peer.Received();
  ASSERT_EQ(Mails.size(), 2u);
  EXPECT_EQ(Mails[0].Header("rcpt_to"), "client@example.test");
  EXPECT_EQ(Mails[0].Header("subject"), "Hi  Bcc: victim@example.test");
  EXPECT_THAT(Mails[0].Body, HasSubstr("line\n.\nQUIT\n"));
  EXPECT_THAT(Mails[0].Body, HasSubstr("\xEF\xBF\xBD\xEF\xBF\xBD end"));
  EXPECT_TRUE(Failed().empty());
}

TEST_F(TMailModuleTest, ServerDownCountsEachDispatchThenDeliversWhenBack) {
  LoadModule();
  const int Port = Peer.Port();
  Peer.Stop();
  Dispatch(Numbered(3));
  EXPECT_EQ(Failed(), (std::map<std::string, int>{{"ID1", 1}, {"ID2", 1}, {"ID3", 1}}));
  EXPECT_THAT(LogText(), HasSubstr(Before(cstMailConnectError, "%s")));
  EXPECT_THAT(LogText(), HasSubstr(cstNotSendedMessage));
  Dispatch(Numbered(3));
  EXPECT_EQ(Failed(), (std::map<std::string, int>{{"ID1", 2}, {"ID2", 2}, {"ID3", 2}}));
  Peer.Start(TPeerTls::ptNone, {}, Port);
  Dispatch(Numbered(3));
  EXPECT_TRUE(Failed().empty());
  EXPECT_EQ(Peer.Received().size(), 3u);
}

TEST_F(TMailModuleTest, RefusedRecipientFailsAloneAndSplitFieldsGoInGroups) {
  Peer.Start(TPeerTls::ptNone, {"refuse=gone@example.test"});
  MailKeys["SmtpPort"] = std::to_string(Peer.Port());
  MailKeys["Broadcast"] = "2";
  LoadModule();
  Dispatch({{"R1", "one@example.test"},
            {"R2", "gone@example.test"},
            {"R3", "a@example.test; gone@example.test, b@example.test;c@example.test"},
            {"R4", "four@example.test"}});
  EXPECT_EQ(Failed(), (std::map<std::string, int>{{"R2", 1}}));
  const auto Mails = Peer.Received();
  std::vector<std::string> Recipients;
  for (const TReceivedMail& Mail : Mails) Recipients.push_back(Mail.Header("rcpt_to"));
  EXPECT_EQ(Recipients, (std::vector<std::string>{"one@example.test", "a@example.test",
                                                  "b@example.test,c@example.test", "four@example.test"}));
  EXPECT_THAT(LogText(), HasSubstr(Format(cstMailNotSended, "gone@example.test (550")));
}

TEST_F(TMailModuleTest, InvalidAddressIsReportedUntilTheHostGivesUp) {
  LoadModule();
  for (int Round = 1; Round <= 6; ++Round) {
    // From the fifth failure on the host no longer hands the letter over.
    std::vector<TTestLetter> Letters = {{"OK" + std::to_string(Round), "fine@example.test"}};
    if (Round <= 5) Letters.push_back({"BAD", "not an address"});
    Dispatch(Letters);
    EXPECT_EQ(Failed(), (std::map<std::string, int>{{"BAD", std::min(Round, 5)}})) << Round;
  }
  EXPECT_EQ(Peer.Received().size(), 6u);
  EXPECT_THAT(LogText(), HasSubstr(Format(cstMailInvalidUserAdr, "not an address")));
}

TEST_F(TMailModuleTest, ServerClosingMidBatchLosesNothingAndSendsNothingTwice) {
  Peer.Start(TPeerTls::ptNone, {"close_after=3"});
  MailKeys["SmtpPort"] = std::to_string(Peer.Port());
  LoadModule();
  Dispatch(Numbered(6));
  EXPECT_EQ(Failed(), (std::map<std::string, int>{{"ID4", 1}, {"ID5", 1}, {"ID6", 1}}));
  EXPECT_EQ(Peer.Received().size(), 3u);
  // The host hands only the failed ones again.
  auto Again = Numbered(6);
  Again.erase(Again.begin(), Again.begin() + 3);
  Dispatch(Again);
  EXPECT_TRUE(Failed().empty());
  std::multiset<std::string> Recipients;
  for (const TReceivedMail& Mail : Peer.Received()) Recipients.insert(Mail.Header("rcpt_to"));
  EXPECT_EQ(Recipients.size(), 6u);
  EXPECT_EQ(std::set<std::string>(Recipients.begin(), Recipients.end()).size(), 6u);
}

TEST_F(TMailModuleTest, SlowServerTimesOutAndTheRunEnds) {
  Peer.Start(TPeerTls::ptNone, {"delay=4"});
  MailKeys["SmtpPort"] = std::to_string(Peer.Port());
  MailKeys["ConnectTimeout"] = "1";
  MailKeys["CommandTimeout"] = "1";
  LoadModule();
  const auto Start = std::chrono::steady_clock::now();
  Dispatch(Numbered(3));
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(4)) << LogText();
  EXPECT_EQ(Failed(), (std::map<std::string, int>{{"ID1", 1}, {"ID2", 1}, {"ID3", 1}}));
}

TEST_F(TMailModuleTest, WhileAWorkerRunsNoNewDispatchAndTerminateEndsIt) {
  Peer.Start(TPeerTls::ptNone, {"delay=30"});
  MailKeys["SmtpPort"] = std::to_string(Peer.Port());
  MailKeys["CommandTimeout"] = "60";
  LoadModule();
  Dispatch(Numbered(2), false);
  EXPECT_FALSE(Module->AccessNewProcess());
  // In flight: not reported, so the host does not prepare it again.
  EXPECT_TRUE(Failed().empty());
  const auto Start = std::chrono::steady_clock::now();
  Module->Terminate("MAIL", std::string(31, '0') + "1");
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(10));
  EXPECT_TRUE(Module->AccessNewProcess());
  EXPECT_EQ(Failed(), (std::map<std::string, int>{{"ID1", 1}, {"ID2", 1}}));
}

TEST_F(TMailModuleTest, UnloadWaitsForTheWorker) {
  Peer.Start(TPeerTls::ptNone, {"delay=30"});
  MailKeys["SmtpPort"] = std::to_string(Peer.Port());
  MailKeys["CommandTimeout"] = "60";
  LoadModule();
  Dispatch(Numbered(1), false);
  const auto Start = std::chrono::steady_clock::now();
  Manager.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(10));
}

struct TTlsCase {
  const char* Name;
  TPeerTls Tls;
  bool WithCa;
  bool Verify;
  bool Delivered;
};

TEST_F(TMailModuleTest, StartTlsAndTlsAreVerifiedAgainstTheirAuthority) {
  const TTlsCase Cases[] = {
      {"STARTTLS with its authority", TPeerTls::ptStartTls, true, true, true},
      {"STARTTLS without it", TPeerTls::ptStartTls, false, true, false},
      {"TLS with its authority", TPeerTls::ptTls, true, true, true},
      {"TLS without it", TPeerTls::ptTls, false, true, false},
      {"TLS unverified", TPeerTls::ptTls, false, false, true},
  };
  LoadModule();
  int Delivered = 0;
  for (const TTlsCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Peer.Start(Case.Tls);
    WriteMailKey("SmtpPort", std::to_string(Peer.Port()));
    WriteMailKey("SmtpSecurity", Case.Tls == TPeerTls::ptStartTls ? "1" : "2");
    WriteMailKey("CAFile", Case.WithCa ? TestCertificates().CaFile : "");
    WriteMailKey("VerifyCertificate", Case.Verify ? "1" : "0");
    const std::string Id = std::string("T") + std::to_string(Delivered) + Case.Name;
    Dispatch({{Id, "secure@example.test"}});
    if (Case.Delivered) ++Delivered;
    EXPECT_EQ(Failed().count(Id), Case.Delivered ? 0u : 1u);
    EXPECT_EQ(Peer.Received().size(), static_cast<std::size_t>(Delivered));
    Failed();
  }
}

TEST_F(TMailModuleTest, AuthenticationWithAWrongPasswordFailsCleanly) {
  Peer.Start(TPeerTls::ptStartTls, {"auth=relay:s3cret"});
  MailKeys["SmtpPort"] = std::to_string(Peer.Port());
  MailKeys["SmtpSecurity"] = "1";
  MailKeys["CAFile"] = TestCertificates().CaFile;
  MailKeys["SmtpUser"] = "relay";
  MailKeys["SmtpPassword"] = ScrambleText("wrong", ScrambleKey);
  LoadModule();
  Dispatch({{"P1", "x@example.test"}, {"P2", "y@example.test"}});
  EXPECT_EQ(Failed(), (std::map<std::string, int>{{"P1", 1}, {"P2", 1}}));
  EXPECT_THAT(LogText(), HasSubstr(Before(cstMailConnectError, "%s")));
  WriteMailKey("SmtpPassword", ScrambleText("s3cret", ScrambleKey));
  Dispatch({{"P1", "x@example.test"}, {"P2", "y@example.test"}});
  EXPECT_TRUE(Failed().empty());
  EXPECT_EQ(Peer.Received().size(), 2u);
}

TEST_F(TMailModuleTest, MissingSettingsAreWrittenBackWithDefaults) {
  Peer.Stop();
  MailKeys.clear();
  LoadModule();
  EXPECT_EQ(Module->GetInterval("MAIL"), 60);
  TIniFile Ini(SettingsFileName);
  for (const char* Key : {"SmtpHost", "SmtpPort", "SmtpSecurity", "VerifyCertificate", "CAFile", "SmtpUser",
                          "SmtpPassword", "SenderAddress", "SenderName", "Period", "PeriodType", "Broadcast",
                          "Logging", "ReadReceipt", "ConnectTimeout", "CommandTimeout", "ResultStatement"}) {
    EXPECT_TRUE(Ini.ValueExists("MAIL", Key)) << Key;
  }
  EXPECT_EQ(Ini.ReadString("MAIL", "SmtpPort", ""), "25");
  Ini.WriteString("MAIL", "Period", "15");
  Ini.WriteString("MAIL", "PeriodType", "0");
  EXPECT_EQ(Module->GetInterval("MAIL"), 15);
  Ini.WriteString("MAIL", "PeriodType", "1");
  EXPECT_EQ(Module->GetInterval("MAIL"), 900);
  Ini.WriteString("MAIL", "Period", "soon");
  EXPECT_EQ(Module->GetInterval("MAIL"), 60);
  Ini.WriteString("MAIL", "SmtpPassword", ScrambleText("пароль", ScrambleKey));
  EXPECT_EQ(mail::LoadMailSettings(SettingsFileName).Password, "пароль");
}

}  // namespace
}  // namespace relaybird::test
