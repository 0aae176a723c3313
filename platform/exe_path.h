#pragma once
#include <string>

namespace relaybird {

// Full path of the running executable (/proc/self/exe).
std::string ExecutablePath();
// Its directory, with a trailing path delimiter.
std::string ExecutableDir();
// Its file name without the directory.
std::string ExecutableName();

// The path with a trailing '/' added when missing (empty stays empty).
std::string IncludeTrailingPathDelimiter(const std::string& Path);
// Every trailing '/' removed.
std::string ExcludeTrailingPathDelimiters(const std::string& Path);
// Text after the last '/'.
std::string ExtractFileName(const std::string& Path);
// Text up to and including the last '/'.
std::string ExtractFilePath(const std::string& Path);

bool FileExists(const std::string& Path);
bool DirectoryExists(const std::string& Path);
// Creates the directory and every missing parent; false when that fails.
bool ForceDirectories(const std::string& Path);

}  // namespace relaybird
