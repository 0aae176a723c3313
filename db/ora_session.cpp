#include "relaybird/ora_session.h"

#include <algorithm>

#include "relaybird/database_error.h"
#include "db/odbc_connection.h"
#include "db/odbc_environment.h"
#include "db/session_state.h"
#include "db/sql_names.h"
#include "platform/text_encoding.h"

namespace relaybird {

namespace {

bool NamesOracleDriver(const std::string& DriverName) {
  return AsciiUpperCase(DriverName).find("ORACLE") != std::string::npos;
}

// A connection-string value; braces keep ";", "=", braces and blanks in it
// from being read as syntax.
std::string ConnectionValue(const std::string& Value) {
  bool Plain = !Value.empty() && Value.front() != ' ' && Value.back() != ' ' &&
               Value.find_first_of(";{}=") == std::string::npos;
  if (Plain) return Value;
  return "{" + ReplaceAll(Value, "}", "}}") + "}";
}

std::string CurrentSchemaStatement(const std::string& DbmsName, const std::string& Schema) {
  if (NamesOracleDriver(DbmsName)) return "ALTER SESSION SET CURRENT_SCHEMA = " + Schema;
  if (SameText(DbmsName, "PostgreSQL")) return "SET search_path TO " + Schema;
  return "SET SCHEMA " + Schema;
}

}  // namespace

TOraSession::TOraSession() : FState(std::make_shared<TSessionState>()) {}

TOraSession::~TOraSession() { DropConnection(); }

bool TOraSession::Connected() const { return FState->Connected.load() && !FState->Broken.load(); }

void TOraSession::DropConnection() noexcept {
  try {
    Disconnect();
  } catch (...) {
    // The handles are freed whatever the driver answered.
  }
}

void TOraSession::Connect() {
  if (Connected()) return;
  DropConnection();
  if (FUsername.empty()) {
    throw EDatabaseError("ORA-01004: default username feature not supported; logon denied", 1004);
  }
  if (FPassword.empty()) throw EDatabaseError("ORA-01005: null password given; logon denied", 1005);
  if (!FSchema.empty()) CheckSchemaName(FSchema);

  std::string ConnectionString;
  bool OracleDriver = false;
  std::vector<TOdbcDataSource> Sources = TOdbcEnvironment().DataSources();
  auto Source = std::find_if(Sources.begin(), Sources.end(), [this](const TOdbcDataSource& S) {
    return SameText(S.Name, FServer);
  });
  if (!FServer.empty() && Source != Sources.end()) {
    ConnectionString = "DSN=" + ConnectionValue(Source->Name);
    OracleDriver = NamesOracleDriver(Source->DriverName);
  } else if (!FServer.empty() && NamesOracleDriver(FHomeName)) {
    ConnectionString = "DRIVER=" + ConnectionValue(FHomeName) + ";DBQ=" + ConnectionValue(FServer);
    OracleDriver = true;
  } else {
    // Only Oracle's client resolves an alias that is not a data source.
    throw EDatabaseError(
        "ORA-12154: TNS:could not resolve the connect identifier specified (\"" + FServer + "\")",
        12154);
  }
  ConnectionString += ";UID=" + ConnectionValue(FUsername) + ";PWD=" + ConnectionValue(FPassword);

  auto Connection = std::make_unique<TOdbcConnection>(OracleDriver);
  Connection->Connect(ConnectionString);
  if (!FSchema.empty()) Connection->Execute(CurrentSchemaStatement(Connection->DbmsName(), FSchema));

  FConnection = std::move(Connection);
  FState->Broken.store(false);
  FState->Generation.fetch_add(1);
  FState->Connected.store(true);
}

void TOraSession::Disconnect() {
  if (!FConnection) return;
  bool Broken = FState->Broken.load();
  std::unique_ptr<TOdbcConnection> Connection = std::move(FConnection);
  FState->Connected.store(false);
  FState->Generation.fetch_add(1);
  try {
    Connection->Disconnect();
  } catch (const EDatabaseError&) {
    // A broken connection has nothing left to close properly.
    if (!Broken) throw;
  }
}

}  // namespace relaybird
