#pragma once
// The test database as scripts/postgres.sh sets it up, and a fixture that
// needs it. Without CI=true a server that cannot be reached skips the test
// with a message; under CI it fails the test.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "relaybird/settings.h"
#include "relaybird/ora_session.h"

namespace relaybird::test {

extern const char* const TestServer;
extern const char* const TestUser;
extern const char* const TestSchema;
extern const char* const PostgresHome;

// Position of the PostgreSQL driver among the client homes.
int PostgresHomeIndex();
// The settings of the fixture's own connection.
TConnectionSettings FixtureSettings();
// A session configured with FixtureSettings, not connected.
std::unique_ptr<TOraSession> NewFixtureSession();

// Runs a statement that returns no rows on the session.
void ExecSql(TOraSession& Session, const std::string& Sql);
// The first column of the first row as text.
std::string QueryValue(TOraSession& Session, const std::string& Sql);

// CI=true: a missing test peer is a failure, never a skip.
bool UnderCi();

// Open file descriptors of this process: a connection left open keeps its socket.
int OpenDescriptors();

// For tests that read the private ODBC configuration of scripts/postgres.sh
// rather than the machine's own: skipped without it, failed under CI.
class TOdbcConfigTest : public ::testing::Test {
 protected:
  void SetUp() override;
};

class TDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Connected in SetUp.
  std::unique_ptr<TOraSession> Session;
};

}  // namespace relaybird::test
