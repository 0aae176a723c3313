#include "relaybird/process_log.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <set>
#include <system_error>
#include <thread>
#include <vector>

#include "catalogue_environment.h"
#include "diagnostics/assertion.h"
#include "diagnostics/error_log.h"
#include "event_log_receiver.h"
#include "relaybird/catalogue.h"
#include "i18n/translator.h"
#include "local_time.h"
#include "platform/event_log.h"
#include "platform/exe_path.h"
#include "test_support.h"

namespace relaybird {
namespace {

using test::LocalTime;
using test::ReadFileBytes;

const auto* const CatalogueEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::TCatalogueEnvironment);

class TPlainSender : public TObject {
 public:
  std::string ClassName() const override { return "TDataModule"; }
};

class TServiceSender : public TObject {
 public:
  std::string ClassName() const override { return "TRelaybirdSrv"; }
};

class TWorkerSender : public TWorkerLogSender {
 public:
  std::string ClassName() const override { return "TMailThread"; }
  std::string LogServiceName() const override { return "MAIL"; }
};

std::recursive_mutex TestLogLock;

// The log clock: a fixed instant, or one instant for the first reading and
// another for every later one.
std::atomic<std::int64_t> FirstReading{0};
std::atomic<std::int64_t> LaterReadings{0};
std::atomic<int> Readings{0};

std::chrono::system_clock::time_point TestClock() {
  const std::int64_t Ms = Readings.fetch_add(1) == 0 ? FirstReading.load() : LaterReadings.load();
  return std::chrono::system_clock::time_point(std::chrono::milliseconds(Ms));
}

std::int64_t EpochMs(std::chrono::system_clock::time_point Time) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Time.time_since_epoch()).count();
}

void SetClock(std::chrono::system_clock::time_point First,
              std::chrono::system_clock::time_point Later) {
  FirstReading = EpochMs(First);
  LaterReadings = EpochMs(Later);
  Readings = 0;
}

const auto May3 = LocalTime(2011, 5, 3, 9, 7, 5, 42);
const std::string May3Stamp = "[03.05.2011 09:07:05.042]  ";
const std::string May3File = "Relaybird_2011_05_03.log";

class ProcessLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLogLock(&TestLogLock);
    SetClock(May3, May3);
    SetLogClock(&TestClock);
    SetAssertHandler(&WriteErrorLog);
    RemoveFilesBesideExecutable();
  }
  void TearDown() override {
    SetLogClock(nullptr);
    SetAssertHandler(nullptr);
    RemoveFilesBesideExecutable();
  }
  static void RemoveFilesBesideExecutable() {
    for (const char* Name : {"Relaybird_Errors.log", "default.ini", May3File.c_str()}) {
      test::RemovePath(ExecutableDir() + Name);
    }
  }
  static std::string ErrorLogText() {
    return FileExists(ErrorLogFileName()) ? test::MaskTimeStamps(ReadFileBytes(ErrorLogFileName()))
                                          : std::string();
  }
  // A location no file can be created in: a directory below a regular file.
  std::string UnwritableLogPath() {
    test::WriteFileBytes(Dir.Path() + "plain", "");
    return Dir.Path() + "plain/logs";
  }

  test::TTempDir Dir;
  test::TEventLogReceiver EventLog;
  TPlainSender Plain;
  TServiceSender Service;
  TWorkerSender Worker;
};

TEST_F(ProcessLogTest, LinesAreStampedAndLineBreakPairsBecomeSpaces) {
  const struct {
    const char* Msg;
    const char* Written;
  } Cases[] = {
      {"Сервис запущен", "Сервис запущен"},
      {"two\r\nlines", "two lines"},
      {"a\r\n\r\nb", "a  b"},
      {"lone\rreturn", "lone\rreturn"},
      {"lone\nfeed", "lone\nfeed"},
      {"reversed\n\rpair", "reversed\n\rpair"},
      {"", ""},
  };
  std::string Expected;
  for (const auto& Case : Cases) {
    WriteProcessLog(&Service, Case.Msg, Dir.Path() + "logs/day///", "", false);
    Expected += May3Stamp + Case.Written + "\r\n";
  }
  // The lock is re-entrant: its holder may log.
  {
    const std::lock_guard<std::recursive_mutex> Held(TestLogLock);
    WriteProcessLog(&Service, "while held", Dir.Path() + "logs/day", "", false);
    Expected += May3Stamp + "while held\r\n";
  }
  EXPECT_EQ(ReadFileBytes(Dir.Path() + "logs/day/" + May3File), Expected);
  EXPECT_EQ(ErrorLogText(), "");
}

