#include "db/odbc_environment.h"

#include "relaybird/database_error.h"

namespace relaybird {

TOdbcEnvironment::TOdbcEnvironment() {
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &FHandle))) {
    throw EDatabaseError("Cannot allocate an ODBC environment");
  }
  if (!SQL_SUCCEEDED(SQLSetEnvAttr(FHandle, SQL_ATTR_ODBC_VERSION,
                                   reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0))) {
    SQLFreeHandle(SQL_HANDLE_ENV, FHandle);
    throw EDatabaseError("The ODBC driver manager does not support ODBC 3");
  }
}

TOdbcEnvironment::~TOdbcEnvironment() { SQLFreeHandle(SQL_HANDLE_ENV, FHandle); }

std::vector<TOdbcDriverInfo> TOdbcEnvironment::Drivers() const {
  std::vector<TOdbcDriverInfo> Result;
  SQLCHAR Name[512];
  SQLCHAR Attributes[4096];
  SQLSMALLINT NameLength = 0;
  SQLSMALLINT AttributesLength = 0;
  SQLUSMALLINT Direction = SQL_FETCH_FIRST;
  while (SQL_SUCCEEDED(SQLDrivers(FHandle, Direction, Name, sizeof Name, &NameLength, Attributes,
                                  sizeof Attributes, &AttributesLength))) {
    Direction = SQL_FETCH_NEXT;
    TOdbcDriverInfo Info;
    Info.Name = reinterpret_cast<const char*>(Name);
    // "key=value\0key=value\0\0"
    for (const char* Pair = reinterpret_cast<const char*>(Attributes); *Pair != '\0';
         Pair += std::char_traits<char>::length(Pair) + 1) {
      std::string Entry(Pair);
      if (Entry.rfind("Driver=", 0) == 0) Info.Library = Entry.substr(7);
    }
    Result.push_back(std::move(Info));
  }
  return Result;
}

std::vector<TOdbcDataSource> TOdbcEnvironment::DataSources() const {
  std::vector<TOdbcDataSource> Result;
  SQLCHAR Name[SQL_MAX_DSN_LENGTH * 4 + 1];
  SQLCHAR Driver[512];
  SQLSMALLINT NameLength = 0;
  SQLSMALLINT DriverLength = 0;
  SQLUSMALLINT Direction = SQL_FETCH_FIRST;
  while (SQL_SUCCEEDED(SQLDataSources(FHandle, Direction, Name, sizeof Name, &NameLength, Driver,
                                      sizeof Driver, &DriverLength))) {
    Direction = SQL_FETCH_NEXT;
    Result.push_back({reinterpret_cast<const char*>(Name), reinterpret_cast<const char*>(Driver)});
  }
  return Result;
}

}  // namespace relaybird
