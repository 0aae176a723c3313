#include "db/odbc_statement.h"

#include "relaybird/database_error.h"
#include "db/odbc_connection.h"
#include "db/odbc_diagnostic.h"
#include "relaybird/ora_session.h"
#include "db/session_state.h"

namespace relaybird {

bool TOdbcStatement::Current() const {
  return FHandle != SQL_NULL_HSTMT && FState && FState->Generation.load() == FGeneration;
}

bool TOdbcStatement::Acquire(const TOraSession& Session) {
  if (!Session.Connected() || Session.Connection() == nullptr) {
    throw EDatabaseError("ORA-03114: not connected to ORACLE", 3114);
  }
  if (Current() && FState == Session.State()) return false;
  Release();
  TOdbcConnection* Connection = Session.Connection();
  SQLHSTMT Handle = SQL_NULL_HSTMT;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, Connection->Handle(), &Handle))) {
    TOdbcDiagnostic Diagnostic = ReadDiagnostic(SQL_HANDLE_DBC, Connection->Handle());
    if (IsConnectionLost(Diagnostic, Connection->OracleDriver())) Session.State()->Broken.store(true);
    throw MakeDatabaseError(Diagnostic, Connection->OracleDriver(), "Cannot allocate an ODBC statement");
  }
  FState = Session.State();
  FGeneration = FState->Generation.load();
  FConnection = Connection;
  FHandle = Handle;
  return true;
}

void TOdbcStatement::Release() noexcept {
  // A handle of an earlier connection was freed with that connection.
  if (Current()) SQLFreeHandle(SQL_HANDLE_STMT, FHandle);
  FHandle = SQL_NULL_HSTMT;
  FConnection = nullptr;
  FState.reset();
}

void TOdbcStatement::Fail(const std::string& Fallback) {
  TOdbcDiagnostic Diagnostic = ReadDiagnostic(SQL_HANDLE_STMT, FHandle);
  // Some drivers keep the failed result until the cursor is closed, and
  // would not free it with the handle.
  SQLFreeStmt(FHandle, SQL_CLOSE);
  bool Oracle = FConnection->OracleDriver();
  if (IsConnectionLost(Diagnostic, Oracle) || FConnection->Dead()) FState->Broken.store(true);
  throw MakeDatabaseError(Diagnostic, Oracle, Fallback);
}

void TOdbcStatement::CloseCursor() noexcept {
  if (Current()) SQLFreeStmt(FHandle, SQL_CLOSE);
}

}  // namespace relaybird
