#include "relaybird/ora_session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "database_fixture.h"
#include "relaybird/database_error.h"
#include "relaybird/ora_query.h"

namespace relaybird::test {
namespace {

using TSessionTest = TDatabaseTest;

int ErrorCodeOf(TOraSession& Target) {
  try {
    Target.Connect();
  } catch (const EDatabaseError& Error) {
    return Error.ErrorCode();
  }
  return 0;
}

TEST_F(TSessionTest, ConnectMakesTheSchemaCurrentAndDisconnectCloses) {
  EXPECT_TRUE(Session->Connected());
  Session->Disconnect();
  EXPECT_FALSE(Session->Connected());

  Session->SetSchema("ORVANTA5_BD");
  Session->Connect();
  EXPECT_EQ(QueryValue(*Session, "select current_schema()"), "orvanta5_bd");
  // A second connect of a connected session changes nothing.
  Session->Connect();
  EXPECT_TRUE(Session->Connected());
}

TEST_F(TSessionTest, RefusedLoginsCarryTheOracleNumber) {
  struct TCase {
    const char* Name;
    std::string Server, User, Password, Schema;
    int Code;
  };
  const TCase Cases[] = {
      {"empty user", TestServer, "", DefaultOraPassword, TestSchema, 1004},
      {"empty password", TestServer, TestUser, "", TestSchema, 1005},
      {"wrong password", TestServer, TestUser, "wrong", TestSchema, 1017},
      {"unknown user", TestServer, "nobody_here", "wrong", TestSchema, 1017},
      {"unknown alias", "NO_SUCH_ALIAS", TestUser, DefaultOraPassword, TestSchema, 12154},
      {"server down", "KOBALTIX_DOWN", TestUser, DefaultOraPassword, TestSchema, 12541},
      {"schema with SQL in it", TestServer, TestUser, DefaultOraPassword, "kobaltix5; drop table x", 911},
      {"schema with a quote", TestServer, TestUser, DefaultOraPassword, "kobaltix5\"", 911},
  };
  for (const auto& Case : Cases) {
    TOraSession Target;
    Target.SetHomeName(PostgresHome);
    Target.SetServer(Case.Server);
    Target.SetUsername(Case.User);
    Target.SetPassword(Case.Password);
    Target.SetSchema(Case.Schema);
    EXPECT_EQ(ErrorCodeOf(Target), Case.Code) << Case.Name;
    EXPECT_FALSE(Target.Connected()) << Case.Name;
  }
}

TEST_F(TSessionTest, PasswordWithConnectionStringSyntaxLogsIn) {
  TOraSession Target;
  Target.SetServer(TestServer);
  Target.SetUsername("kobaltix5_quote");
  Target.SetPassword("p;w}d{=x y");
  Target.SetSchema(TestSchema);
  Target.Connect();
  EXPECT_EQ(QueryValue(Target, "select current_user"), "kobaltix5_quote");
}

TEST_F(TSessionTest, FailuresLeaveNoConnectionOpen) {
  Session->Disconnect();
  int Before = OpenDescriptors();
  for (int I = 0; I < 10; ++I) {
    TOraSession Wrong;
    Wrong.SetServer(TestServer);
    Wrong.SetUsername(TestUser);
    Wrong.SetPassword("wrong");
    EXPECT_THROW(Wrong.Connect(), EDatabaseError);

    auto Target = NewFixtureSession();
    Target->Connect();
    TOraQuery Query;
    Query.SetSession(Target.get());
    Query.SetSQL("select * from no_such_table");
    EXPECT_THROW(Query.Open(), EDatabaseError);
    // The session goes first: the query must not touch the freed connection.
    Target.reset();
  }
  EXPECT_EQ(OpenDescriptors(), Before);
}

// Ends the session's server process from a second connection once its
// statement is running.
void KillWhenActive(const std::string& Pid) {
  auto Killer = NewFixtureSession();
  Killer->Connect();
  for (int I = 0; I < 500; ++I) {
    if (QueryValue(*Killer, "select count(*) from pg_stat_activity where pid = " + Pid +
                                " and state = 'active'") == "1") {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  QueryValue(*Killer, "select pg_terminate_backend(" + Pid + ")");
}

TEST_F(TSessionTest, DroppedConnectionIsReportedAndCanBeReopened) {
  std::string Pid = QueryValue(*Session, "select pg_backend_pid()");
  TOraQuery Prepared;
  Prepared.SetSession(Session.get());
  Prepared.SetSQL("select 7 as n");
  Prepared.Open();
  TOraQuery Query;
  Query.SetSession(Session.get());
  Query.SetSQL("select 1 as n from pg_sleep(30)");
  std::thread Killer(KillWhenActive, Pid);
  int Code = 0;
  try {
    Query.Open();
  } catch (const EDatabaseError& Error) {
    Code = Error.ErrorCode();
  }
  Killer.join();
  EXPECT_EQ(Code, 3113);
  EXPECT_FALSE(Query.Active());
  EXPECT_FALSE(Session->Connected());
  EXPECT_THROW(Query.Open(), EDatabaseError);

  Session->Connect();
  EXPECT_TRUE(Session->Connected());
  EXPECT_NE(QueryValue(*Session, "select pg_backend_pid()"), Pid);
  // A query prepared on the lost connection prepares itself again.
  Prepared.Open();
  EXPECT_EQ(Prepared.FieldByName("n").AsInteger(), 7);
}

}  // namespace
}  // namespace relaybird::test
