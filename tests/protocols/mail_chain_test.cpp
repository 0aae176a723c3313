// The whole chain as it runs for real: the program in the service role
// against a test database of its own (KOBALTIX_CHAIN, whose preparation marks
// nothing and whose result statement marks each notice), the e-mail module
// and a real SMTP server on loopback. Restarts of the service and of the
// PostgreSQL server mid-run lose no notice and send none twice. Runs alone:
// the restart would disturb other tests.
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <thread>

#include "database_fixture.h"
#include "relaybird/ora_session.h"
#include "smtp_peer.h"
#include "test_support.h"

namespace relaybird::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const char* const InvalidId = "BAD0000000000000000000000000001";

// The program with its library and the e-mail module, in a folder of its own.
std::string InstallProgram(const std::string& Dir) {
  fs::create_directories(Dir + "Protocols");
  CopyProgram(RELAYBIRD_BIN_DIR, Dir);
  fs::copy_file(RB_MAIL_MODULE, Dir + "Protocols/mail.so", fs::copy_options::overwrite_existing);
  return Dir + "relaybird";
}

// Every letter carries its notice id after "Ref " (the test's templates add it).
std::map<std::string, int> ReceivedPerNotice(const TSmtpPeer& Peer) {
  std::map<std::string, int> Counts;
  for (const TReceivedMail& Mail : Peer.Received()) {
    const std::size_t At = Mail.Body.find("Ref ");
    Counts[At == std::string::npos ? "(none)" : Mail.Body.substr(At + 4, 32)]++;
  }
  return Counts;
}

class TMailChainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Database = NewFixtureSession();
    Database->SetServer("KOBALTIX_CHAIN");
    Database->SetSchema("kobaltix5_chain");
    try {
      Database->Connect();
    } catch (const std::exception& Error) {
      if (UnderCi()) FAIL() << Error.what();
      GTEST_SKIP() << "No test database: " << Error.what();
    }
    for (const char* Table : {"ecfil083", "qx_notice_emitent", "qx_mngr_notification",
                              "qx_mngr_notification_state", "notice_outcome"}) {
      ExecSql(*Database, std::string("delete from ") + Table);
    }
    ExecSql(*Database, "update qx_letter_templates set letter_body = letter_body || ' Ref {GUID}'");
    Peer.Start(TPeerTls::ptNone, {"delay=0.2"});
    WriteFileBytes(Dir.Path() + "app/Relaybird.ini",
                   "[Service]\nAccessLogPath=" + Dir.Path() + "log\nTempDir=" + Dir.Path() +
                       "temp\nTimeoutDelay=0\nTimeoutConnect=1\nTimeoutReconnect=1\n[Connection]\n"
                       "Item_0=0#KOBALTIX_CHAIN#kobaltix5##kobaltix5_chain\n[Protocols]\nMAIL=1\n"
                       "[MAIL]\nSmtpHost=127.0.0.1\nSmtpPort=" + std::to_string(Peer.Port()) +
                       "\nPeriod=1\nPeriodType=0\nResultStatement=select orvanta5_bd.record_outcome("
                       ":ID, :ID_TYPE, :OUTCOME, :ERROR_TEXT)\n");
  }

  // Notices From..To of the first source, each to an address of its own.
  void InsertClientNotices(int From, int To) {
    ExecSql(*Database, "insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, notice_email, "
                       "notice_text) select 'C' || lpad(i::text, 31, '0'), 1, 1001, 5, 'c' || i || "
                       "'@chain.example', 'Остаток ' || i from generate_series(" +
                           std::to_string(From) + ", " + std::to_string(To) + ") i");
  }

  std::string Scalar(const std::string& Sql) { return QueryValue(*Database, Sql); }

  // Waits until Done holds or Limit passes; whether it holds.
  template <typename TDone>
  static bool WaitUntil(TDone Done, std::chrono::seconds Limit) {
    const auto End = std::chrono::steady_clock::now() + Limit;
    while (!Done()) {
      if (std::chrono::steady_clock::now() > End) return false;
      std::this_thread::sleep_for(100ms);
    }
    return true;
  }

  // Each of the expected notices arrived exactly once, and nothing else did.
  void ExpectEachOnce(std::size_t Expected) {
    const std::map<std::string, int> Counts = ReceivedPerNotice(Peer);
    EXPECT_EQ(Counts.size(), Expected);
    for (const auto& [Id, Count] : Counts) EXPECT_EQ(Count, 1) << Id;
    EXPECT_EQ(Counts.count(InvalidId), 0u);
  }

  std::unique_ptr<TOraSession> Database;
  TTempDir Dir;
  TSmtpPeer Peer{Dir.Path() + "mail/"};
  TServiceProcess Service{InstallProgram(Dir.Path() + "app/")};
};

