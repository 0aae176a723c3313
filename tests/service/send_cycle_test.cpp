// The send cycle in simulated time: a start delay of 0 connects inside the
// start and runs the first send tick there.
#include <gtest/gtest.h>

#include "database_fixture.h"
#include "relaybird/ora_session.h"
#include "service_fixture.h"

namespace relaybird::test {
namespace {

class TSendCycleTest : public TServiceFixture {
 protected:
  void SetUp() override {
    TServiceFixture::SetUp();
    Install("rb_recorder");
    auto Session = NewFixtureSession();
    Session->SetServer(IntakeServer);
    Session->SetSchema(IntakeSchema);
    try {
      Session->Connect();
    } catch (const std::exception& Error) {
      if (UnderCi()) FAIL() << Error.what();
      GTEST_SKIP() << "No test database: " << Error.what();
    }
    ExecSql(*Session, "delete from ecfil083");
    ExecSql(*Session, "delete from qx_notice_emitent");
    ExecSql(*Session, "delete from qx_mngr_notification");
    ExecSql(*Session, "insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, notice_email) "
                      "select 'SC' || lpad(i::text, 30, '0'), 1, 1001, 5, 'a@b.example' "
                      "from generate_series(1, 3) i");
    Database = std::move(Session);
  }
  // The services dispatched on connection 0, in order, from the log.
  std::vector<std::string> Dispatched() const {
    std::vector<std::string> Names;
    for (const std::string& Line : LogLinesWith("[#0] ")) {
      const std::size_t Dot = Line.find(". ");
      // The start-up report names the connection too, without a service.
      if (Dot == std::string::npos) continue;
      Names.push_back(Line.substr(5, Dot - 5));
    }
    return Names;
  }
  std::unique_ptr<TOraSession> Database;
};

TEST_F(TSendCycleTest, ServicesOfSixtyAndOneHundredFiftySecondsFallDueOnTheirOwnTicks) {
  SetModuleEnv("RB_INTERVAL_ALPHA", "60");
  SetModuleEnv("RB_INTERVAL_BETA", "150");
  Configure(0, 1, 10, {ConnectionEntry(IntakeServer, IntakeSchema)}, {"RECORDER"});
  Start();
  EXPECT_EQ(Dispatched(), (std::vector<std::string>{"ALPHA", "BETA"}));
  EXPECT_EQ(Service->tmrSendMessages.Interval(), 60000);
  struct TTick {
    int At;
    std::vector<std::string> Services;
    int NextInterval;
  };
  const TTick Ticks[] = {{60, {"ALPHA"}, 60000},  {120, {"ALPHA"}, 30000}, {150, {"BETA"}, 30000},
                         {180, {"ALPHA"}, 60000}, {240, {"ALPHA"}, 60000}, {300, {"ALPHA", "BETA"}, 60000}};
  for (const TTick& Tick : Ticks) {
    ForgetLog();
    Advance((Tick.At - Elapsed()) * 1000);
    EXPECT_EQ(Dispatched(), Tick.Services) << "tick at " << Tick.At;
    EXPECT_EQ(Service->tmrSendMessages.Interval(), Tick.NextInterval) << "after the tick at " << Tick.At;
  }
}

TEST_F(TSendCycleTest, EqualIntervalsAreDispatchedNewestFirstAndKeepThatOrder) {
  Install("rb_three_services");
  SetModuleEnv("RB_INTERVAL", "60");
  Configure(0, 1, 10, {ConnectionEntry(IntakeServer, IntakeSchema)}, {"THREE"});
  Start();
  for (int Turn = 0; Turn < 2; ++Turn) {
    ForgetLog();
    Advance(60000);
    EXPECT_EQ(Dispatched(), (std::vector<std::string>{"C", "B", "A"})) << "turn " << Turn;
  }
}

TEST_F(TSendCycleTest, ZeroIntervalsSwitchedOffModulesAndUnnamedServicesAreNeverQueued) {
  Install("rb_three_services");
  Install("rb_unnamed_service");
  SetModuleEnv("RB_INTERVAL_ALPHA", "0");
  SetModuleEnv("RB_INTERVAL_BETA", "45");
  Configure(0, 1, 10, {ConnectionEntry(IntakeServer, IntakeSchema)}, {"RECORDER", "UNNAMED"});
  Start();
  ASSERT_NE(Service->TimerQueue(), nullptr);
  ASSERT_EQ(Service->TimerQueue()->size(), 1u);
  EXPECT_EQ(Service->TimerQueue()->front()->ServiceName, "BETA");
  std::vector<std::string> First = Dispatched();
  std::sort(First.begin(), First.end());
  EXPECT_EQ(First, (std::vector<std::string>{"", "ALPHA", "BETA"})) << "the module that is off does nothing";
  ForgetLog();
  Advance(45000);
  EXPECT_EQ(Dispatched(), (std::vector<std::string>{"BETA"}));
}

TEST_F(TSendCycleTest, ABatchGoesToTheModuleInTheHandOverOrderAndIsNotReadTwice) {
  SetModuleEnv("RB_INTERVAL", "60");
  Configure(0, 1, 10, {ConnectionEntry(IntakeServer, IntakeSchema)}, {"RECORDER"});
  Start();
  std::vector<std::string> Kinds;
  std::string Rows;
  for (const auto& Call : Calls()) {
    if (Call[1] == "SetData" && Call[2] == "ALPHA") Kinds.push_back(Call[3] + "/" + Call[5]);
    if (Call[1] == "SetData" && Call[2] == "ALPHA" && Call[3] == "1") Rows = Call.at(6);
  }
  EXPECT_EQ(Kinds, (std::vector<std::string>{"0/36", "3/4", "2/36", "1/4"}));
  EXPECT_EQ(Rows, "3");
  EXPECT_EQ(Service->Intake().vtMesg.RecordCount(), 0) << "emptied before Execute";
  EXPECT_EQ(LogLinesWith("[#0] ALPHA. Получен список новых сообщений").size(), 1u);
  EXPECT_EQ(LogLinesWith("[#0] BETA. Нет новых сообщений для отправки").size(), 1u);
}

TEST_F(TSendCycleTest, ANoticeTheModuleDidNotTakeIsReadAgainAndAFailureReportBringsItBack) {
  SetModuleEnv("RB_INTERVAL_ALPHA", "60");
  SetModuleEnv("RB_INTERVAL_BETA", "600");
  SetModuleEnv("RB_FAULT_SetData", "throw");
  Configure(0, 1, 10, {ConnectionEntry(IntakeServer, IntakeSchema)}, {"RECORDER"});
  Start();
  EXPECT_EQ(LogLinesWith("Ошибка формирования данных при обработке сообщений: SetData refused").size(), 2u);
  unsetenv("RB_FAULT_SetData");
  ForgetCalls();
  Advance(60000);
  int Handed = 0;
  for (const auto& Call : Calls()) Handed += Call[1] == "row";
  EXPECT_EQ(Handed, 3) << "the batch that failed to reach the module came again";

  SetModuleEnv("RB_FAILED_TEXT", "sc000000000000000000000000000002\r\n2\r\nSC000000000000000000000000000003\r\n5");
  ForgetCalls();
  Advance(60000);
  std::vector<std::string> Rows;
  for (const auto& Call : Calls()) {
    if (Call[1] == "row") Rows.push_back(Call[2]);
  }
  EXPECT_EQ(Rows, (std::vector<std::string>{"SC000000000000000000000000000002"}));
}

TEST_F(TSendCycleTest, ABusyModuleIsSkippedWithAWaitingLine) {
  SetModuleEnv("RB_ACCESS", "0");
  Configure(0, 1, 10, {ConnectionEntry(IntakeServer, IntakeSchema)}, {"RECORDER"});
  Start();
  EXPECT_EQ(LogLinesWith("[#0] ALPHA. Ожидание завершения обработки сообщений...").size(), 1u);
  EXPECT_EQ(LogLinesWith("Получен список").size(), 0u);
}

TEST_F(TSendCycleTest, TwoConnectionsGetTwoDispatchesWithTheirOwnIdsAndBatches) {
  auto Other = NewFixtureSession();
  Other->SetServer("KOBALTIX_PROCESS");
  Other->SetSchema("kobaltix5_process");
  Other->Connect();
  ExecSql(*Other, "delete from ecfil083");
  ExecSql(*Other, "delete from qx_notice_emitent");
  ExecSql(*Other, "delete from qx_mngr_notification");
  ExecSql(*Other, "insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, notice_email) "
                  "values ('SECOND', 1, 1001, 5, 'a@b.example')");
  SetModuleEnv("RB_INTERVAL", "60");
  Configure(0, 1, 10,
            {ConnectionEntry(IntakeServer, IntakeSchema), ConnectionEntry("KOBALTIX_PROCESS", "kobaltix5_process")},
            {"RECORDER"});
  Start();
  std::vector<std::string> Ids;
  std::vector<std::string> Batches;
  for (const auto& Call : Calls()) {
    if (Call[1] == "Execute" && Call[2] == "ALPHA") Ids.push_back(Call[3]);
    if (Call[1] == "SetData" && Call[2] == "ALPHA" && Call[3] == "1") Batches.push_back(Call[6]);
  }
  ASSERT_EQ(Ids.size(), 2u);
  EXPECT_NE(Ids[0], Ids[1]);
  EXPECT_EQ(Ids[0].size(), 32u);
  EXPECT_EQ(Batches, (std::vector<std::string>{"3", "1"}));
}

TEST_F(TSendCycleTest, ATickWhileStoppingDispatchesNothingAndLeavesTheTimerOff) {
  Configure(0, 1, 10, {ConnectionEntry(IntakeServer, IntakeSchema)}, {"RECORDER"});
  Start();
  Stop();
  ForgetLog();
  ForgetCalls();
  Service->tmrSendMessagesTimer();
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"Не обнаружено загруженных модулей."}));
  EXPECT_FALSE(Service->tmrSendMessages.Enabled());
}

}  // namespace
}  // namespace relaybird::test
