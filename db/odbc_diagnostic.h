#pragma once
// Turning what a driver reports about a failed call into EDatabaseError.
#include <sql.h>
#include <sqlext.h>

#include <string>

#include "relaybird/database_error.h"

namespace relaybird {

struct TOdbcDiagnostic {
  std::string SqlState;
  SQLINTEGER NativeError = 0;
  std::string Message;
};

// The first diagnostic record of the handle; an empty SqlState when there is none.
TOdbcDiagnostic ReadDiagnostic(SQLSMALLINT HandleType, SQLHANDLE Handle);

// With Oracle's driver the native error is the Oracle number; for any other
// driver the SQLSTATE is mapped.
EDatabaseError MakeDatabaseError(const TOdbcDiagnostic& Diagnostic, bool OracleDriver,
                                 const std::string& FallbackMessage);

// The failure means the connection itself is gone.
bool IsConnectionLost(const TOdbcDiagnostic& Diagnostic, bool OracleDriver);

}  // namespace relaybird
