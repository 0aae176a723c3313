#include "platform/exe_path.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace relaybird {

std::string ExecutablePath() {
  std::error_code Error;
  const std::filesystem::path Path = std::filesystem::read_symlink("/proc/self/exe", Error);
  return Error ? std::string() : Path.string();
}

std::string ExecutableDir() { return ExtractFilePath(ExecutablePath()); }

std::string ExecutableName() { return ExtractFileName(ExecutablePath()); }

std::string IncludeTrailingPathDelimiter(const std::string& Path) {
  if (Path.empty() || Path.back() == '/') return Path;
  return Path + '/';
}

std::string ExcludeTrailingPathDelimiters(const std::string& Path) {
  const std::size_t Last = Path.find_last_not_of('/');
  return Last == std::string::npos ? std::string() : Path.substr(0, Last + 1);
}

std::string ExtractFileName(const std::string& Path) {
  const std::size_t Slash = Path.rfind('/');
  return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

std::string ExtractFilePath(const std::string& Path) {
  const std::size_t Slash = Path.rfind('/');
  return Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
}

bool FileExists(const std::string& Path) {
  struct stat Info {};
  return !Path.empty() && stat(Path.c_str(), &Info) == 0 && !S_ISDIR(Info.st_mode);
}

bool DirectoryExists(const std::string& Path) {
  struct stat Info {};
  return !Path.empty() && stat(Path.c_str(), &Info) == 0 && S_ISDIR(Info.st_mode);
}

bool ForceDirectories(const std::string& Path) {
  const std::string Dir = ExcludeTrailingPathDelimiters(Path);
  if (Dir.empty()) return !Path.empty();
  std::error_code Error;
  std::filesystem::create_directories(Dir, Error);
  return DirectoryExists(Dir);
}

}  // namespace relaybird