TEST_F(ProcessLogTest, FileNameFollowsDirectoryWriterAndDate) {
  const std::string Beside = ExecutableDir() + May3File;
  const struct {
    const TObject* Sender;
    std::string LogPath;
    std::string LogName;
    std::string FileName;
  } Cases[] = {
      {&Service, "/var/log/rb", "", "/var/log/rb/" + May3File},
      {&Service, "/var/log/rb////", "", "/var/log/rb/" + May3File},
      {&Plain, "/var/log/rb/", "Config", "/var/log/rb/RelaybirdConfig_2011_05_03.log"},
      {&Plain, "/var/log/rb", " \t ", "/var/log/rb/" + May3File},
      {&Worker, "/var/log/rb", "", "/var/log/rb/RelaybirdMAIL_2011_05_03.log"},
      {&Worker, "/var/log/rb", "Other", "/var/log/rb/RelaybirdMAIL_2011_05_03.log"},
      {&Service, "", "", Beside},
      {&Service, "   ", "", Beside},
      {&Service, "///", "", Beside},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(ProcessLogFileName(Case.Sender, Case.LogPath, Case.LogName), Case.FileName)
        << "'" << Case.LogPath << "' '" << Case.LogName << "'";
  }
}

TEST_F(ProcessLogTest, BlankLogPathWritesBesideTheExecutable) {
  WriteProcessLog(&Service, "beside", " ", "", false);
  EXPECT_EQ(ReadFileBytes(ExecutableDir() + May3File), May3Stamp + "beside\r\n");
}

TEST_F(ProcessLogTest, WorkerWritesItsOwnFile) {
  WriteProcessLog(&Service, "service line", Dir.Path(), "", false);
  WriteProcessLog(&Worker, "(Sender1) worker line", Dir.Path(), "", false);
  EXPECT_EQ(ReadFileBytes(Dir.Path() + May3File), May3Stamp + "service line\r\n");
  EXPECT_EQ(ReadFileBytes(Dir.Path() + "RelaybirdMAIL_2011_05_03.log"),
            May3Stamp + "(Sender1) worker line\r\n");
}

TEST_F(ProcessLogTest, NullSenderWritesNothingAnywhere) {
  WriteProcessLog(nullptr, "nothing", Dir.Path() + "logs", "", true);
  EXPECT_FALSE(DirectoryExists(Dir.Path() + "logs"));
  EXPECT_FALSE(EventLog.Next());
  EXPECT_EQ(ErrorLogText(), "");
}

TEST_F(ProcessLogTest, ReadOnlyFileIsMadeWritableAndAppended) {
  const std::string FileName = Dir.Path() + May3File;
  test::WriteFileBytes(FileName, "kept\r\n");
  ASSERT_EQ(::chmod(FileName.c_str(), 0444), 0);
  WriteProcessLog(&Service, "appended", Dir.Path(), "", false);
  EXPECT_EQ(ReadFileBytes(FileName), "kept\r\n" + May3Stamp + "appended\r\n");
  struct stat Status {};
  ASSERT_EQ(::stat(FileName.c_str(), &Status), 0);
  EXPECT_NE(Status.st_mode & S_IWUSR, 0u);
  EXPECT_EQ(ErrorLogText(), "");
}

TEST_F(ProcessLogTest, MessageOfMidnightIsStampedNewDayInPreviousDaysFile) {
  SetClock(LocalTime(2011, 5, 3, 23, 59, 59, 999), LocalTime(2011, 5, 4, 0, 0, 0, 1));
  WriteProcessLog(&Service, "late", Dir.Path(), "", false);
  EXPECT_EQ(ReadFileBytes(Dir.Path() + May3File), "[04.05.2011 00:00:00.001]  late\r\n");
  EXPECT_FALSE(FileExists(Dir.Path() + "Relaybird_2011_05_04.log"));
}

TEST_F(ProcessLogTest, UnwritableLocationLosesTheLineAndRecordsTheFailure) {
  const std::string LogPath = UnwritableLogPath();
  WriteProcessLog(&Service, "Строка\r\nпотеряна", LogPath, "", true);
  EXPECT_FALSE(EventLog.Next());
  EXPECT_EQ(ErrorLogText(),
            "[STAMP]\r\nCommonUtils\t216\tОшибка логирования. Сообщение: Строка\r\nпотеряна"
            "\r\n\r\n");
}

