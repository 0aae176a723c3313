#include "db/ora_stored_proc.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "database_fixture.h"
#include "relaybird/database_error.h"
#include "relaybird/ora_query.h"

namespace relaybird::test {
namespace {

const char* const ProcName = "kobaltix5.orvanta5_bd.preparation_letter";

class TStoredProcTest : public TDatabaseTest {
 protected:
  void SetUp() override {
    TDatabaseTest::SetUp();
    if (IsSkipped() || HasFailure()) return;
    Proc.SetSession(Session.get());
    Proc.SetStoredProcName(ProcName);
    Proc.AddParam("P_NOTICE_GUID", TParamDirection::pdInput, TFieldType::ftString, 32);
    Proc.AddParam("P_NOTICE_TYPE", TParamDirection::pdInput, TFieldType::ftInteger);
    Proc.AddParam("P_LETTER_TEMPLATE", TParamDirection::pdOutput, TFieldType::ftString, 4000);
    Proc.AddParam("P_LETTER_TYPLE", TParamDirection::pdOutput, TFieldType::ftString, 40);
    Proc.Prepare();
  }

  void TearDown() override {
    if (Session && Session->Connected()) {
      ExecSql(*Session, "delete from ecfil083 where upper(trn_guid) like 'TEST%'");
      ExecSql(*Session, "delete from qx_notice_emitent where upper(trn_guid) like 'TEST%'");
      ExecSql(*Session, "delete from qx_mngr_notification_state where upper(notification_guid) like 'TEST%'");
      ExecSql(*Session, "delete from qx_mngr_notification where upper(notification_guid) like 'TEST%'");
    }
  }

  void Call(const std::string& Guid, int Source) {
    Proc.Close();
    Proc.ParamByName("p_notice_guid").SetValue(Guid);
    Proc.ParamByName("P_NOTICE_TYPE").SetValue(Source);
    Proc.ExecProc();
  }
  std::string Body() { return Proc.ParamByName("P_LETTER_TEMPLATE").AsField().AsString(); }
  std::string Subject() { return Proc.ParamByName("P_LETTER_TYPLE").AsField().AsString(); }

  int ErrorCodeOfCall(const std::string& Guid, int Source) {
    try {
      Call(Guid, Source);
    } catch (const EDatabaseError& Error) {
      return Error.ErrorCode();
    }
    return 0;
  }

  // Unique per test program run, so that parallel runs do not meet.
  std::string TestGuid(const std::string& Tag) {
    std::string Guid = "TEST" + Tag + std::to_string(getpid());
    return Guid + std::string(32 - Guid.size(), '0');
  }

