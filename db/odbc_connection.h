#pragma once
// One open ODBC connection with its own environment.
#include <sql.h>
#include <sqlext.h>

#include <string>

#include "db/odbc_environment.h"

namespace relaybird {

class TOdbcConnection {
 public:
  // OracleDriver: the driver reports Oracle error numbers as native errors.
  explicit TOdbcConnection(bool OracleDriver);
  // Disconnects quietly when still connected.
  ~TOdbcConnection();
  TOdbcConnection(const TOdbcConnection&) = delete;
  TOdbcConnection& operator=(const TOdbcConnection&) = delete;

  // Without any prompt. Raises EDatabaseError.
  void Connect(const std::string& ConnectionString);
  // Raises EDatabaseError when the driver refuses even after a rollback; the
  // connection counts as closed either way.
  void Disconnect();

  SQLHDBC Handle() const { return FHandle; }
  bool OracleDriver() const { return FOracleDriver; }
  // SQL_DBMS_NAME: "Oracle", "PostgreSQL", ...
  std::string DbmsName() const;
  // Runs a statement that returns no rows. Raises EDatabaseError.
  void Execute(const std::string& Sql);
  // The driver knows the connection is gone.
  bool Dead() const;

 private:
  TOdbcEnvironment FEnvironment;
  SQLHDBC FHandle = SQL_NULL_HDBC;
  bool FOracleDriver;
  bool FConnected = false;
};

}  // namespace relaybird
