// The intake against the variant of the test database whose preparation
// marks nothing, so that every read sees the same due notices.
#include "service/message_intake.h"

#include <gtest/gtest.h>

#include "database_fixture.h"
#include "relaybird/catalogue.h"
#include "relaybird/ora_session.h"
#include "service_fixture.h"

namespace relaybird {
namespace {

using test::ExecSql;

std::string Guid(char Source, int Number) {
  std::string Digits = std::to_string(Number);
  return std::string("I") + Source + std::string(30 - Digits.size(), '0') + Digits;
}

class TIntakeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Session = test::NewFixtureSession();
    Session->SetServer(test::IntakeServer);
    Session->SetSchema(test::IntakeSchema);
    try {
      Session->Connect();
    } catch (const std::exception& Error) {
      if (test::UnderCi()) FAIL() << Error.what();
      GTEST_SKIP() << "No test database: " << Error.what();
    }
    ExecSql(*Session, "delete from ecfil083");
    ExecSql(*Session, "delete from qx_notice_emitent");
    ExecSql(*Session, "delete from qx_mngr_notification");
    Intake.OpenTables();
  }
  void AddClientNotices(int Count, int First = 1) {
    for (int I = First; I < First + Count; ++I) AddClientNotice(Guid('C', I));
  }
  void AddClientNotice(const std::string& Id) {
    ExecSql(*Session, "insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, notice_email) "
                      "values ('" + Id + "', 1, 1001, 5, 'ivanov@client.example')");
  }
  void AddIssuerNotices(int Count) {
    for (int I = 1; I <= Count; ++I) {
      ExecSql(*Session, "insert into qx_notice_emitent (trn_guid, emitent_id, emitent_name, notice_type, "
                        "notice_email) values ('" + Guid('E', I) + "', 501, 'АО', 3, 'ir@sevmet.example')");
    }
  }
  void Read(const TFailedMessageList& Failed = {}) {
    Intake.ReadMessages(Session.get(), 0, "BETA", Processed, Failed);
  }
  std::vector<std::string> BatchIds() {
    std::vector<std::string> Ids;
    for (Intake.vtMesg.First(); !Intake.vtMesg.Eof(); Intake.vtMesg.Next()) {
      Ids.push_back(Intake.vtMesg.FieldByName("id_mesg").AsString());
    }
    return Ids;
  }

  std::unique_ptr<TOraSession> Session;
  std::vector<std::pair<std::string, bool>> Lines;
  TMessageIntake Intake{[this](const std::string& Text, bool ToEventLog) { Lines.emplace_back(Text, ToEventLog); }};
  TMessageIdSet Processed;
};

TEST_F(TIntakeTest, TheBatchStopsAtTwentyAndLaterSourcesAreReadOnlyForTheRest) {
  AddClientNotices(25);
  AddIssuerNotices(3);
  Read();
  std::vector<std::string> Ids = BatchIds();
  ASSERT_EQ(Ids.size(), 20u);
  for (const std::string& Id : Ids) EXPECT_EQ(Id[1], 'C') << Id;
  EXPECT_EQ(Processed.Count(), 20u);

  ExecSql(*Session, "delete from ecfil083 where trn_guid > '" + Guid('C', 15) + "'");
  Processed.Clear();
  ExecSql(*Session, "insert into qx_notice_emitent (trn_guid, emitent_id, emitent_name, notice_type) "
                    "select 'IE' || lpad(i::text, 30, '0'), 501, 'АО', 3 from generate_series(4, 10) i");
  Read();
  Ids = BatchIds();
  ASSERT_EQ(Ids.size(), 20u);
  EXPECT_EQ(std::count_if(Ids.begin(), Ids.end(), [](const std::string& Id) { return Id[1] == 'C'; }), 15);
  EXPECT_EQ(Ids[15][1], 'E');
  EXPECT_TRUE(Lines.empty());
}

TEST_F(TIntakeTest, FailedNoticesComeBehindFreshOnesMostFailuresFirstAndFiveIsTheEnd) {
  AddClientNotices(4);
  Processed.Add(Guid('C', 1));
  Processed.Add(Guid('C', 2));
  Processed.Add(Guid('C', 3));
  // A module's report takes an id out of the taken ones; the counts decide.
  const TFailedMessageList Failed{{Guid('C', 1), 1}, {Guid('C', 2), 4}, {Guid('C', 3), 5}};
  Read(Failed);
  EXPECT_EQ(BatchIds(), (std::vector<std::string>{Guid('C', 4), Guid('C', 2), Guid('C', 1)}));
  EXPECT_EQ(Intake.vtFail.RecordCount(), 0);
  Read(Failed);
  EXPECT_EQ(BatchIds(), (std::vector<std::string>{Guid('C', 2), Guid('C', 1)}))
      << "a reported notice is prepared again as long as it is reported";
}

