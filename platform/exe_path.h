#pragma once
#include <string>

#include "relaybird/export.h"

namespace relaybird {

// Full path of the running executable (/proc/self/exe).
RELAYBIRD_API std::string ExecutablePath();
// Its directory, with a trailing path delimiter.
RELAYBIRD_API std::string ExecutableDir();
// Its file name without the directory.
RELAYBIRD_API std::string ExecutableName();

// The path with a trailing '/' added when missing (empty stays empty).
RELAYBIRD_API std::string IncludeTrailingPathDelimiter(const std::string& Path);
// Every trailing '/' removed.
RELAYBIRD_API std::string ExcludeTrailingPathDelimiters(const std::string& Path);
// Text after the last '/'.
RELAYBIRD_API std::string ExtractFileName(const std::string& Path);
// Text up to and including the last '/'.
RELAYBIRD_API std::string ExtractFilePath(const std::string& Path);

RELAYBIRD_API bool FileExists(const std::string& Path);
RELAYBIRD_API bool DirectoryExists(const std::string& Path);
// Creates the directory and every missing parent; false when that fails.
RELAYBIRD_API bool ForceDirectories(const std::string& Path);

}  // namespace relaybird
