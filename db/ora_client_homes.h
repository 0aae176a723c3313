#pragma once
// The installed client homes (ODBC drivers) and the server aliases each
// of them knows.
#include <string>
#include <vector>

#include "relaybird/export.h"

namespace relaybird {

struct TOraClientHomes {
  // In the order the driver manager reports the drivers.
  std::vector<std::string> Names;
  // The driver of the data source "Default"; -1 when there is none.
  int DefaultIndex = -1;
};

// Detected the first time it is asked for, once per process; safe from any
// thread. Never raises: a driver manager that cannot be asked gives no homes.
RELAYBIRD_API const TOraClientHomes& OraClientHomes();

// The data sources that use the home's driver and, for an Oracle driver, the
// aliases of its tnsnames.ora ($TNS_ADMIN, else the home's network/admin, else
// $ORACLE_HOME/network/admin); sorted without regard to case, each once. Never
// raises: an unknown home gives an empty list.
RELAYBIRD_API std::vector<std::string> GetServerAliases(const std::string& HomeName);

}  // namespace relaybird
