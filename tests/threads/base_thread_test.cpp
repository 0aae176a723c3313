#include "relaybird/base_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string_view>

#include "catalogue_environment.h"
#include "diagnostics/error_log.h"
#include "relaybird/process_log.h"
#include "diagnostics/time_stamp.h"
#include "relaybird/catalogue.h"
#include "i18n/translator.h"
#include "platform/exe_path.h"
#include "relaybird/text_format.h"
#include "test_support.h"
#include "tests/diagnostics/event_log_receiver.h"

namespace relaybird {
namespace {

using test::ReadFileBytes;
using test::TTempDir;
using test::WriteFileBytes;
using ::testing::HasSubstr;

const auto* const CatalogueEnvironment =
    ::testing::AddGlobalTestEnvironment(new test::TCatalogueEnvironment);

std::recursive_mutex TestLogLock;

// How a run of the test worker goes.
struct TRun {
  int Records = 5;
  bool OpenTable = true;
  bool WithContext = true;
  std::int32_t Sent = 0;
  std::int32_t Outcome1 = 0;
  std::int32_t Outcome2 = 0;
  bool Throws = false;
};

// What a worker leaves behind for the test, which outlives it. Written on the
// worker's thread, read after TThreadLink::WaitFor.
struct TProbe {
  bool Loaded = false;
  bool Processed = false;
  int Finished = 0;
  std::string FinishedName;
  bool Destroyed = false;
  std::vector<TMessageStatusRec> Statuses;
  std::vector<std::string> RunStrings;
};

class TTestWorker : public TBaseThread {
 public:
  TTestWorker(TProbe& Probe, TRun Run) : FProbe(Probe), FRun(Run) {}
  ~TTestWorker() override { FProbe.Destroyed = true; }
  void ExtraStep() override {}

  // Runs in ProcessMessages, on the worker's thread.
  std::function<void(TTestWorker&)> WhileProcessing;

 protected:
  void LoadMessages() override {
    FProbe.Loaded = true;
    if (!FRun.OpenTable) return;
    Table.AddField("id_mesg", TFieldType::ftString, 50);
    Table.Open();
    for (int i = 0; i < FRun.Records; ++i) Table.AppendRecord({"M" + std::to_string(i)});
  }
  void ProcessMessages() override {
    FProbe.Processed = true;
    FProbe.Statuses = Statuses;
    FProbe.RunStrings = RunStrings;
    if (WhileProcessing) WhileProcessing(*this);
    if (FRun.Throws) throw std::runtime_error("gate refused");
    SentCount = FRun.Sent;
    Outcome1 = FRun.Outcome1;
    Outcome2 = FRun.Outcome2;
  }

 private:
  TProbe& FProbe;
  TRun FRun;
};

const std::vector<TMessageStatusRec> EightStatuses = {
    {0, "INORDER", false}, {1, "SENDED", false}, {2, "STOP", true},        {3, "ERRGATE", true},
    {4, "INPROC", false},  {5, "INPROC", true},  {6, "FORMATERROR", true}, {7, "SRVERROR", true},
};

int Context = 0;

class BaseThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLogLock(&TestLogLock);
    test::RemovePath(ErrorLogFileName());
  }
  // A line the process log loses is reported in the error log.
  void TearDown() override {
    EXPECT_FALSE(std::filesystem::exists(ErrorLogFileName()));
    test::RemovePath(ErrorLogFileName());
  }

  std::unique_ptr<TTestWorker> NewWorker(const TRun& Run, const std::string& ServiceName = "MAIL") {
    auto Worker = std::make_unique<TTestWorker>(FProbe, Run);
    Worker->Settings.AccessLogPath = FLogs.Path();
    Worker->Settings.TempDir = FTemp.Path();
    Worker->ServiceName = ServiceName;
    Worker->ThreadName = "Sender1";
    Worker->Context = Run.WithContext ? &Context : nullptr;
    Worker->OnFinish = [this](TBaseThread&, const std::string& ThreadName) {
      ++FProbe.Finished;
      FProbe.FinishedName = ThreadName;
    };
    Worker->RunStrings = {"left from before"};
    return Worker;
  }

  // Starts the worker, which then owns itself, and waits until it is gone.
  void RunToEnd(std::unique_ptr<TTestWorker> Worker) {
    const TThreadLink Link = Worker->Start();
    Worker.release();
    Link.WaitFor();
  }

  std::string LogFile(const std::string& ServiceName = "MAIL") const {
    return FLogs.Path() + "Relaybird" + ServiceName + "_" + FormatLogFileDate(std::chrono::system_clock::now()) +
           ".log";
  }

