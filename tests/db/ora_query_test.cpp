#include "relaybird/ora_query.h"

#include <gtest/gtest.h>

#include <vector>

#include "database_fixture.h"
#include "relaybird/database_error.h"

namespace relaybird::test {
namespace {

class TQueryTest : public TDatabaseTest {
 protected:
  void SetUp() override {
    TDatabaseTest::SetUp();
    Query.SetSession(Session.get());
  }
  TOraQuery Query;
};

TEST_F(TQueryTest, WalksTheRowsAndReadsFieldsByName) {
  Query.SetSQL(
      "select t.trn_guid, 0 as flag, t.id_klienta, t.notice_email\n"
      "from   ecfil083 t\n"
      "where  t.flag_activnosti = 1\n"
      "order  by t.trn_guid");
  Query.Open();
  std::vector<std::string> Guids;
  for (; !Query.Eof(); Query.Next()) {
    Guids.push_back(Query.FieldByName("TRN_GUID").AsString());
    EXPECT_EQ(Query.FieldByName("flag").AsInteger(), 0);
  }
  ASSERT_EQ(Guids.size(), 20u);
  EXPECT_EQ(Guids.front(), "E08300000000000000000000000T0001");
  EXPECT_EQ(Guids.back(), "E08300000000000000000000000T0020");
  EXPECT_THROW(Query.FieldByName("trn_guid"), EDatabaseError);

  // First runs the query again.
  Query.First();
  EXPECT_EQ(Query.FieldByName("trn_guid").AsString(), Guids.front());
  EXPECT_EQ(Query.FieldByName("id_klienta").AsInteger(), 1001);
  EXPECT_EQ(Query.FieldByName("notice_email").AsString(), "ivanov@client.example");
  EXPECT_DOUBLE_EQ(Query.FieldByName("id_klienta").AsFloat(), 1001.0);
  EXPECT_THROW(Query.FieldByName("no_such_field"), EDatabaseError);

  Query.Close();
  EXPECT_FALSE(Query.Active());
  EXPECT_TRUE(Query.Eof());
}

TEST_F(TQueryTest, TextRoundTripsWhateverItsLength) {
  Query.SetSQL("select 'Ошибка: «ё»' as short_text, repeat('Щ', 3000) || 'end' as long_text");
  Query.Open();
  EXPECT_EQ(Query.FieldByName("short_text").AsString(), "Ошибка: «ё»");
  std::string Long;
  for (int I = 0; I < 3000; ++I) Long += "Щ";
  EXPECT_EQ(Query.FieldByName("long_text").AsString(), Long + "end");
}

TEST_F(TQueryTest, NullReadsAsEmptyTextAndRefusesNumbers) {
  Query.SetSQL("select e_mail, cast(null as numeric) as amount from ecfil025 where id_cheloveka = 2003");
  Query.Open();
  EXPECT_TRUE(Query.FieldByName("e_mail").IsNull());
  EXPECT_EQ(Query.FieldByName("e_mail").AsString(), "");
  try {
    Query.FieldByName("amount").AsInteger();
    FAIL() << "a NULL read as a number";
  } catch (const EDatabaseError& Error) {
    EXPECT_EQ(Error.ErrorCode(), 1405);
    EXPECT_NE(std::string(Error.what()).find("amount"), std::string::npos) << Error.what();
  }
}

TEST_F(TQueryTest, MissingTableIsOracleError942AndLeavesTheSessionUsable) {
  Query.SetSQL("select count(*) as cnt from kobaltix5.no_such_table");
  try {
    Query.Open();
    FAIL() << "the query opened";
  } catch (const EDatabaseError& Error) {
    EXPECT_EQ(Error.ErrorCode(), 942);
  }
  EXPECT_FALSE(Query.Active());
  EXPECT_TRUE(Session->Connected());
  EXPECT_EQ(QueryValue(*Session, "select count(*) from qx_commercial_settings"), "3");
}

TEST_F(TQueryTest, QueryNeedsAConnectedSession) {
  Session->Disconnect();
  Query.SetSQL("select 1 as n");
  try {
    Query.Open();
    FAIL() << "opened without a connection";
  } catch (const EDatabaseError& Error) {
    EXPECT_EQ(Error.ErrorCode(), 3114);
  }
  TOraQuery Orphan;
  Orphan.SetSQL("select 1 as n");
  EXPECT_THROW(Orphan.Open(), EDatabaseError);
}

TEST_F(TQueryTest, ExecSqlReportsChangedRows) {
  ExecSql(*Session, "create temporary table t_exec (n integer)");
  Query.SetSQL("insert into t_exec select generate_series(1, 4)");
  Query.ExecSQL();
  EXPECT_EQ(Query.RowsAffected(), 4);
  Query.SetSQL("delete from t_exec where n > 1");
  Query.ExecSQL();
  EXPECT_EQ(Query.RowsAffected(), 3);
}

TEST_F(TQueryTest, NamedParametersAreBoundNotPasted) {
  ExecSql(*Session, "create temporary table t_params (id varchar(50), kind integer, note varchar(200))");
  Query.SetSQL("insert into t_params (id, kind, note) values (:ID, :KIND, :NOTE)");
  EXPECT_EQ(Query.ParamNames(), (std::vector<std::string>{"ID", "KIND", "NOTE"}));
  const std::string Hostile = "x'); drop table t_params; --";
  Query.SetParam("id", Hostile);
  Query.SetParam("Kind", 2);
  Query.SetParam("NOTE", "Ошибка: 550 «нет такого»");
  Query.ExecSQL();
  Query.SetParam("ID", "second");
  Query.SetParam("KIND", TFieldValue::Null());
  Query.ExecSQL();
  EXPECT_THROW(Query.SetParam("MISSING", 1), EDatabaseError);

  // A name used twice sends its value at both places; a cast is no marker.
  Query.SetSQL("select count(*) as n from t_params where kind::text = :K or id = :K");
  Query.SetParam("K", "second");
  Query.Open();
  EXPECT_EQ(Query.FieldByName("n").AsInteger(), 1);
  Query.SetParam("K", "2");
  Query.Open();
  EXPECT_EQ(Query.FieldByName("n").AsInteger(), 1);
  Query.SetSQL("select note, kind from t_params where id = :ID");
  Query.SetParam("ID", Hostile);
  Query.Open();
  EXPECT_EQ(Query.FieldByName("note").AsString(), "Ошибка: 550 «нет такого»");
  Query.SetParam("ID", "second");
  Query.Open();
  EXPECT_TRUE(Query.FieldByName("kind").IsNull());
  // A new text forgets the values: unset parameters are NULL.
  Query.SetSQL("select count(*) as n from t_params where id = :ID");
  Query.Open();
  EXPECT_EQ(Query.FieldByName("n").AsInteger(), 0);
}

}  // namespace
}  // namespace relaybird::test
