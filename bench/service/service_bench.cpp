// Figures of the running service, on the test database of scripts/postgres.sh
// (ODBCSYSINI and ODBCINI set, data source KOBALTIX_BENCH, whose preparation
// marks nothing, so the same notices stay due):
//   1. one intake of 20 letters and their hand-over to a module, against the
//      same plain ODBC calls made directly, and the requests each sends to
//      the server, counted on the wire by a relay between client and server;
//   2. that intake with 1,000,000 identifiers already taken against one with
//      none, and the heap those identifiers take;
//   3. the CPU time and wake-ups of the idle running program.
//
//   service_bench [intakes of each kind, default 300] [idle seconds, default 60]
//
// Intakes alternate between the kinds compared, so that a change in the
// machine's load falls on both alike; the median intake stands for each.
#include <arpa/inet.h>
#include <malloc.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/file_helpers.h"
#include "core/settings_block.h"
#include "db/odbc_connection.h"
#include "modules/module.h"
#include "relaybird/ora_session.h"
#include "relaybird/settings.h"
#include "service/message_id_set.h"
#include "service/message_intake.h"
#include "service/service_lock.h"
#include "test_support.h"

namespace {

using namespace relaybird;
namespace fs = std::filesystem;

const char* const Server = "KOBALTIX_BENCH";
const char* const CountedServer = "KOBALTIX_BENCH_COUNTED";
const char* const Schema = "kobaltix5_bench";
const char* const User = "kobaltix5";
const char* const ServiceName = "ALPHA";
constexpr int DueNotices = 25;
constexpr std::size_t TakenIds = 1000000;

double CpuMicroseconds() {
  timespec Now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &Now);
  return static_cast<double>(Now.tv_sec) * 1e6 + static_cast<double>(Now.tv_nsec) / 1e3;
}

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  return Values[Values.size() / 2];
}

void Check(SQLRETURN Rc, SQLSMALLINT Type, SQLHANDLE Handle, const std::string& What) {
  if (SQL_SUCCEEDED(Rc) || Rc == SQL_NO_DATA) return;
  SQLCHAR State[6] = {0};
  SQLCHAR Text[1024] = {0};
  SQLINTEGER Native = 0;
  SQLSMALLINT Length = 0;
  SQLGetDiagRec(Type, Handle, 1, State, &Native, Text, sizeof Text, &Length);
  throw std::runtime_error(What + ": " + reinterpret_cast<char*>(Text));
}

void ExecDirect(SQLHDBC Connection, const std::string& Sql) {
  SQLHSTMT Statement = SQL_NULL_HSTMT;
  SQLAllocHandle(SQL_HANDLE_STMT, Connection, &Statement);
  const SQLRETURN Rc = SQLExecDirect(Statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(Sql.c_str())), SQL_NTS);
  try {
    Check(Rc, SQL_HANDLE_STMT, Statement, Sql);
  } catch (...) {
    SQLFreeHandle(SQL_HANDLE_STMT, Statement);
    throw;
  }
  SQLFreeHandle(SQL_HANDLE_STMT, Statement);
}

// A loopback relay in front of the PostgreSQL server that counts the
// client's requests which wait for an answer: simple queries ('Q') and the
// ends of extended-protocol exchanges ('S', Sync). Each is one round trip.
class TCountingRelay {
 public:
  explicit TCountingRelay(int ServerPort) : FServerPort(ServerPort) {
    FListener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t Size = sizeof Address;
    if (bind(FListener, reinterpret_cast<sockaddr*>(&Address), Size) != 0 || listen(FListener, 4) != 0 ||
        getsockname(FListener, reinterpret_cast<sockaddr*>(&Address), &Size) != 0) {
      throw std::runtime_error(std::string("relay: ") + std::strerror(errno));
    }
    FPort = ntohs(Address.sin_port);
    FAcceptor = std::thread([this] { Accept(); });
  }

