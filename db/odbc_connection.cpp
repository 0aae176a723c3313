#include "db/odbc_connection.h"

#include "db/odbc_diagnostic.h"

namespace relaybird {

namespace {

// Long enough for a slow network, short enough that a server that never
// answers does not hold the caller for good.
constexpr SQLULEN LoginTimeoutSeconds = 30;

}  // namespace

TOdbcConnection::TOdbcConnection(bool OracleDriver) : FOracleDriver(OracleDriver) {
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, FEnvironment.Handle(), &FHandle))) {
    throw MakeDatabaseError(ReadDiagnostic(SQL_HANDLE_ENV, FEnvironment.Handle()), FOracleDriver,
                            "Cannot allocate an ODBC connection");
  }
  SQLSetConnectAttr(FHandle, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(LoginTimeoutSeconds),
                    0);
}

TOdbcConnection::~TOdbcConnection() {
  if (FConnected && !SQL_SUCCEEDED(SQLDisconnect(FHandle))) {
    SQLEndTran(SQL_HANDLE_DBC, FHandle, SQL_ROLLBACK);
    SQLDisconnect(FHandle);
  }
  SQLFreeHandle(SQL_HANDLE_DBC, FHandle);
}

void TOdbcConnection::Connect(const std::string& ConnectionString) {
  SQLCHAR Out[1024];
  SQLSMALLINT OutLength = 0;
  SQLRETURN Rc = SQLDriverConnect(
      FHandle, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(ConnectionString.c_str())),
      static_cast<SQLSMALLINT>(ConnectionString.size()), Out, sizeof Out, &OutLength,
      SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(Rc)) {
    throw MakeDatabaseError(ReadDiagnostic(SQL_HANDLE_DBC, FHandle), FOracleDriver,
                            "Cannot connect to the database");
  }
  FConnected = true;
}

void TOdbcConnection::Disconnect() {
  if (!FConnected) return;
  FConnected = false;
  if (SQL_SUCCEEDED(SQLDisconnect(FHandle))) return;
  // An open transaction keeps some drivers from disconnecting.
  TOdbcDiagnostic Diagnostic = ReadDiagnostic(SQL_HANDLE_DBC, FHandle);
  SQLEndTran(SQL_HANDLE_DBC, FHandle, SQL_ROLLBACK);
  if (SQL_SUCCEEDED(SQLDisconnect(FHandle))) return;
  throw MakeDatabaseError(Diagnostic, FOracleDriver, "Cannot disconnect from the database");
}

std::string TOdbcConnection::DbmsName() const {
  SQLCHAR Name[256] = {0};
  SQLSMALLINT Length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(FHandle, SQL_DBMS_NAME, Name, sizeof Name, &Length))) return {};
  return reinterpret_cast<const char*>(Name);
}

void TOdbcConnection::Execute(const std::string& Sql) {
  SQLHSTMT Statement = SQL_NULL_HSTMT;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, FHandle, &Statement))) {
    throw MakeDatabaseError(ReadDiagnostic(SQL_HANDLE_DBC, FHandle), FOracleDriver,
                            "Cannot allocate an ODBC statement");
  }
  SQLRETURN Rc = SQLExecDirect(Statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(Sql.c_str())),
                               static_cast<SQLINTEGER>(Sql.size()));
  if (!SQL_SUCCEEDED(Rc) && Rc != SQL_NO_DATA) {
    EDatabaseError Error = MakeDatabaseError(ReadDiagnostic(SQL_HANDLE_STMT, Statement),
                                             FOracleDriver, "Statement failed: " + Sql);
    SQLFreeHandle(SQL_HANDLE_STMT, Statement);
    throw Error;
  }
  SQLFreeHandle(SQL_HANDLE_STMT, Statement);
}

bool TOdbcConnection::Dead() const {
  SQLUINTEGER Value = SQL_CD_FALSE;
  return SQL_SUCCEEDED(SQLGetConnectAttr(FHandle, SQL_ATTR_CONNECTION_DEAD, &Value, 0, nullptr)) &&
         Value == SQL_CD_TRUE;
}

}  // namespace relaybird