  TOraStoredProc Proc;
};

TEST_F(TStoredProcTest, BuildsTheLetterOfAFixtureNotice) {
  Call("E08300000000000000000000000T0001", 0);
  EXPECT_EQ(Body(),
            "Уважаемый(ая) Иванов Иван Иванович!\r\n\r\n"
            "Выписка по Вашему счёту на 01.02.2024 готова. Архивное уведомление № 1.\r\n\r\n"
            "С уважением, служба уведомлений.");
  EXPECT_EQ(Subject(), "Выписка по счёту");

  Call("E0E0000000000000000000000000T001", 1);
  EXPECT_EQ(Body(),
            "Эмитенту АО «Северный металл».\r\n\r\n"
            "Уведомление от 10.02.2024: Архивное уведомление эмитенту.\r\n"
            "Номер уведомления: E0E0000000000000000000000000T001.");
  EXPECT_EQ(Subject(), "Уведомление эмитенту");
}

// Each source's notice is due before the call and not after it; asking again
// gives the same letter.
TEST_F(TStoredProcTest, MarksTheNoticeAsTakenInItsSource) {
  struct TCase {
    int Source;
    std::string Guid;
    std::string Insert;
    std::string DueCount;
  };
  std::string Client = TestGuid("C"), Issuer = TestGuid("I"), Managers = TestGuid("M");
  const TCase Cases[] = {
      {0, Client,
       "insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, notice_email, notice_text) "
       "values (lower('" + Client + "'), 1, 1002, 7, 'petrova@client.example', 'Текст')",
       "select count(*) from ecfil083 t where t.flag_activnosti = 0 and t.notice_automatically = 1 "
       "and t.notice_send_email = 1 and upper(t.trn_guid) = '" + Client + "'"},
      {1, Issuer,
       "insert into qx_notice_emitent (trn_guid, emitent_id, emitent_name, notice_type, notice_email) "
       "values ('" + Issuer + "', 502, 'ПАО «Речной флот»', 3, 'info@rflot.example')",
       "select count(*) from qx_notice_emitent w where w.notice_state = 0 and w.trn_guid = '" + Issuer + "'"},
      {2, Managers,
       "insert into qx_mngr_notification (notification_guid, client_id, client_type, notification_type, "
       "notification_text) values ('" + Managers + "', 1001, 1, 11, 'Текст')",
       "select count(*) from qx_mngr_notification mnn, qx_managers mn, ecfil025 per "
       "where mn.client_id = mnn.client_id and mn.client_type = mnn.client_type "
       "and mn.notification = 1 and per.id_cheloveka = mn.manager_id and per.send_by_mail = 1 "
       "and mnn.notification_guid = '" + Managers + "' and not exists (select 1 "
       "from qx_mngr_notification_state mns where mns.notification_guid = mnn.notification_guid "
       "and mns.manager_id = mn.manager_id)"},
  };
  const std::string DueBefore[] = {"1", "1", "2"};
  for (std::size_t I = 0; I < std::size(Cases); ++I) {
    const auto& Case = Cases[I];
    ExecSql(*Session, Case.Insert);
    EXPECT_EQ(QueryValue(*Session, Case.DueCount), DueBefore[I]) << Case.Source;
    Call(Case.Guid, Case.Source);
    std::string Letter = Body();
    EXPECT_FALSE(Letter.empty()) << Case.Source;
    EXPECT_EQ(QueryValue(*Session, Case.DueCount), "0") << Case.Source;
    Call(Case.Guid, Case.Source);
    EXPECT_EQ(Body(), Letter) << Case.Source;
  }
}

TEST_F(TStoredProcTest, FailuresCarryTheOracleNumber) {
  EXPECT_EQ(ErrorCodeOfCall("NO_SUCH_NOTICE", 0), 1403);
  EXPECT_EQ(ErrorCodeOfCall("E08300000000000000000000000T0001", 9), 6502);
  EXPECT_EQ(ErrorCodeOfCall(std::string(33, 'A'), 0), 6502);
  // The proc stays usable after each failure.
  Call("E08300000000000000000000000T0002", 0);
  EXPECT_EQ(Subject(), "Выписка по счёту");
}

TEST_F(TStoredProcTest, OutValueLongerThanItsSizeIsRefused) {
  TOraStoredProc Short;
  Short.SetSession(Session.get());
  Short.SetStoredProcName(ProcName);
  Short.AddParam("P_NOTICE_GUID", TParamDirection::pdInput, TFieldType::ftString, 32)
      .SetValue("E08300000000000000000000000T0001");
  Short.AddParam("P_NOTICE_TYPE", TParamDirection::pdInput, TFieldType::ftInteger).SetValue(0);
  Short.AddParam("P_LETTER_TEMPLATE", TParamDirection::pdOutput, TFieldType::ftString, 4000);
  // "Выписка по счёту" has 16 characters and 30 bytes: 10 fits neither.
  Short.AddParam("P_LETTER_TYPLE", TParamDirection::pdOutput, TFieldType::ftString, 10);
  try {
    Short.ExecProc();
    FAIL() << "a 16-character subject passed as 10";
  } catch (const EDatabaseError& Error) {
    EXPECT_EQ(Error.ErrorCode(), 6502);
    EXPECT_NE(std::string(Error.what()).find("P_LETTER_TYPLE"), std::string::npos) << Error.what();
  }
  EXPECT_TRUE(Short.ParamByName("P_LETTER_TYPLE").Value().IsNull());
}

TEST_F(TStoredProcTest, NameIsCheckedBeforeAnySqlIsBuilt) {
  struct TCase {
    std::string Name;
    int Code;
  };
  const TCase Cases[] = {
      {"kobaltix5.orvanta5_bd.no_such_procedure", 6550},
      {"kobaltix5.orvanta5_bd.preparation_letter(null); drop table x; --", 911},
      {"", 911},
      {"kobaltix5..preparation_letter", 911},
  };
  for (const auto& Case : Cases) {
    Proc.SetStoredProcName(Case.Name);
    EXPECT_EQ(ErrorCodeOfCall("E08300000000000000000000000T0001", 0), Case.Code) << Case.Name;
  }
  EXPECT_THROW(Proc.ParamByName("P_NO_SUCH"), EDatabaseError);
}

TEST_F(TStoredProcTest, PreparedCallSurvivesAReconnect) {
  Call("E08300000000000000000000000T0001", 0);
  Session->Disconnect();
  EXPECT_EQ(ErrorCodeOfCall("E08300000000000000000000000T0001", 0), 3114);
  Session->Connect();
  Call("E08300000000000000000000000T0003", 0);
  EXPECT_EQ(Subject(), "Выписка по счёту");
}

}  // namespace
}  // namespace relaybird::test
