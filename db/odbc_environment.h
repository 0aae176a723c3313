#pragma once
// An ODBC environment handle and what the driver manager knows without a
// connection: the installed drivers and the configured data sources.
#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

namespace relaybird {

struct TOdbcDriverInfo {
  std::string Name;
  // The "Driver" entry of its configuration: the library file.
  std::string Library;
};

struct TOdbcDataSource {
  std::string Name;
  std::string DriverName;
};

class TOdbcEnvironment {
 public:
  // Raises EDatabaseError when the driver manager refuses.
  TOdbcEnvironment();
  ~TOdbcEnvironment();
  TOdbcEnvironment(const TOdbcEnvironment&) = delete;
  TOdbcEnvironment& operator=(const TOdbcEnvironment&) = delete;

  SQLHENV Handle() const { return FHandle; }

  // In the order the driver manager reports them.
  std::vector<TOdbcDriverInfo> Drivers() const;
  // User and system data sources.
  std::vector<TOdbcDataSource> DataSources() const;

 private:
  SQLHENV FHandle = SQL_NULL_HENV;
};

}  // namespace relaybird