  ~TCountingRelay() {
    FStop = true;
    shutdown(FListener, SHUT_RDWR);
    FAcceptor.join();
    for (std::thread& Pump : FPumps) Pump.join();
    close(FListener);
  }

  int Port() const { return FPort; }
  long Requests() const { return FRequests; }

 private:
  void Accept() {
    while (!FStop) {
      const int Client = accept(FListener, nullptr, nullptr);
      if (Client < 0) return;
      const int Upstream = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in Address{};
      Address.sin_family = AF_INET;
      Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      Address.sin_port = htons(static_cast<std::uint16_t>(FServerPort));
      if (connect(Upstream, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0) {
        close(Upstream);
        close(Client);
        continue;
      }
      FPumps.emplace_back([this, Client, Upstream] { Pump(Client, Upstream); });
    }
  }

  void Pump(int Client, int Upstream) {
    std::string Pending;
    bool Startup = true;
    char Buffer[65536];
    pollfd Ends[2] = {{Client, POLLIN, 0}, {Upstream, POLLIN, 0}};
    while (!FStop) {
      if (poll(Ends, 2, 100) <= 0) continue;
      if (Ends[0].revents) {
        const ssize_t Size = read(Client, Buffer, sizeof Buffer);
        if (Size <= 0) break;
        Pending.append(Buffer, static_cast<std::size_t>(Size));
        Count(Pending, Startup);
        if (write(Upstream, Buffer, static_cast<std::size_t>(Size)) != Size) break;
      }
      if (Ends[1].revents) {
        const ssize_t Size = read(Upstream, Buffer, sizeof Buffer);
        if (Size <= 0) break;
        if (write(Client, Buffer, static_cast<std::size_t>(Size)) != Size) break;
      }
    }
    close(Client);
    close(Upstream);
  }

  static std::uint32_t BigEndian(const std::string& Bytes, std::size_t At) {
    std::uint32_t Value = 0;
    for (std::size_t I = 0; I < 4; ++I) Value = Value << 8 | static_cast<unsigned char>(Bytes[At + I]);
    return Value;
  }

  // Until the startup message, messages carry no type byte (an SSL request
  // may come first).
  void Count(std::string& Pending, bool& Startup) {
    std::size_t At = 0;
    for (;;) {
      const std::size_t Header = Startup ? 4 : 5;
      if (Pending.size() - At < Header) break;
      const std::size_t Length = BigEndian(Pending, Startup ? At : At + 1) + (Startup ? 0 : 1);
      if (Pending.size() - At < Length) break;
      if (Startup) {
        if (BigEndian(Pending, At + 4) == 0x30000) Startup = false;
      } else if (Pending[At] == 'Q' || Pending[At] == 'S') {
        ++FRequests;
      }
      At += Length;
    }
    Pending.erase(0, At);
  }

  int FServerPort;
  int FListener = -1;
  int FPort = 0;
  std::atomic<bool> FStop{false};
  std::atomic<long> FRequests{0};
  std::thread FAcceptor;
  std::vector<std::thread> FPumps;
};

// The private ODBC configuration with one more data source: the bench
// database reached through the relay. unixODBC reads ODBCINI when a
// connection is made.
void AddCountedDataSource(int RelayPort, const std::string& Folder) {
  const char* Ini = std::getenv("ODBCINI");
  if (!Ini) throw std::runtime_error("ODBCINI is not set: run scripts/postgres.sh and export its files");
  std::ifstream In(Ini);
  if (!In) throw std::runtime_error(std::string("Cannot read ") + Ini);
  std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  Text += std::string("\n[") + CountedServer +
          "]\nDriver = PostgreSQL Unicode\nServername = 127.0.0.1\nPort = " + std::to_string(RelayPort) +
          "\nDatabase = " + Schema + "\n";
  const std::string Copy = Folder + "odbc.ini";
  relaybird::test::WriteFileBytes(Copy, Text);
  setenv("ODBCINI", Copy.c_str(), 1);
}

void Connect(TOraSession& Session, const std::string& DataSource) {
  Session.SetServer(DataSource);
  Session.SetUsername(User);
  Session.SetPassword(DefaultOraPassword);
  Session.SetSchema(Schema);
  Session.Connect();
}

std::string NoticeId(int Number) {
  char Text[40];
  std::snprintf(Text, sizeof Text, "B%031d", Number);
  return Text;
}

// Only the bench's notices are due: DueNotices in the first source.
void PrepareNotices(SQLHDBC Connection) {
  for (const char* Table : {"ecfil083", "qx_notice_emitent", "qx_mngr_notification"}) {
    ExecDirect(Connection, std::string("delete from ") + Table);
  }
  ExecDirect(Connection,
             "insert into ecfil083 (trn_guid, id_prinadl, id_klienta, notice_type, notice_email) "
             "select 'B' || lpad(i::text, 31, '0'), 1, 1001, 5, 'a@b.example' from generate_series(1, " +
                 std::to_string(DueNotices) + ") i");
}

// What one intake read: the byte count of the letters, to see that both
// kinds did the same work.
using TDigest = std::size_t;

// The service's intake and hand-over: TMessageIntake reads the batch, then
// the module gets the dispatch sequence of the send cycle.
class TServiceIntake {
 public:
  TServiceIntake(TOraSession& Session, const std::string& ModuleFile)
      : FSession(Session), FModule(ModuleFile), FIntake([this](const std::string& Text, bool) {
          FErrors.push_back(Text);
        }) {
    if (!FModule.Load()) throw std::runtime_error("Cannot load " + ModuleFile + ": " + FModule.LoadError());
    FModule.SetLoaded(true);
    FIntake.OpenTables();
  }