TEST_F(TIntakeTest, OneNoticePerIdentifierWhateverItsCaseBlanksOrManagers) {
  AddClientNotice("  ic000000000000000000000000000x");
  AddClientNotice("IC000000000000000000000000000X");
  AddClientNotice("");
  // Two managers of client 1001 receive the one notification.
  ExecSql(*Session, "insert into qx_mngr_notification (notification_guid, client_id, client_type, "
                    "notification_type) values ('IM000000000000000000000000000001', 1001, 1, 11)");
  Read();
  const std::vector<std::string> Ids = BatchIds();
  EXPECT_EQ(std::count(Ids.begin(), Ids.end(), "IC000000000000000000000000000X"), 1);
  EXPECT_EQ(std::count(Ids.begin(), Ids.end(), "IM000000000000000000000000000001"), 1);
  EXPECT_EQ(std::count(Ids.begin(), Ids.end(), ""), 1) << "an empty id is prepared and taken";
  Read();
  EXPECT_EQ(BatchIds(), (std::vector<std::string>{""})) << "an empty id is never looked up";
}

TEST_F(TIntakeTest, ALetterCarriesTheRowAndTheProcedureOutput) {
  ExecSql(*Session, "insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, notice_email, notice_text) "
                    "values ('ic1', 2, 1002, 5, 'petrova@client.example', 'Готово.')");
  Read();
  ASSERT_EQ(Intake.vtMesg.RecordCount(), 1);
  Intake.vtMesg.First();
  const auto Field = [&](const char* Name) { return Intake.vtMesg.FieldByName(Name).AsString(); };
  EXPECT_EQ(Field("id_mesg"), "IC1");
  EXPECT_EQ(Field("id_type"), "0");
  EXPECT_EQ(Field("totarget"), "petrova@client.example");
  EXPECT_EQ(Field("mesg_subject"), "Выписка по счёту");
  EXPECT_NE(Field("mesg_body").find("Петрова Анна Сергеевна"), std::string::npos);
  EXPECT_EQ(Field("notice_type"), "5");
  EXPECT_EQ(Field("client_id"), "1002");
  EXPECT_EQ(Field("client_type"), "2");
}

TEST_F(TIntakeTest, AFailingPreparationIsLoggedWithTheServiceAndTriedAgainAtTheNextRead) {
  AddClientNotices(1);
  AddIssuerNotices(1);
  ExecSql(*Session, "delete from qx_letter_templates where notice_source = 1");
  Read();
  ExecSql(*Session, "insert into qx_letter_templates values (1, 0, 'Уведомление эмитенту', 'Эмитенту {NAME}.')");
  EXPECT_EQ(BatchIds(), (std::vector<std::string>{Guid('C', 1)}));
  ASSERT_EQ(Lines.size(), 1u);
  EXPECT_TRUE(Lines[0].second) << "with its event-log copy";
  EXPECT_EQ(Lines[0].first.rfind("[#0] BETA. Не удалось открыть курсор со списком потенциальных получателей "
                                 "(Ошибка: ", 0), 0u) << Lines[0].first;
  EXPECT_NE(Lines[0].first.find("no letter template"), std::string::npos) << Lines[0].first;
  Read();
  EXPECT_EQ(BatchIds(), (std::vector<std::string>{Guid('E', 1)}));
}

TEST_F(TIntakeTest, ASourceThatFailsIsLoggedAndTheNextIsStillRead) {
  AddIssuerNotices(1);
  Intake.oq_ecfil083.SetSQL("select * from no_such_table");
  Read();
  EXPECT_EQ(BatchIds(), (std::vector<std::string>{Guid('E', 1)}));
  ASSERT_EQ(Lines.size(), 1u);
  EXPECT_NE(Lines[0].first.find("[#0] BETA. Не удалось открыть курсор"), std::string::npos);
}

TEST_F(TIntakeTest, ASchemaThatIsNoIdentifierFailsThePreparationNotTheService) {
  AddClientNotices(1);
  Session->Disconnect();
  Session->SetSchema("kobaltix5_intake");
  Session->Connect();
  // The schema the procedure is named after comes from the session.
  Session->SetSchema("x; drop table ecfil083");
  Read();
  EXPECT_TRUE(BatchIds().empty());
  ASSERT_EQ(Lines.size(), 1u);
  EXPECT_EQ(test::QueryValue(*Session, "select count(*) from ecfil083"), "1");
}

TEST_F(TIntakeTest, NoSessionOrADisconnectedOneLeavesBothTablesEmpty) {
  AddClientNotices(2);
  Intake.ReadMessages(nullptr, 0, "BETA", Processed, {});
  EXPECT_EQ(Intake.vtMesg.RecordCount(), 0);
  Session->Disconnect();
  Read();
  EXPECT_EQ(Intake.vtMesg.RecordCount(), 0);
  EXPECT_EQ(Processed.Count(), 0u);
}

}  // namespace
}  // namespace relaybird
