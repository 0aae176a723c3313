// The database supervision in simulated time, against a server that is down
// (KOBALTIX_DOWN), the test database, and a login the test locks out.
#include <gtest/gtest.h>

#include "database_fixture.h"
#include "relaybird/ora_session.h"
#include "service_fixture.h"

namespace relaybird::test {
namespace {

const char* const Failure0 = "[#0] Попытка установить соединение с Oracle №";
const char* const Limit0 = "[#0] Превышено чесло попыток соедиенения с Oracle...";

class TSupervisionTest : public TServiceFixture {
 protected:
  void SetUp() override {
    TServiceFixture::SetUp();
    Install("rb_recorder");
    SetModuleEnv("RB_INTERVAL", "60");
  }
  std::string Down() const { return ConnectionEntry("KOBALTIX_DOWN", IntakeSchema); }
  std::string Good() const { return ConnectionEntry(IntakeServer, IntakeSchema); }
  void SkipWithoutDatabase() {
    auto Session = NewFixtureSession();
    try {
      Session->Connect();
    } catch (const std::exception& Error) {
      if (UnderCi()) FAIL() << Error.what();
      GTEST_SKIP() << "No test database: " << Error.what();
    }
  }
};

TEST_F(TSupervisionTest, FiveFailuresThenTheReconnectRestThenFiveMore) {
  Configure(2, 1, 10, {Down()}, {"RECORDER"});
  Start();
  EXPECT_EQ(Service->tmrOraConnection.Interval(), 120000) << "the start delay";
  for (int Attempt = 1; Attempt <= 5; ++Attempt) {
    Advance(Attempt == 1 ? 120000 : 60000);
    EXPECT_EQ(LogLinesWith(Failure0).size(), static_cast<std::size_t>(Attempt));
  }
  EXPECT_EQ(LogLinesWith(std::string(Failure0) + "5 неудачна").size(), 1u) << "numbered by attempt";
  EXPECT_EQ(Service->tmrOraConnection.Interval(), 600000);
  EXPECT_EQ(LogLinesWith("[#0] Ошибка соединения с базой данных: ").size(), 5u);
  Advance(599999);
  EXPECT_EQ(LogLinesWith(Failure0).size(), 5u);
  Advance(1);
  EXPECT_EQ(LogLinesWith(std::string(Failure0) + "1 неудачна").size(), 2u);
  EXPECT_EQ(Service->tmrOraConnection.Interval(), 60000);
  EXPECT_TRUE(LogLinesWith(Limit0).empty());
  EXPECT_TRUE(LogLinesWith("Не обнаружено").empty()) << "sending never started";
}

TEST_F(TSupervisionTest, AFailingConnectionBesideAGoodOneStopsAfterOneLimitLine) {
  SkipWithoutDatabase();
  Configure(0, 1, 10, {Down(), Good()}, {"RECORDER"});
  Start();
  EXPECT_EQ(LogLinesWith("[#1] Установлено соединение с Oracle №1").size(), 1u);
  EXPECT_FALSE(Service->NoConnection());
  Advance(10 * 60000);
  EXPECT_EQ(LogLinesWith(Failure0).size(), 5u);
  EXPECT_EQ(LogLinesWith(Limit0).size(), 1u);
  EXPECT_EQ(Service->tmrOraConnection.Interval(), 60000);
  EXPECT_FALSE(LogLinesWith("[#1] ALPHA. ").empty());
}

TEST_F(TSupervisionTest, AConnectionMadeOnItsFifthAttemptKeepsSendingGoing) {
  SkipWithoutDatabase();
  // The login is locked out for the first four attempts.
  auto Late = NewFixtureSession();
  Late->SetServer(IntakeServer);
  Late->SetUsername("kobaltix5_late");
  Late->SetPassword("LATE_PASSWORD");
  Late->SetSchema(IntakeSchema);
  Late->Connect();
  ExecSql(*Late, "alter role current_user password 'LOCKED_OUT'");
  Late->Disconnect();
  const std::string LateEntry = ConnectionEntry(IntakeServer, IntakeSchema, "kobaltix5_late", "") ;
  Configure(0, 1, 10, {Down(), LateEntry}, {"RECORDER"});
  // The settings file stores the password scrambled; the default password
  // is not this login's, so the entry is written with the right one.
  {
    TConnectionList List(false);
    List.LoadConnections();
    TConnectionSettings Settings = *List.Items(1);
    Settings.OraPassword = "LATE_PASSWORD";
    List.Update(1, Settings);
    List.SaveConnections();
  }
  Start();
  Advance(3 * 60000);
  EXPECT_EQ(LogLinesWith("[#1] Попытка установить соединение с Oracle №4 неудачна").size(), 1u);
  Late->SetPassword("LOCKED_OUT");
  Late->Connect();
  ExecSql(*Late, "alter role current_user password 'LATE_PASSWORD'");
  Late->Disconnect();
  Advance(60000);
  EXPECT_EQ(LogLinesWith("[#1] Установлено соединение с Oracle №5").size(), 1u);
  EXPECT_FALSE(Service->NoConnection()) << "an open session is never exhausted";
  EXPECT_EQ(Service->tmrOraConnection.Interval(), 60000);
  ForgetLog();
  Advance(5 * 60000);
  EXPECT_GE(LogLinesWith("[#1] ALPHA. ").size(), 5u) << "sending goes on";
  EXPECT_EQ(LogLinesWith(Limit0).size(), 1u);
}

TEST_F(TSupervisionTest, WithoutConnectionsEveryTickIsAnExhaustedRound) {
  Configure(0, 1, 10, {}, {"RECORDER"});
  Start();
  EXPECT_TRUE(Service->NoConnection());
  EXPECT_EQ(Service->tmrOraConnection.Interval(), 600000);
  EXPECT_TRUE(Service->tmrOraConnection.Enabled());
  Advance(3 * 600000);
  EXPECT_FALSE(Service->tmrSendMessages.Enabled());
  EXPECT_TRUE(LogLinesWith("Не обнаружено").empty());
}

TEST_F(TSupervisionTest, AConnectPeriodOfZeroLeavesOnlyTheReconnectRounds) {
  Configure(0, 0, 10, {Down()}, {"RECORDER"});
  Start();
  EXPECT_EQ(LogLinesWith(Failure0).size(), 1u);
  EXPECT_EQ(Service->tmrOraConnection.Interval(), 0);
  Advance(60 * 60000);
  EXPECT_EQ(LogLinesWith(Failure0).size(), 1u) << "an interval of 0 never fires";
}

TEST_F(TSupervisionTest, AStopDuringATickWaitsForItAndLeavesTheTimersOff) {
  SkipWithoutDatabase();
  SetModuleEnv("RB_EXECUTE_SLEEP", "300");
  Configure(1, 1, 10, {Good()}, {"RECORDER"});
  Start();
  std::thread Main([&] { Advance(60000); });
  // A stop that comes before the connection is made skips it; this one comes
  // once it is made, while the tick dispatches (the module's Execute sleeps).
  const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (LogLinesWith("[#0] Установлено соединение").empty() && std::chrono::steady_clock::now() < Limit)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  Stop();
  Main.join();
  EXPECT_FALSE(Service->tmrOraConnection.Enabled());
  EXPECT_FALSE(Service->tmrSendMessages.Enabled());
  EXPECT_EQ(Service->Connections(), nullptr);
  ASSERT_FALSE(LogLines().empty());
  EXPECT_EQ(LogLines().back(), "Завершение работы службы Relaybird");
  EXPECT_EQ(LogLinesWith("[#0] Установлено соединение").size(), 1u);
}

}  // namespace
}  // namespace relaybird::test