  const std::string& SourceSql() const { return FIntake.oq_ecfil083.SQL(); }

  TDigest Run(TMessageIdSet& Processed) {
    FIntake.ReadMessages(&FSession, 0, ServiceName, Processed, FFailed);
    if (!FErrors.empty()) throw std::runtime_error("intake: " + FErrors.front());
    TVirtualTable& Messages = FIntake.vtMesg;
    if (Messages.RecordCount() != TMessageIntake::BatchLimit) {
      throw std::runtime_error("intake: " + std::to_string(Messages.RecordCount()) + " letters, not 20");
    }
    TDigest Digest = 0;
    for (Messages.First(); !Messages.Eof(); Messages.Next()) {
      Digest += Messages.FieldByName("mesg_body").AsString().size();
    }
    Messages.First();
    const std::string ProcessID = NewGuidText();
    FModule.Initialize(ServiceName, ProcessID);
    std::vector<std::uint8_t> Block = BuildSettingsBlock(FSettings);
    FModule.SetData(ServiceName, ProcessID, mdkSession, &FSession, 36);
    FModule.SetData(ServiceName, ProcessID, mdkLock, &ServiceLock, 4);
    FModule.SetData(ServiceName, ProcessID, mdkSettings, Block.data(), 36);
    FModule.SetData(ServiceName, ProcessID, mdkMessages, &Messages, 4);
    Messages.Clear();
    FModule.Execute(ServiceName, ProcessID);
    return Digest;
  }

  // Lets the bench's notices be taken again.
  static void Forget(TMessageIdSet& Processed) {
    for (int I = 1; I <= DueNotices; ++I) Processed.Delete(NoticeId(I));
  }

