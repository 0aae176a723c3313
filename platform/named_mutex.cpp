#include "platform/named_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace relaybird {

std::string TNamedMutex::LockFileName(const std::string& Name) {
  const char* Dir = std::getenv("XDG_RUNTIME_DIR");
  return std::string(Dir && *Dir ? Dir : "/tmp") + "/" + Name + ".lock";
}

TNamedMutex::TNamedMutex(const std::string& Name) {
  const int Fd = open(LockFileName(Name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (Fd < 0) {
    FError = errno;
    return;
  }
  if (flock(Fd, LOCK_EX | LOCK_NB) != 0) {
    FError = errno == EWOULDBLOCK ? ErrorAlreadyExists : errno;
    close(Fd);
    return;
  }
  FFd = Fd;
}

TNamedMutex::~TNamedMutex() {
  if (FFd >= 0) close(FFd);
}

}  // namespace relaybird
