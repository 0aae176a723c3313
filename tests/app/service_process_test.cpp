// The program in the service role as a service manager runs it: against the
// test database (KOBALTIX_PROCESS), with the recording module, systemd's
// notification socket, a restart of the PostgreSQL server mid-run and
// SIGTERM at the end. Runs alone: the restart would disturb other tests.
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <atomic>
#include <mutex>
#include <thread>

#include "database_fixture.h"
#include "relaybird/ora_session.h"
#include "test_support.h"

namespace relaybird::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A copy of the program with its library and one module, in a folder of its own.
std::string InstallProgram(const std::string& Dir) {
  fs::create_directories(Dir + "Protocols");
  CopyProgram(RELAYBIRD_BIN_DIR, Dir);
  fs::copy_file(std::string(RB_TEST_MODULE_DIR) + "rb_recorder.so", Dir + "Protocols/rb_recorder.so",
                fs::copy_options::overwrite_existing);
  return Dir + "relaybird";
}

int Shell(const std::string& Command) { return std::system(Command.c_str()); }

// The service manager's end of the notification socket, read all the time
// as systemd does: a full socket would hold the service up.
class TNotifySocket {
 public:
  explicit TNotifySocket(const std::string& Path) {
    FSocket = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    std::strncpy(Address.sun_path, Path.c_str(), sizeof Address.sun_path - 1);
    bind(FSocket, reinterpret_cast<sockaddr*>(&Address), sizeof Address);
    timeval Timeout{0, 100000};
    setsockopt(FSocket, SOL_SOCKET, SO_RCVTIMEO, &Timeout, sizeof Timeout);
    FReader = std::thread([this] {
      char Buffer[4096];
      while (!FDone) {
        const ssize_t Size = recv(FSocket, Buffer, sizeof Buffer, 0);
        std::lock_guard<std::mutex> Guard(FLock);
        if (Size > 0 && FMessages.size() < 10000) FMessages.emplace_back(Buffer, Size);
      }
    });
  }
  ~TNotifySocket() {
    FDone = true;
    FReader.join();
    close(FSocket);
  }
  std::vector<std::string> Messages() {
    std::lock_guard<std::mutex> Guard(FLock);
    return FMessages;
  }

 private:
  int FSocket = -1;
  std::atomic<bool> FDone{false};
  std::mutex FLock;
  std::vector<std::string> FMessages;
  std::thread FReader;
};

std::vector<std::string> HandedIds(const std::string& CallsFile) {
  std::vector<std::string> Ids;
  std::ifstream In(CallsFile);
  std::string Line;
  while (std::getline(In, Line)) {
    if (Line.rfind("rb_recorder|row|", 0) == 0) Ids.push_back(Line.substr(16, Line.find('|', 16) - 16));
  }
  return Ids;
}

std::vector<std::string> Lines(const std::string& Dir) {
  std::vector<std::string> Result;
  for (const auto& Entry : fs::directory_iterator(Dir)) {
    if (Entry.path().extension() != ".log") continue;
    for (std::string& Text : ProcessLogTexts(Entry.path())) Result.push_back(std::move(Text));
  }
  return Result;
}

void InsertNotices(TOraSession& Session, int From, int To) {
  ExecSql(Session, "insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, notice_email) "
                   "select 'P' || lpad(i::text, 31, '0'), 1, 1001, 5, 'a@b.example' "
                   "from generate_series(" + std::to_string(From) + ", " + std::to_string(To) + ") i");
}