 private:
  TOraSession& FSession;
  TModule FModule;
  TMessageIntake FIntake;
  TServiceSettings FSettings;
  TFailedMessageList FFailed;
  std::vector<std::string> FErrors;
};

// The same work in plain ODBC calls: the source query, and the preparation
// call for each of its first 20 rows, the letters kept in memory.
class TPlainIntake {
 public:
  TPlainIntake(SQLHDBC Connection, const std::string& SourceSql) {
    SQLAllocHandle(SQL_HANDLE_STMT, Connection, &FRows);
    Check(SQLPrepare(FRows, reinterpret_cast<SQLCHAR*>(const_cast<char*>(SourceSql.c_str())), SQL_NTS),
          SQL_HANDLE_STMT, FRows, "prepare select");
    SQLAllocHandle(SQL_HANDLE_STMT, Connection, &FCall);
    const std::string Call =
        std::string("{call ") + Schema + TMessageIntake::ProcedureSuffix + "(?, ?, ?, ?)}";
    Check(SQLPrepare(FCall, reinterpret_cast<SQLCHAR*>(const_cast<char*>(Call.c_str())), SQL_NTS),
          SQL_HANDLE_STMT, FCall, "prepare call");
    SQLBindParameter(FCall, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 32, 0, FGuid, sizeof FGuid,
                     &FGuidLength);
    SQLBindParameter(FCall, 2, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &FFlag, 0, &FFlagLength);
    SQLBindParameter(FCall, 3, SQL_PARAM_OUTPUT, SQL_C_CHAR, SQL_VARCHAR, 4000, 0, FBody, sizeof FBody,
                     &FBodyLength);
    SQLBindParameter(FCall, 4, SQL_PARAM_OUTPUT, SQL_C_CHAR, SQL_VARCHAR, 40, 0, FSubject, sizeof FSubject,
                     &FSubjectLength);
  }

  ~TPlainIntake() {
    SQLFreeHandle(SQL_HANDLE_STMT, FRows);
    SQLFreeHandle(SQL_HANDLE_STMT, FCall);
  }

  TDigest Run() {
    struct TRow {
      std::string Columns[6];
      std::string Body;
      std::string Subject;
    };
    std::vector<TRow> Rows;
    Check(SQLExecute(FRows), SQL_HANDLE_STMT, FRows, "select");
    while (Rows.size() < TMessageIntake::BatchLimit && SQLFetch(FRows) == SQL_SUCCESS) {
      TRow& Row = Rows.emplace_back();
      for (SQLUSMALLINT Column = 1; Column <= 6; ++Column) {
        char Value[512];
        SQLLEN Length = 0;
        SQLGetData(FRows, Column, SQL_C_CHAR, Value, sizeof Value, &Length);
        Row.Columns[Column - 1].assign(Value, Length > 0 ? static_cast<std::size_t>(Length) : 0);
      }
    }
    SQLFreeStmt(FRows, SQL_CLOSE);
    TDigest Digest = 0;
    for (TRow& Row : Rows) {
      Row.Columns[0].copy(FGuid, Row.Columns[0].size());
      FGuidLength = static_cast<SQLLEN>(Row.Columns[0].size());
      FFlag = std::atoi(Row.Columns[1].c_str());
      FBodyLength = 0;
      FSubjectLength = 0;
      Check(SQLExecute(FCall), SQL_HANDLE_STMT, FCall, "call");
      Row.Body.assign(FBody, FBodyLength > 0 ? static_cast<std::size_t>(FBodyLength) : 0);
      Row.Subject.assign(FSubject, FSubjectLength > 0 ? static_cast<std::size_t>(FSubjectLength) : 0);
      SQLFreeStmt(FCall, SQL_CLOSE);
      Digest += Row.Body.size();
    }
    if (Rows.size() != TMessageIntake::BatchLimit) throw std::runtime_error("plain intake: too few rows");
    return Digest;
  }