TEST_F(TMailChainTest, RestartsOfTheServiceAndTheDatabaseLoseNoNoticeAndSendNoneTwice) {
  InsertClientNotices(1, 30);
  ExecSql(*Database, "insert into qx_notice_emitent (trn_guid, emitent_id, emitent_name, notice_type, "
                     "notice_email, notice_text) select 'E' || lpad(i::text, 31, '0'), 501, "
                     "'АО «Северный металл»', 3, 'e' || i || '@chain.example', 'Реестр ' || i "
                     "from generate_series(1, 6) i");
  // Both managers of client 1001 have an address; the first one's row is taken.
  ExecSql(*Database, "insert into qx_mngr_notification (notification_guid, client_id, client_type, "
                     "notification_type, notification_text) select 'M' || lpad(i::text, 31, '0'), 1001, 1, "
                     "11, 'Заявка ' || i from generate_series(1, 2) i");
  ExecSql(*Database, std::string("insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, "
                                 "notice_email) values ('") + InvalidId + "', 1, 1001, 5, 'no address')");
  const std::size_t FirstRound = 30 + 6 + 2;

  // The service stops while a batch is under way, and starts again.
  Service.Start();
  ASSERT_TRUE(WaitUntil([&] { return Peer.Received().size() >= 5; }, 30s));
  EXPECT_EQ(Service.Stop(), 0);
  EXPECT_LT(Peer.Received().size(), FirstRound) << "stopped too late to show anything";
  Service.Start();
  EXPECT_TRUE(WaitUntil(
      [&] {
        return ReceivedPerNotice(Peer).size() >= FirstRound &&
               Scalar("select count(*) from notice_outcome where id = '" + std::string(InvalidId) + "'") == "1";
      },
      60s));
  ExpectEachOnce(FirstRound);
  EXPECT_EQ(Scalar("select outcome from notice_outcome where id = '" + std::string(InvalidId) + "'"),
            "FORMATERROR");
  EXPECT_EQ(Scalar("select flag_activnosti from ecfil083 where trn_guid = '" + std::string(InvalidId) + "'"),
            "2");

  // The database goes away under a batch and comes back.
  InsertClientNotices(31, 55);
  ASSERT_TRUE(WaitUntil([&] { return Peer.Received().size() >= FirstRound + 3; }, 30s));
  Database->Disconnect();
  const std::string AsPostgres = getuid() == 0 ? "runuser -u postgres -- " : "";
  ASSERT_EQ(std::system((AsPostgres + "/usr/lib/postgresql/15/bin/pg_ctl -D " + RELAYBIRD_PG_DATA +
                         " restart -m fast -w -t 60 >/dev/null")
                            .c_str()),
            0);
  EXPECT_LT(Peer.Received().size(), FirstRound + 25) << "restarted too late to show anything";
  // The supervision reconnects on its next tick, a minute on.
  EXPECT_TRUE(WaitUntil([&] { return ReceivedPerNotice(Peer).size() >= FirstRound + 25; }, 120s));
  EXPECT_EQ(Service.Stop(), 0);
  ExpectEachOnce(FirstRound + 25);

  // Every delivered notice is marked: a new run of the service sends nothing.
  Database->Connect();
  EXPECT_EQ(Scalar("select count(*) from notice_outcome where outcome = 'SENDED'"),
            std::to_string(FirstRound + 25));
  EXPECT_EQ(Scalar("select count(*) from ecfil083 where flag_activnosti = 0"), "0");
  EXPECT_EQ(Scalar("select count(*) from qx_notice_emitent where notice_state = 0"), "0");
  Service.Start();
  std::this_thread::sleep_for(4s);
  EXPECT_EQ(Service.Stop(), 0);
  ExpectEachOnce(FirstRound + 25);
}

}  // namespace
}  // namespace relaybird::test