TEST(ServiceProcess, DeliversAcrossADatabaseRestartAndStopsCleanlyOnSigterm) {
  auto Session = NewFixtureSession();
  Session->SetServer("KOBALTIX_PROCESS");
  Session->SetSchema("kobaltix5_process");
  try {
    Session->Connect();
  } catch (const std::exception& Error) {
    if (UnderCi()) FAIL() << Error.what();
    GTEST_SKIP() << "No test database: " << Error.what();
  }
  for (const char* Table : {"ecfil083", "qx_notice_emitent", "qx_mngr_notification"}) {
    ExecSql(*Session, std::string("delete from ") + Table);
  }
  InsertNotices(*Session, 1, 30);
  Session->Disconnect();

  TTempDir Dir;
  const std::string Program = InstallProgram(Dir.Path() + "app/");
  WriteFileBytes(Dir.Path() + "app/Relaybird.ini",
                 "[Service]\nAccessLogPath=" + Dir.Path() + "log\nTempDir=" + Dir.Path() +
                     "temp\nTimeoutDelay=0\nTimeoutConnect=1\nTimeoutReconnect=1\n[Connection]\n"
                     "Item_0=0#KOBALTIX_PROCESS#kobaltix5##kobaltix5_process\n[Protocols]\nRECORDER=1\n");
  TNotifySocket Notify(Dir.Path() + "notify");
  const std::string Calls = Dir.Path() + "calls.txt";

  const pid_t Child = fork();
  if (Child == 0) {
    setenv("NOTIFY_SOCKET", (Dir.Path() + "notify").c_str(), 1);
    setenv("WATCHDOG_USEC", "400000", 1);
    setenv("RB_RECORD_FILE", Calls.c_str(), 1);
    setenv("RB_INTERVAL", "1", 1);
    execl(Program.c_str(), Program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto WaitFor = [&](std::size_t Count, std::chrono::seconds Limit) {
    const auto End = std::chrono::steady_clock::now() + Limit;
    while (HandedIds(Calls).size() < Count && std::chrono::steady_clock::now() < End) std::this_thread::sleep_for(100ms);
    return HandedIds(Calls).size();
  };
  EXPECT_EQ(WaitFor(30, 20s), 30u);

  // The server goes away under the open session and comes back.
  const std::string AsPostgres = getuid() == 0 ? "runuser -u postgres -- " : "";
  ASSERT_EQ(Shell(AsPostgres + "/usr/lib/postgresql/15/bin/pg_ctl -D " + RELAYBIRD_PG_DATA +
                " restart -m fast -w -t 60 >/dev/null"),
            0);
  std::this_thread::sleep_for(2s);
  Session->Connect();
  InsertNotices(*Session, 31, 40);
  Session->Disconnect();
  // The supervision reconnects on its next tick, a minute on.
  EXPECT_EQ(WaitFor(40, 100s), 40u);

  kill(Child, SIGTERM);
  int Status = 0;
  waitpid(Child, &Status, 0);
  ASSERT_TRUE(WIFEXITED(Status));
  EXPECT_EQ(WEXITSTATUS(Status), 0);

  std::vector<std::string> Ids = HandedIds(Calls);
  std::sort(Ids.begin(), Ids.end());
  EXPECT_EQ(std::unique(Ids.begin(), Ids.end()), Ids.end()) << "a notice was handed over twice";
  EXPECT_EQ(Ids.size(), 40u);

  const std::vector<std::string> Log = Lines(Dir.Path() + "log");
  ASSERT_FALSE(Log.empty());
  EXPECT_EQ(Log.front().rfind("Версия ОС: ", 0), 0u) << Log.front();
  EXPECT_EQ(std::count_if(Log.begin(), Log.end(),
                          [](const std::string& Line) {
                            return Line.rfind("[#0] Установлено соединение с Oracle №", 0) == 0;
                          }),
            2)
      << "connected at the start and again after the restart";
  EXPECT_EQ(Log.back(), "Завершение работы службы Relaybird");

  const std::vector<std::string> Messages = Notify.Messages();
  const auto Has = [&](const std::string& Prefix) {
    return std::any_of(Messages.begin(), Messages.end(),
                       [&](const std::string& M) { return M.rfind(Prefix, 0) == 0; });
  };
  EXPECT_TRUE(Has("READY=1"));
  EXPECT_TRUE(Has("STOPPING=1"));
  EXPECT_TRUE(Has("WATCHDOG=1"));
  EXPECT_TRUE(Has("STATUS=connected to 1 of 1 database connection(s); 1 module(s) on"));
}

TEST(ServiceProcess, InstallWritesAUnitThatSystemdAcceptsAndUninstallRemovesIt) {
  TTempDir Dir;
  const std::string Program = InstallProgram(Dir.Path() + "app/");
  WriteFileBytes(Dir.Path() + "app/Relaybird.ini", "[Service]\nWinAccount=host\\relaybird\n");
  const std::string Env = "RELAYBIRD_UNIT_DIR=" + Dir.Path() + "units ";
  ASSERT_EQ(Shell(Env + Program + " /Install -SILENT >" + Dir.Path() + "out.txt"), 0);
  EXPECT_EQ(ReadFileBytes(Dir.Path() + "out.txt"), "") << "silent";
  const std::string Unit = Dir.Path() + "units/RelaybirdSrv.service";
  const std::string Text = ReadFileBytes(Unit);
  EXPECT_NE(Text.find("\nDescription=Служба рассылки сообщений Orvanta+\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\nUser=relaybird\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\nExecStart=" + Program + "\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\nType=notify\n"), std::string::npos) << Text;
  // The user need not exist here; verify checks the rest of the unit.
  EXPECT_EQ(Shell("systemd-analyze verify " + Unit + " 2>" + Dir.Path() + "verify.txt"), 0)
      << ReadFileBytes(Dir.Path() + "verify.txt");

  ASSERT_EQ(Shell(Env + Program + " -uninstall >" + Dir.Path() + "out.txt"), 0);
  EXPECT_FALSE(fs::exists(Unit));
  EXPECT_NE(ReadFileBytes(Dir.Path() + "out.txt").find("RelaybirdSrv"), std::string::npos) << "not silent";
}

}  // namespace
}  // namespace relaybird::test
