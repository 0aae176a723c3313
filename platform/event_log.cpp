#include "platform/event_log.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace relaybird {

namespace {

// Facility user (1), severity informational (6).
constexpr int SyslogPriority = 1 * 8 + 6;

std::mutex SocketPathLock;

// Reachable from the start-up of other units as well.
std::string& SocketPath() {
  static std::string Path = "/dev/log";
  return Path;
}

const char* MessageTemplate(int EventId) {
  switch (EventId) {
    case 1: return "DataBase error %1";
    case 2: return "Service error %1";
    case 3: return "Module error %1";
    default: return "Unknown service error %1";
  }
}

// "Mmm dd hh:mm:ss" in local time, the day padded with a blank.
std::string SyslogTimeStamp() {
  static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t Now = std::time(nullptr);
  std::tm Local{};
  localtime_r(&Now, &Local);
  char Buffer[32];
  std::snprintf(Buffer, sizeof Buffer, "%s %2d %02d:%02d:%02d", Months[Local.tm_mon],
                Local.tm_mday, Local.tm_hour, Local.tm_min, Local.tm_sec);
  return Buffer;
}

}  // namespace

std::string EventMessageText(int EventId, const std::string& Insertion) {
  // The insertion is placed once and not scanned again, so a "%1" inside it stays.
  const std::string Template = MessageTemplate(EventId);
  const std::size_t At = Template.find("%1");
  return Template.substr(0, At) + Insertion + Template.substr(At + 2);
}

bool ReportEventText(const std::string& Source, const std::string& Text) {
  try {
    const std::string Path = GetEventLogSocketPath();
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    if (Path.empty() || Path.size() >= sizeof Address.sun_path) return false;
    Path.copy(Address.sun_path, Path.size());
    // The local log socket takes no host name: the daemon adds its own.
    const std::string Datagram =
        "<" + std::to_string(SyslogPriority) + ">" + SyslogTimeStamp() + " " + Source + ": " + Text;
    const int Socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (Socket < 0) return false;
    // A burst may wait for the daemon to catch up; a daemon that hangs costs
    // the entry, not the writer.
    const timeval SendTimeout{1, 0};
    ::setsockopt(Socket, SOL_SOCKET, SO_SNDTIMEO, &SendTimeout, sizeof SendTimeout);
    ssize_t Sent;
    do {
      Sent = ::sendto(Socket, Datagram.data(), Datagram.size(), MSG_NOSIGNAL,
                      reinterpret_cast<const sockaddr*>(&Address), sizeof Address);
    } while (Sent < 0 && errno == EINTR);
    ::close(Socket);
    return Sent == static_cast<ssize_t>(Datagram.size());
  } catch (const std::exception&) {
    return false;
  }
}

bool ReportEvent(const std::string& Source, int EventId, const std::string& Insertion) {
  try {
    return ReportEventText(Source, EventMessageText(EventId, Insertion));
  } catch (const std::exception&) {
    return false;
  }
}

void SetEventLogSocketPath(const std::string& Path) {
  const std::lock_guard<std::mutex> Guard(SocketPathLock);
  SocketPath() = Path;
}

std::string GetEventLogSocketPath() {
  const std::lock_guard<std::mutex> Guard(SocketPathLock);
  return SocketPath();
}

}  // namespace relaybird
