#include "db/oracle_error_map.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace relaybird {

namespace {

struct TOracleErrorEntry {
  std::string_view SqlState;
  // Lower case; "" matches any message. The first matching entry wins.
  std::string_view Fragment;
  int OracleCode;
};

constexpr TOracleErrorEntry OracleErrorTable[] = {
    // Logon. Drivers report most logon failures as "unable to connect".
    {"08001", "password authentication failed", 1017},  // invalid username/password
    {"08001", "no password supplied", 1005},            // null password given
    {"08001", "role \"", 1017},                         // unknown user
    {"08001", "database \"", 12514},                    // service not known
    {"08001", "too many connections", 12516},           // no available handler
    {"08001", "", 12541},                               // no listener
    {"28000", "", 1017},
    {"28P01", "", 1017},
    {"IM002", "", 12154},  // could not resolve the connect identifier
    {"53300", "", 12516},
    // Lost connection.
    {"08S01", "", 3113},  // end-of-file on communication channel
    {"08006", "", 3113},
    {"57P01", "", 3113},
    {"57P02", "", 3113},
    {"08003", "", 3114},  // not connected
    // Statements.
    {"42P01", "", 942},  // table or view does not exist
    {"42S02", "", 942},
    {"3F000", "", 1435},  // user (schema) does not exist
    {"42703", "", 904},   // invalid identifier
    {"42S22", "", 904},
    {"42883", "", 6550},  // PL/SQL: object must be declared
    {"42501", "", 1031},  // insufficient privileges
    {"42601", "", 900},   // invalid SQL statement
    {"42000", "", 900},
    {"23505", "", 1},     // unique constraint violated
    {"23503", "", 2291},  // parent key not found
    {"23502", "", 1400},  // cannot insert NULL
    {"22001", "", 12899},  // value too large for column
    {"01004", "", 6502},   // character string buffer too small
    {"22023", "", 6502},   // numeric or value error
    {"22003", "", 1426},   // numeric overflow
    {"22012", "", 1476},   // divisor is equal to zero
    {"22P02", "", 1722},   // invalid number
    {"22018", "", 1722},
    {"P0002", "", 1403},   // no data found
    {"P0001", "", 20000},  // raised by the application's own code
    {"40P01", "", 60},     // deadlock detected
    {"40001", "", 8177},   // cannot serialize access
    {"57014", "", 1013},   // user requested cancel
    {"HYT00", "", 1013},
};

}  // namespace

int MapSqlStateToOracle(std::string_view SqlState, std::string_view Message) {
  std::string Lower(Message);
  std::transform(Lower.begin(), Lower.end(), Lower.begin(),
                 [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
  for (const auto& Entry : OracleErrorTable) {
    if (Entry.SqlState == SqlState && Lower.find(Entry.Fragment) != std::string::npos) {
      return Entry.OracleCode;
    }
  }
  return 0;
}

}  // namespace relaybird
