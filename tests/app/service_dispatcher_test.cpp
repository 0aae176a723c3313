#include "platform/service_dispatcher.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/event_log.h"
#include "platform/exe_path.h"
#include "test_support.h"

namespace relaybird {
namespace {

TEST(ServiceDispatcher, StartedByServiceManagerFollowsTheEnvironment) {
  struct TCase {
    const char* Name;
    const char* Value;
    bool Started;
  };
  const TCase Cases[] = {
      {"INVOCATION_ID", "0f3c", true},      {"NOTIFY_SOCKET", "/run/systemd/notify", true},
      {"RELAYBIRD_FOREGROUND", "1", true},  {"RELAYBIRD_FOREGROUND", "0", false},
      {"RELAYBIRD_FOREGROUND", "yes", false}, {"INVOCATION_ID", "", false},
  };
  for (const char* Name : {"INVOCATION_ID", "NOTIFY_SOCKET", "RELAYBIRD_FOREGROUND"}) unsetenv(Name);
  EXPECT_FALSE(StartedByServiceManager());
  for (const TCase& Case : Cases) {
    setenv(Case.Name, Case.Value, 1);
    EXPECT_EQ(StartedByServiceManager(), Case.Started) << Case.Name << "=" << Case.Value;
    unsetenv(Case.Name);
  }
}

TEST(ServiceDispatcher, CannotStartIsRecordedUnderTheExecutableName) {
  test::TTempDir Dir;
  const std::string SocketPath = Dir.Path() + "log";
  const int Socket = socket(AF_UNIX, SOCK_DGRAM, 0);
  ASSERT_GE(Socket, 0);
  sockaddr_un Address{};
  Address.sun_family = AF_UNIX;
  SocketPath.copy(Address.sun_path, sizeof(Address.sun_path) - 1);
  ASSERT_EQ(bind(Socket, reinterpret_cast<sockaddr*>(&Address), sizeof(Address)), 0);
  SetEventLogSocketPath(SocketPath);

  ReportDispatcherCannotStart();

  char Buffer[2048];
  const ssize_t Received = recv(Socket, Buffer, sizeof(Buffer), MSG_DONTWAIT);
  close(Socket);
  ASSERT_GT(Received, 0);
  const std::string Datagram(Buffer, static_cast<std::size_t>(Received));
  EXPECT_EQ(Datagram.rfind("<14>", 0), 0u) << Datagram;
  EXPECT_NE(Datagram.find(" " + ExecutableName() + ": The service dispatcher cannot start"),
            std::string::npos)
      << Datagram;
}

}  // namespace
}  // namespace relaybird
