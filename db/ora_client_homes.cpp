#include "db/ora_client_homes.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "db/odbc_environment.h"
#include "db/tns_names.h"
#include "platform/text_encoding.h"

namespace relaybird {

namespace {

TOraClientHomes DetectClientHomes() {
  TOraClientHomes Homes;
  try {
    TOdbcEnvironment Environment;
    for (const auto& Driver : Environment.Drivers()) Homes.Names.push_back(Driver.Name);
    for (const auto& Source : Environment.DataSources()) {
      if (!SameText(Source.Name, "Default")) continue;
      for (std::size_t I = 0; I < Homes.Names.size(); ++I) {
        if (SameText(Homes.Names[I], Source.DriverName)) {
          Homes.DefaultIndex = static_cast<int>(I);
          break;
        }
      }
      break;
    }
  } catch (...) {
    // No driver manager to ask: no homes.
  }
  return Homes;
}

std::string TnsNamesFile(const std::string& DriverLibrary) {
  namespace fs = std::filesystem;
  std::vector<fs::path> Directories;
  if (const char* TnsAdmin = std::getenv("TNS_ADMIN"); TnsAdmin != nullptr && *TnsAdmin != '\0') {
    Directories.emplace_back(TnsAdmin);
  }
  // Instant Client keeps network/admin beside its libraries, a full client
  // one level above lib/.
  fs::path Library(DriverLibrary);
  if (Library.has_parent_path()) {
    Directories.push_back(Library.parent_path() / "network" / "admin");
    Directories.push_back(Library.parent_path().parent_path() / "network" / "admin");
  }
  if (const char* OracleHome = std::getenv("ORACLE_HOME"); OracleHome != nullptr && *OracleHome != '\0') {
    Directories.push_back(fs::path(OracleHome) / "network" / "admin");
  }
  for (const auto& Directory : Directories) {
    std::error_code Error;
    fs::path File = Directory / "tnsnames.ora";
    if (fs::is_regular_file(File, Error)) return File.string();
  }
  return {};
}

}  // namespace

const TOraClientHomes& OraClientHomes() {
  static const TOraClientHomes Homes = DetectClientHomes();
  return Homes;
}

std::vector<std::string> GetServerAliases(const std::string& HomeName) {
  std::vector<std::string> Aliases;
  try {
    TOdbcEnvironment Environment;
    std::vector<TOdbcDriverInfo> Drivers = Environment.Drivers();
    auto Driver = std::find_if(Drivers.begin(), Drivers.end(),
                               [&](const TOdbcDriverInfo& D) { return SameText(D.Name, HomeName); });
    if (Driver == Drivers.end()) return {};
    for (const auto& Source : Environment.DataSources()) {
      if (SameText(Source.DriverName, HomeName)) Aliases.push_back(Source.Name);
    }
    if (AsciiUpperCase(HomeName).find("ORACLE") != std::string::npos) {
      std::string File = TnsNamesFile(Driver->Library);
      if (!File.empty()) {
        for (auto& Alias : ReadTnsAliases(File)) Aliases.push_back(std::move(Alias));
      }
    }
  } catch (...) {
    return {};
  }
  std::stable_sort(Aliases.begin(), Aliases.end(), [](const std::string& A, const std::string& B) {
    return AnsiUpperCase(A) < AnsiUpperCase(B);
  });
  Aliases.erase(std::unique(Aliases.begin(), Aliases.end(),
                            [](const std::string& A, const std::string& B) { return SameText(A, B); }),
                Aliases.end());
  return Aliases;
}

}  // namespace relaybird
