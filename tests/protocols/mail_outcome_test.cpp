// The result statement: each letter's final outcome recorded in the
// database the letters came from, on the module's own session.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database_fixture.h"
#include "mail_fixture.h"
#include "relaybird/catalogue.h"
#include "relaybird/database_error.h"
#include "relaybird/ora_query.h"

namespace relaybird::test {
namespace {

using ::testing::HasSubstr;

class TMailOutcomeTest : public TMailModuleTest {
 protected:
  void SetUp() override {
    TMailModuleTest::SetUp();
    Database = NewFixtureSession();
    try {
      Database->Connect();
    } catch (const EDatabaseError& Error) {
      if (UnderCi()) FAIL() << Error.what();
      GTEST_SKIP() << "the test database cannot be reached: " << Error.what();
    }
    ExecSql(*Database, "drop table if exists kobaltix5.mail_outcome_test");
    ExecSql(*Database,
            "create table kobaltix5.mail_outcome_test (id varchar(50), id_type integer, outcome varchar(20), "
            "error_text varchar(2000))");
    HostSession.SetHomeName(Database->HomeName());
    HostSession.SetServer(Database->Server());
    HostSession.SetUsername(Database->Username());
    HostSession.SetPassword(Database->Password());
    HostSession.SetSchema(Database->Schema());
  }
  void TearDown() override {
    if (Database && Database->Connected()) ExecSql(*Database, "drop table if exists kobaltix5.mail_outcome_test");
    TMailModuleTest::TearDown();
  }

  std::vector<std::string> Outcomes() {
    std::vector<std::string> Rows;
    TOraQuery Query;
    Query.SetSession(Database.get());
    Query.SetSQL("select id, id_type, outcome, error_text from kobaltix5.mail_outcome_test order by id");
    for (Query.Open(); !Query.Eof(); Query.Next()) {
      Rows.push_back(Query.FieldByName("id").AsString() + "|" + Query.FieldByName("id_type").AsString() + "|" +
                     Query.FieldByName("outcome").AsString() + "|" +
                     (Query.FieldByName("error_text").IsNull() ? "null" : "text"));
    }
    return Rows;
  }

  std::unique_ptr<TOraSession> Database;
};

TEST_F(TMailOutcomeTest, DeliveredAndGivenUpLettersAreRecordedOnce) {
  MailKeys["ResultStatement"] =
      "insert into kobaltix5.mail_outcome_test (id, id_type, outcome, error_text) "
      "values (:ID, :ID_TYPE, :OUTCOME, :ERROR_TEXT)";
  LoadModule();
  for (int Round = 1; Round <= 5; ++Round) {
    std::vector<TTestLetter> Letters = {{"BAD'; drop table x; --", "no address", "S", "B", 2}};
    if (Round == 1) Letters.push_back({"D1", "d1@example.test", "S", "B", 1});
    Dispatch(Letters);
    // Nothing is recorded before the fifth failure.
    EXPECT_EQ(Outcomes().size(), Round < 5 ? 1u : 2u) << Round;
  }
  EXPECT_EQ(Outcomes(), (std::vector<std::string>{"BAD'; drop table x; --|2|FORMATERROR|text", "D1|1|SENDED|null"}));
}

TEST_F(TMailOutcomeTest, AFailingStatementIsLoggedAndTheLetterStaysDelivered) {
  MailKeys["ResultStatement"] = "update kobaltix5.no_such_table set x = 1 where id = :ID";
  LoadModule();
  Dispatch({{"D2", "d2@example.test"}});
  EXPECT_TRUE(Failed().empty());
  EXPECT_EQ(Peer.Received().size(), 1u);
  EXPECT_THAT(LogText(), HasSubstr(cstMailStatusRefreshError.substr(0, cstMailStatusRefreshError.find("%s"))));
  // A parameter of another name is refused before anything runs.
  WriteMailKey("ResultStatement", "update kobaltix5.mail_outcome_test set outcome = :STATE where id = :ID");
  Dispatch({{"D3", "d3@example.test"}});
  EXPECT_TRUE(Failed().empty());
  EXPECT_THAT(LogText(), HasSubstr(":STATE"));
}

}  // namespace
}  // namespace relaybird::test
