#include "db/odbc_diagnostic.h"

#include "db/oracle_error_map.h"

namespace relaybird {

TOdbcDiagnostic ReadDiagnostic(SQLSMALLINT HandleType, SQLHANDLE Handle) {
  TOdbcDiagnostic Result;
  SQLCHAR State[6] = {0};
  SQLCHAR Text[2048] = {0};
  SQLSMALLINT TextLength = 0;
  if (SQL_SUCCEEDED(SQLGetDiagRec(HandleType, Handle, 1, State, &Result.NativeError, Text,
                                  sizeof Text, &TextLength))) {
    Result.SqlState = reinterpret_cast<const char*>(State);
    // One line, for the logs: line breaks and tabs inside become one blank.
    bool Blank = false;
    for (const char* C = reinterpret_cast<const char*>(Text); *C != '\0'; ++C) {
      bool Space = *C == '\n' || *C == '\r' || *C == '\t' || *C == ' ';
      if (Space && !Blank) Result.Message += ' ';
      if (!Space) Result.Message += *C;
      Blank = Space;
    }
    while (!Result.Message.empty() && (Result.Message.back() == ' ' || Result.Message.back() == ';')) {
      Result.Message.pop_back();
    }
  }
  return Result;
}

EDatabaseError MakeDatabaseError(const TOdbcDiagnostic& Diagnostic, bool OracleDriver,
                                 const std::string& FallbackMessage) {
  int Code = OracleDriver && Diagnostic.NativeError > 0
                 ? static_cast<int>(Diagnostic.NativeError)
                 : MapSqlStateToOracle(Diagnostic.SqlState, Diagnostic.Message);
  std::string Message = Diagnostic.Message.empty() ? FallbackMessage : Diagnostic.Message;
  if (!Diagnostic.SqlState.empty()) Message += " (SQLSTATE " + Diagnostic.SqlState + ")";
  return EDatabaseError(Message, Code);
}

bool IsConnectionLost(const TOdbcDiagnostic& Diagnostic, bool OracleDriver) {
  if (OracleDriver) {
    switch (Diagnostic.NativeError) {
      case 28:    // session killed
      case 1012:  // not logged on
      case 3113:  // end-of-file on communication channel
      case 3114:  // not connected
      case 3135:  // connection lost contact
        return true;
      default:
        break;
    }
  }
  const std::string& State = Diagnostic.SqlState;
  return State.rfind("08", 0) == 0 || State == "57P01" || State == "57P02" || State == "57P03";
}

}  // namespace relaybird
