#include "database_fixture.h"

#include <dirent.h>

#include <cstdlib>
#include <cstring>

#include "relaybird/database_error.h"
#include "db/ora_client_homes.h"
#include "relaybird/ora_query.h"
#include "platform/text_encoding.h"

namespace relaybird::test {

const char* const TestServer = "KOBALTIX";
const char* const TestUser = "kobaltix5";
const char* const TestSchema = "kobaltix5";
const char* const PostgresHome = "PostgreSQL Unicode";

int PostgresHomeIndex() {
  const auto& Names = OraClientHomes().Names;
  for (std::size_t I = 0; I < Names.size(); ++I) {
    if (Names[I] == PostgresHome) return static_cast<int>(I);
  }
  return -1;
}

TConnectionSettings FixtureSettings() {
  TConnectionSettings Settings;
  Settings.OraHome = PostgresHomeIndex();
  Settings.OraServer = TestServer;
  Settings.OraUser = TestUser;
  Settings.OraPassword = DefaultOraPassword;
  Settings.OraSchema = TestSchema;
  return Settings;
}

std::unique_ptr<TOraSession> NewFixtureSession() {
  auto Session = std::make_unique<TOraSession>();
  Session->SetHomeName(PostgresHome);
  Session->SetServer(TestServer);
  Session->SetUsername(TestUser);
  Session->SetPassword(DefaultOraPassword);
  Session->SetSchema(TestSchema);
  return Session;
}

void ExecSql(TOraSession& Session, const std::string& Sql) {
  TOraQuery Query;
  Query.SetSession(&Session);
  Query.SetSQL(Sql);
  Query.ExecSQL();
}

std::string QueryValue(TOraSession& Session, const std::string& Sql) {
  TOraQuery Query;
  Query.SetSession(&Session);
  Query.SetSQL(Sql);
  Query.Open();
  if (Query.Eof()) throw EDatabaseError("No row: " + Sql);
  return Query.FieldByName(Query.FieldNames().at(0)).AsString();
}

bool UnderCi() {
  const char* Ci = std::getenv("CI");
  return Ci != nullptr && std::strcmp(Ci, "true") == 0;
}

int OpenDescriptors() {
  int Count = 0;
  DIR* Directory = opendir("/proc/self/fd");
  while (readdir(Directory) != nullptr) ++Count;
  closedir(Directory);
  return Count;
}

void TOdbcConfigTest::SetUp() {
  if (std::getenv("ODBCSYSINI") == nullptr) {
    const char* Message = "ODBCSYSINI is not set: run scripts/postgres.sh start <build dir> first";
    if (UnderCi()) FAIL() << Message;
    GTEST_SKIP() << Message;
  }
}

void TDatabaseTest::SetUp() {
  Session = NewFixtureSession();
  try {
    Session->Connect();
  } catch (const EDatabaseError& Error) {
    // No data source (the configuration is missing) or no listener.
    bool Unreachable = Error.ErrorCode() == 12154 || Error.ErrorCode() == 12541;
    std::string Message = std::string("the test database cannot be reached: ") + Error.what() +
                          " (run scripts/postgres.sh start <build dir> and set ODBCSYSINI and ODBCINI)";
    if (!Unreachable || UnderCi()) FAIL() << Message;
    GTEST_SKIP() << Message;
  }
}

}  // namespace relaybird::test