 private:
  SQLHSTMT FRows = SQL_NULL_HSTMT;
  SQLHSTMT FCall = SQL_NULL_HSTMT;
  char FGuid[33 * 4] = {0};
  SQLLEN FGuidLength = 0;
  SQLINTEGER FFlag = 0;
  SQLLEN FFlagLength = 0;
  char FBody[4000 * 4 + 1] = {0};
  SQLLEN FBodyLength = 0;
  char FSubject[40 * 4 + 1] = {0};
  SQLLEN FSubjectLength = 0;
};

struct TTimes {
  std::vector<double> Wall;  // microseconds
  std::vector<double> Cpu;   // of this process, microseconds
};

void Time(const std::function<TDigest()>& Work, TTimes& Times, TDigest& Digest) {
  const double CpuStart = CpuMicroseconds();
  const auto Start = std::chrono::steady_clock::now();
  Digest = Work();
  const std::chrono::duration<double, std::micro> Elapsed = std::chrono::steady_clock::now() - Start;
  Times.Wall.push_back(Elapsed.count());
  Times.Cpu.push_back(CpuMicroseconds() - CpuStart);
}

// Runs A and B alternately Runs times; both must read the same letters.
void Compare(const char* What, const char* NameA, const std::function<TDigest()>& A, const char* NameB,
             const std::function<TDigest()>& B, int Runs) {
  TTimes TimesA, TimesB;
  TDigest DigestA = 0, DigestB = 0;
  for (int I = 0; I < Runs; ++I) {
    if (I % 2 == 0) Time(A, TimesA, DigestA);
    Time(B, TimesB, DigestB);
    if (I % 2 != 0) Time(A, TimesA, DigestA);
    if (DigestA != DigestB) throw std::runtime_error(std::string(What) + ": the two read different letters");
  }
  const double Wa = Median(TimesA.Wall), Wb = Median(TimesB.Wall);
  const double Ca = Median(TimesA.Cpu), Cb = Median(TimesB.Cpu);
  std::printf("%s, median of %d each\n", What, Runs);
  std::printf("  time:       %-26s %8.1f us, %-26s %8.1f us, ratio %.3f (goal <= 1.10)\n", NameA, Wa, NameB,
              Wb, Wa / Wb);
  std::printf("  client CPU: %-26s %8.1f us, %-26s %8.1f us, ratio %.3f\n", NameA, Ca, NameB, Cb, Ca / Cb);
}

void CountRequests(TCountingRelay& Relay, const std::string& ModuleFile, const std::string& SourceSql) {
  TOraSession Session;
  Connect(Session, CountedServer);
  TServiceIntake Service(Session, ModuleFile);
  TPlainIntake Plain(Session.Connection()->Handle(), SourceSql);
  TMessageIdSet Processed;
  // The first run of each prepares its statements.
  Service.Run(Processed);
  TServiceIntake::Forget(Processed);
  Plain.Run();
  long Before = Relay.Requests();
  Service.Run(Processed);
  const long ServiceRequests = Relay.Requests() - Before;
  TServiceIntake::Forget(Processed);
  Before = Relay.Requests();
  Plain.Run();
  const long PlainRequests = Relay.Requests() - Before;
  std::printf("Round trips of one 20-letter intake (Query and Sync messages seen on the wire), "
              "goal 1 query + 20 procedure calls = 21:\n");
  std::printf("  service intake and hand-over %ld, plain ODBC %ld\n", ServiceRequests, PlainRequests);
}

// Bytes allocated, the blocks malloc maps on their own (the big ones)
// included.
std::size_t HeapInUse() {
  const struct mallinfo2 Info = mallinfo2();
  return Info.uordblks + Info.hblkhd;
}

// Identifiers like the services' own: 32 characters, none of them due.
void FillTaken(TMessageIdSet& Taken) {
  char Id[40];
  for (std::size_t I = 0; I < TakenIds; ++I) {
    std::snprintf(Id, sizeof Id, "%016llX%016zX", I * 0x9E3779B97F4A7C15ULL, I);
    Taken.Add(Id);
  }
}

// --- The idle program ---

struct TProcessSample {
  double CpuSeconds = 0;
  long Voluntary = 0;
  long Involuntary = 0;
  int Threads = 0;
};

long StatusField(const std::string& File, const std::string& Name) {
  std::ifstream In(File);
  std::string Line;
  while (std::getline(In, Line)) {
    if (Line.rfind(Name + ":", 0) == 0) return std::atol(Line.c_str() + Name.size() + 1);
  }
  return 0;
}

TProcessSample Sample(pid_t Pid) {
  TProcessSample Result;
  const std::string Proc = "/proc/" + std::to_string(Pid);
  std::ifstream Stat(Proc + "/stat");
  std::string Text((std::istreambuf_iterator<char>(Stat)), std::istreambuf_iterator<char>());
  // Fields after the command name, which is in parentheses: utime and stime
  // are the 12th and 13th of them.
  std::vector<std::string> Fields;
  std::string Field;
  for (char C : Text.substr(Text.rfind(')') + 2)) {
    if (C == ' ') {
      Fields.push_back(Field);
      Field.clear();
    } else {
      Field += C;
    }
  }
  const double Tick = static_cast<double>(sysconf(_SC_CLK_TCK));
  Result.CpuSeconds = (std::atof(Fields.at(11).c_str()) + std::atof(Fields.at(12).c_str())) / Tick;
  for (const fs::directory_entry& Task : fs::directory_iterator(Proc + "/task")) {
    Result.Voluntary += StatusField(Task.path() / "status", "voluntary_ctxt_switches");
    Result.Involuntary += StatusField(Task.path() / "status", "nonvoluntary_ctxt_switches");
    ++Result.Threads;
  }
  return Result;
}

int CountLogLines(const std::string& Dir, const std::string& Text) {
  int Count = 0;
  if (!fs::exists(Dir)) return 0;
  for (const fs::directory_entry& Entry : fs::directory_iterator(Dir)) {
    std::ifstream In(Entry.path());
    std::string Line;
    while (std::getline(In, Line)) Count += Line.find(Text) != std::string::npos;
  }
  return Count;
}

void MeasureIdle(const std::string& ModuleFile, int Seconds) {
  relaybird::test::TTempDir Dir;
  const std::string App = Dir.Path() + "app/";
  fs::create_directories(App + "Protocols");
  relaybird::test::CopyProgram(RELAYBIRD_BIN_DIR, App);
  fs::copy_file(ModuleFile, App + "Protocols/rb_recorder.so");
  const std::string Log = Dir.Path() + "log";
  constexpr int SendInterval = 15;
  relaybird::test::WriteFileBytes(
      App + "Relaybird.ini",
      "[Service]\nAccessLogPath=" + Log + "\nTempDir=" + Dir.Path() +
          "temp\nTimeoutDelay=0\nTimeoutConnect=1\nTimeoutReconnect=1\n[Connection]\nItem_0=0#" + Server +
          "#" + User + "##" + Schema + "\n[Protocols]\nRECORDER=1\n");
  const pid_t Child = fork();
  if (Child == 0) {
    setenv("RELAYBIRD_FOREGROUND", "1", 1);
    setenv("RB_INTERVAL", std::to_string(SendInterval).c_str(), 1);
    const std::string Program = App + "relaybird";
    execl(Program.c_str(), Program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // The two services of the module each log a line per send tick on the
  // open connection when nothing is due.
  const std::string EmptyRead = "Нет новых сообщений для отправки";
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (CountLogLines(Log, EmptyRead) == 0 && std::chrono::steady_clock::now() < Deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (CountLogLines(Log, EmptyRead) == 0) {
    kill(Child, SIGTERM);
    waitpid(Child, nullptr, 0);
    throw std::runtime_error("idle program: no send tick within 30 s (log in " + Log + ")");
  }
  const int ReadsBefore = CountLogLines(Log, EmptyRead);
  const TProcessSample Before = Sample(Child);
  std::this_thread::sleep_for(std::chrono::seconds(Seconds));
  const TProcessSample After = Sample(Child);
  const int Ticks = (CountLogLines(Log, EmptyRead) - ReadsBefore) / 2;
  kill(Child, SIGTERM);
  int Status = 0;
  waitpid(Child, &Status, 0);

  const long Wakeups = After.Voluntary - Before.Voluntary;
  std::printf("Idle program over %d s (one connection, nothing due, one module with two services, "
              "send interval %d s, supervision every 60 s), goal: only its timers wake it\n",
              Seconds, SendInterval);
  std::printf("  CPU time %.3f s (%.3f %% of one core), %d threads\n", After.CpuSeconds - Before.CpuSeconds,
              (After.CpuSeconds - Before.CpuSeconds) / Seconds * 100, After.Threads);
  std::printf("  send ticks %d; voluntary context switches %ld (%.1f per send tick: the source reads "
              "and the log), involuntary %ld\n",
              Ticks, Wakeups, Ticks > 0 ? static_cast<double>(Wakeups) / Ticks : 0.0,
              After.Involuntary - Before.Involuntary);
  std::printf("  exit status after SIGTERM: %d\n", WIFEXITED(Status) ? WEXITSTATUS(Status) : -1);
}

int PostgresPort() {
  const char* Port = std::getenv("RELAYBIRD_PG_PORT");
  return Port ? std::atoi(Port) : 55432;
}

}  // namespace

int main(int argc, char** argv) {
  const int Runs = argc > 1 ? std::atoi(argv[1]) : 300;
  const int IdleSeconds = argc > 2 ? std::atoi(argv[2]) : 60;
  if (Runs <= 0 || IdleSeconds <= 0) {
    std::fprintf(stderr, "usage: service_bench [intakes of each kind] [idle seconds]\n");
    return 2;
  }
  const std::string ModuleFile = std::string(RB_TEST_MODULE_DIR) + "rb_recorder.so";
  try {
    relaybird::test::TTempDir Dir;
    TCountingRelay Relay(PostgresPort());
    AddCountedDataSource(Relay.Port(), Dir.Path());

    TOraSession Session;
    Connect(Session, Server);
    const SQLHDBC Connection = Session.Connection()->Handle();
    PrepareNotices(Connection);

    // The heap of a million taken identifiers, measured before anything
    // else holds memory that could be reused.
    TMessageIdSet None;
    TMessageIdSet Taken;
    const std::size_t HeapBefore = HeapInUse();
    FillTaken(Taken);
    const std::size_t HeapAfter = HeapInUse();

    TServiceIntake Service(Session, ModuleFile);
    TPlainIntake Plain(Connection, Service.SourceSql());
    CountRequests(Relay, ModuleFile, Service.SourceSql());

    Compare(
        "One 20-letter intake",
        "service intake + hand-over",
        [&] {
          TServiceIntake::Forget(None);
          return Service.Run(None);
        },
        "plain ODBC", [&] { return Plain.Run(); }, Runs);
    Compare(
        "The service's intake and hand-over",
        "1,000,000 ids taken",
        [&] {
          TServiceIntake::Forget(Taken);
          return Service.Run(Taken);
        },
        "none taken",
        [&] {
          TServiceIntake::Forget(None);
          return Service.Run(None);
        },
        Runs);
    std::printf("Memory of %zu taken 32-character ids: heap %.1f bytes per id (own count %.1f), "
                "goal <= 64\n",
                TakenIds, static_cast<double>(HeapAfter - HeapBefore) / TakenIds,
                static_cast<double>(Taken.MemoryUsed()) / TakenIds);

    // The idle program finds nothing due.
    ExecDirect(Connection, "delete from ecfil083");
    MeasureIdle(ModuleFile, IdleSeconds);
  } catch (const std::exception& Error) {
    std::fprintf(stderr, "service_bench: %s\n", Error.what());
    return 1;
  }
  return 0;
}