  // The one line of the log, checked for its frame, without time stamp.
  std::string OnlyLogLine(const std::string& ServiceName = "MAIL") const {
    const std::string Log = ReadFileBytes(LogFile(ServiceName));
    constexpr std::string_view Frame = "[00.00.0000 00:00:00.000]  ";
    bool Framed = Log.size() >= Frame.size() + 2 && Log.find("\r\n") == Log.size() - 2;
    for (std::size_t i = 0; Framed && i < Frame.size(); ++i) {
      Framed = Frame[i] == '0' ? std::isdigit(static_cast<unsigned char>(Log[i])) != 0 : Log[i] == Frame[i];
    }
    if (!Framed) return "not one log line: " + Log;
    return Log.substr(Frame.size(), Log.size() - Frame.size() - 2);
  }

  void MakeTempFiles() const {
    std::filesystem::create_directories(FTemp.Path() + "MAIL/parts");
    std::filesystem::create_directories(FTemp.Path() + "SMS");
    WriteFileBytes(FTemp.Path() + "MAIL/letter.eml", "1");
    WriteFileBytes(FTemp.Path() + "MAIL/parts/attachment", "2");
    WriteFileBytes(FTemp.Path() + "SMS/text.txt", "3");
    WriteFileBytes(FTemp.Path() + "own.tmp", "4");
  }

  bool Exists(const std::string& Name) const { return std::filesystem::exists(FTemp.Path() + Name); }

  TTempDir FLogs;
  TTempDir FTemp;
  TProbe FProbe;
};

struct TSummaryCase {
  TRun Run;
  bool Failure;
};

class BaseThreadSummaryTest : public BaseThreadTest, public ::testing::WithParamInterface<TSummaryCase> {};

TEST_P(BaseThreadSummaryTest, RunEndsWithOneSummaryLine) {
  const TSummaryCase& Case = GetParam();
  RunToEnd(NewWorker(Case.Run));

  const std::string Text = Case.Failure ? cstNotSendedMessage
                                        : Format(cstSendedMessages, Case.Run.Sent, Case.Run.Records);
  EXPECT_EQ(OnlyLogLine(), "(Sender1) " + Text);
  EXPECT_EQ(FProbe.Statuses, EightStatuses);
  EXPECT_TRUE(FProbe.RunStrings.empty());
}

INSTANTIATE_TEST_SUITE_P(Summaries, BaseThreadSummaryTest,
                         ::testing::Values(TSummaryCase{{.Records = 5, .Sent = 3}, false},
                                           TSummaryCase{{.Records = 4, .Outcome1 = 1}, false},
                                           TSummaryCase{{.Records = 4, .Outcome2 = 1}, false},
                                           TSummaryCase{{.Records = 4, .Outcome1 = 1, .Outcome2 = 2}, true},
                                           TSummaryCase{{.Records = 2, .Sent = 2, .Outcome1 = 1, .Outcome2 = 1},
                                                        false}));

class BaseThreadNothingToSendTest : public BaseThreadTest, public ::testing::WithParamInterface<TRun> {};

TEST_P(BaseThreadNothingToSendTest, RunStopsAfterLoadingWithoutSending) {
  MakeTempFiles();
  RunToEnd(NewWorker(GetParam()));

  EXPECT_TRUE(FProbe.Loaded);
  EXPECT_FALSE(FProbe.Processed);
  EXPECT_EQ(OnlyLogLine(), "(Sender1) " + cstNotSendedMessage);
  EXPECT_TRUE(Exists("MAIL/letter.eml"));
  EXPECT_EQ(FProbe.Finished, 1);
  EXPECT_TRUE(FProbe.Destroyed);
}

INSTANTIATE_TEST_SUITE_P(Cases, BaseThreadNothingToSendTest,
                         ::testing::Values(TRun{.WithContext = false}, TRun{.OpenTable = false},
                                           TRun{.Records = 0}));

TEST_F(BaseThreadTest, RunRemovesTheFilesOfItsServiceOnly) {
  MakeTempFiles();
  auto Worker = NewWorker({.Sent = 5});
  Worker->Settings.TempDir = FTemp.Path() + "/";
  RunToEnd(std::move(Worker));

  EXPECT_FALSE(Exists("MAIL/letter.eml"));
  EXPECT_FALSE(Exists("MAIL/parts/attachment"));
  EXPECT_TRUE(Exists("MAIL/parts"));
  EXPECT_TRUE(Exists("SMS/text.txt"));
  EXPECT_TRUE(Exists("own.tmp"));
}

TEST_F(BaseThreadTest, WorkerWithoutServiceNameLeavesTheTemporaryDirectoryAlone) {
  MakeTempFiles();
  RunToEnd(NewWorker({.Sent = 5}, ""));

  EXPECT_EQ(OnlyLogLine(""), "(Sender1) " + Format(cstSendedMessages, 5, 5));
  EXPECT_TRUE(Exists("own.tmp"));
  EXPECT_TRUE(Exists("MAIL/letter.eml"));
}