TEST_F(ProcessLogTest, FileHeldByAnotherWriterFailsTheAppend) {
  const std::string FileName = Dir.Path() + May3File;
  test::WriteFileBytes(FileName, "");
  const int Other = ::open(FileName.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(Other, 0);
  ASSERT_EQ(::flock(Other, LOCK_EX), 0);
  WriteProcessLog(&Service, "refused", Dir.Path(), "", false);
  ::close(Other);
  WriteProcessLog(&Service, "accepted", Dir.Path(), "", false);
  EXPECT_EQ(ReadFileBytes(FileName), May3Stamp + "accepted\r\n");
  EXPECT_EQ(ErrorLogText(),
            "[STAMP]\r\nCommonUtils\t216\tОшибка логирования. Сообщение: refused\r\n\r\n");
}

TEST_F(ProcessLogTest, FailingErrorLogReachesTheCallerWithTheLockReleased) {
  ASSERT_EQ(::mkdir(ErrorLogFileName().c_str(), 0755), 0);
  EXPECT_THROW(WriteProcessLog(&Service, "lost", UnwritableLogPath(), "", false),
               std::system_error);
  bool LockFree = false;
  std::thread Probe([&] {
    LockFree = TestLogLock.try_lock();
    if (LockFree) TestLogLock.unlock();
  });
  Probe.join();
  EXPECT_TRUE(LockFree);
}

TEST_F(ProcessLogTest, EventLogCopyCarriesTheLineWithTheSendersEventText) {
  const struct {
    const TObject* Sender;
    const char* Text;
  } Cases[] = {
      {&Plain, "DataBase error "},
      {&Service, "Service error "},
      {&Worker, "Module error [MAIL] "},
  };
  for (const auto& Case : Cases) {
    WriteProcessLog(Case.Sender, "first\r\nsecond", Dir.Path(), "", true);
    const auto Datagram = EventLog.Next();
    ASSERT_TRUE(Datagram) << Case.Text;
    const std::string Expected =
        std::string("RelaybirdSrv: ") + Case.Text + May3Stamp + "first second";
    ASSERT_GE(Datagram->size(), Expected.size());
    EXPECT_EQ(Datagram->substr(0, 4), "<14>");
    EXPECT_EQ(Datagram->substr(Datagram->size() - Expected.size()), Expected);
  }
  WriteProcessLog(&Service, "no copy", Dir.Path(), "", false);
  EXPECT_FALSE(EventLog.Next());
}

TEST_F(ProcessLogTest, UnreachableEventLogIsSilent) {
  SetEventLogSocketPath(Dir.Path() + "no-such.sock");
  WriteProcessLog(&Service, "still written", Dir.Path(), "", true);
  EXPECT_EQ(ReadFileBytes(Dir.Path() + May3File), May3Stamp + "still written\r\n");
  EXPECT_EQ(ErrorLogText(), "");
}

TEST_F(ProcessLogTest, ConcurrentWritersLeaveWholeLinesOnly) {
  constexpr int Threads = 8;
  constexpr int LinesPerThread = 300;
  // Few enough to fit the receiver's queue.
  constexpr int EventCopies = 5;
  const std::string Padding(200, '#');
  std::vector<std::thread> Writers;
  for (int T = 0; T < Threads; ++T) {
    Writers.emplace_back([&, T] {
      const TWorkerSender OwnWorker;
      for (int I = 0; I < LinesPerThread; ++I) {
        const std::string Msg = std::to_string(T) + ":" + std::to_string(I) + " " + Padding;
        WriteProcessLog(&Service, Msg, Dir.Path(), "", T == 0 && I < EventCopies);
        WriteProcessLog(&OwnWorker, Msg, Dir.Path(), "", false);
      }
    });
  }
  for (std::thread& Writer : Writers) Writer.join();

  for (const std::string& Name : {May3File, std::string("RelaybirdMAIL_2011_05_03.log")}) {
    const std::string Text = ReadFileBytes(Dir.Path() + Name);
    std::set<std::string> Seen;
    std::size_t Start = 0;
    while (Start < Text.size()) {
      const std::size_t End = Text.find("\r\n", Start);
      ASSERT_NE(End, std::string::npos) << Name;
      const std::string Line = Text.substr(Start, End - Start);
      ASSERT_EQ(Line.substr(0, May3Stamp.size()), May3Stamp) << Line;
      ASSERT_EQ(Line.substr(Line.size() - Padding.size() - 1), " " + Padding) << Line;
      Seen.insert(Line.substr(May3Stamp.size()));
      Start = End + 2;
    }
    EXPECT_EQ(Seen.size(), static_cast<std::size_t>(Threads * LinesPerThread)) << Name;
  }
  int Copies = 0;
  while (EventLog.Next()) ++Copies;
  EXPECT_EQ(Copies, EventCopies);
  EXPECT_EQ(ErrorLogText(), "");
}

}  // namespace
}  // namespace relaybird
