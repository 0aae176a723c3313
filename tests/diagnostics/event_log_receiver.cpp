#include "event_log_receiver.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <stdexcept>

#include "platform/event_log.h"

namespace relaybird::test {

TEventLogReceiver::TEventLogReceiver() : FPreviousPath(GetEventLogSocketPath()) {
  const std::string Path = FDir.Path() + "log.sock";
  FSocket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_un Address{};
  Address.sun_family = AF_UNIX;
  Path.copy(Address.sun_path, sizeof Address.sun_path - 1);
  if (FSocket < 0 ||
      ::bind(FSocket, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) != 0) {
    throw std::runtime_error("cannot bind " + Path);
  }
  SetEventLogSocketPath(Path);
}

TEventLogReceiver::~TEventLogReceiver() {
  SetEventLogSocketPath(FPreviousPath);
  ::close(FSocket);
}

std::optional<std::string> TEventLogReceiver::Next() {
  std::string Buffer(65536, '\0');
  const ssize_t Received = ::recv(FSocket, Buffer.data(), Buffer.size(), MSG_DONTWAIT);
  if (Received < 0) return std::nullopt;
  Buffer.resize(static_cast<std::size_t>(Received));
  return Buffer;
}

}  // namespace relaybird::test