TEST_F(BaseThreadTest, ErrorEndsTheRunButNotTheFinish) {
  MakeTempFiles();
  RunToEnd(NewWorker({.Throws = true}));

  EXPECT_TRUE(FProbe.Processed);
  EXPECT_EQ(FProbe.Finished, 1);
  EXPECT_EQ(FProbe.FinishedName, "Sender1");
  EXPECT_TRUE(FProbe.Destroyed);
  EXPECT_FALSE(std::filesystem::exists(LogFile()));
  EXPECT_TRUE(Exists("MAIL/letter.eml"));
}

TEST_F(BaseThreadTest, WorkerAskedToTerminateBeforeItsRunDoesNothing) {
  auto Worker = NewWorker({.Sent = 5});
  Worker->Terminate();
  RunToEnd(std::move(Worker));

  EXPECT_FALSE(FProbe.Loaded);
  EXPECT_EQ(FProbe.Finished, 1);
  EXPECT_TRUE(FProbe.Destroyed);
  EXPECT_FALSE(std::filesystem::exists(LogFile()));
}

TEST_F(BaseThreadTest, LinkAsksARunningWorkerToEnd) {
  std::promise<void> Entered;
  auto Worker = NewWorker({.Sent = 1});
  bool SawRequest = false;
  Worker->WhileProcessing = [&](TTestWorker& Self) {
    Entered.set_value();
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Self.Terminated() && std::chrono::steady_clock::now() < Deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    SawRequest = Self.Terminated();
  };
  TThreadLink Link = Worker->Start();
  Worker.release();
  Entered.get_future().wait();
  EXPECT_FALSE(Link.Finished());

  Link.Terminate();
  Link.WaitFor();

  EXPECT_TRUE(SawRequest);
  EXPECT_TRUE(Link.Finished());
  EXPECT_TRUE(FProbe.Destroyed);
}

TEST_F(BaseThreadTest, WorkersRunningTogetherWriteWholeLines) {
  constexpr int Workers = 4;
  std::vector<TProbe> Probes(Workers);
  std::vector<TThreadLink> Links;
  for (int i = 0; i < Workers; ++i) {
    auto Worker = std::make_unique<TTestWorker>(Probes[i], TRun{.Records = 3, .Sent = 3});
    Worker->Settings.AccessLogPath = FLogs.Path();
    Worker->Settings.TempDir = FTemp.Path();
    Worker->ServiceName = "MAIL";
    Worker->ThreadName = "Sender" + std::to_string(i);
    Worker->Context = &Context;
    Links.push_back(Worker->Start());
    Worker.release();
  }
  for (const TThreadLink& Link : Links) Link.WaitFor();

  const std::string Log = ReadFileBytes(LogFile());
  for (int i = 0; i < Workers; ++i) {
    EXPECT_THAT(Log, HasSubstr("]  (Sender" + std::to_string(i) + ") " + Format(cstSendedMessages, 3, 3) + "\r\n"));
    EXPECT_TRUE(Probes[i].Destroyed);
  }
}

TEST_F(BaseThreadTest, FillMessageStatusAlwaysGivesTheEightRows) {
  auto Worker = NewWorker({});
  Worker->FillMessageStatus();
  Worker->FillMessageStatus();
  EXPECT_EQ(Worker->Statuses, EightStatuses);
  // Never started: the creator still owns it.
  Worker.reset();
  EXPECT_TRUE(FProbe.Destroyed);
}

struct TEventCase {
  bool ToEventLog;
  bool AccessSysLog;
  bool Copied;
};

class BaseThreadEventLogTest : public BaseThreadTest, public ::testing::WithParamInterface<TEventCase> {};

TEST_P(BaseThreadEventLogTest, EventLogCopyNeedsBothTheCallAndTheSettings) {
  const TEventCase& Case = GetParam();
  test::TEventLogReceiver EventLog;
  auto Worker = NewWorker({});
  Worker->Settings.AccessSysLog = Case.AccessSysLog;

  Worker->Log("gate closed", Case.ToEventLog);

  EXPECT_EQ(OnlyLogLine(), "(Sender1) gate closed");
  const auto Datagram = EventLog.Next();
  ASSERT_EQ(Datagram.has_value(), Case.Copied);
  if (Case.Copied) {
    EXPECT_THAT(*Datagram, HasSubstr("Module error [MAIL] ["));
  }
}

INSTANTIATE_TEST_SUITE_P(Flags, BaseThreadEventLogTest,
                         ::testing::Values(TEventCase{true, true, true}, TEventCase{true, false, false},
                                           TEventCase{false, true, false}));

}  // namespace

void PrintTo(const TMessageStatusRec& Status, std::ostream* Out) {
  *Out << Status.Code << " " << Status.Name << " " << Status.Failed;
}

}  // namespace relaybird
