#include "diagnostics/append_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace relaybird {

namespace {

[[noreturn]] void RaiseFileError(const std::string& What, const std::string& FileName) {
  throw std::system_error(errno, std::generic_category(), What + " \"" + FileName + "\"");
}

}  // namespace

TAppendFile::TAppendFile(const std::string& FileName, TOpenMode Mode) : FFileName(FileName) {
  int Flags = O_WRONLY | O_APPEND | O_CLOEXEC;
  if (Mode == TOpenMode::CreateMissing) Flags |= O_CREAT;
  FHandle = ::open(FFileName.c_str(), Flags, 0666);
  if (FHandle < 0) RaiseFileError("Cannot open file", FFileName);
}

TAppendFile::~TAppendFile() {
  if (FHandle >= 0) ::close(FHandle);
}

void TAppendFile::LockAgainstWriters() {
  if (::flock(FHandle, LOCK_EX | LOCK_NB) != 0) RaiseFileError("Cannot lock file", FFileName);
}

void TAppendFile::Write(std::string_view Bytes) {
  while (!Bytes.empty()) {
    const ssize_t Written = ::write(FHandle, Bytes.data(), Bytes.size());
    if (Written < 0) {
      if (errno == EINTR) continue;
      RaiseFileError("Cannot write to file", FFileName);
    }
    Bytes.remove_prefix(static_cast<std::size_t>(Written));
  }
}

void TAppendFile::Close() {
  const int Handle = FHandle;
  FHandle = -1;
  if (::close(Handle) != 0) RaiseFileError("Cannot close file", FFileName);
}

}  // namespace relaybird
