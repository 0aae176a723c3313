#include "diagnostics/error_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <system_error>
#include <thread>
#include <vector>

#include "diagnostics/assertion.h"
#include "diagnostics/time_stamp.h"
#include "local_time.h"
#include "platform/exe_path.h"
#include "test_support.h"

namespace relaybird {
namespace {

struct TAssertCall {
  std::string Message;
  std::string SourceFile;
  int LineNumber;
};

std::vector<TAssertCall> AssertCalls;

void RecordAssert(const std::string& Message, const std::string& SourceFile, int LineNumber,
                  const void*) {
  AssertCalls.push_back({Message, SourceFile, LineNumber});
}

class AssertionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AssertCalls.clear();
    SetAssertHandler(nullptr);
  }
  void TearDown() override { SetAssertHandler(nullptr); }
};

TEST_F(AssertionTest, WithoutHandlerTheTextGoesToStandardError) {
  ::testing::internal::CaptureStderr();
  AssertFailed("Нет связи", "uService", 873);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Нет связи (uService, line 873)\n");
}

TEST_F(AssertionTest, HandlerGetsMessageFileAndLineOfFailedAssertionsOnly) {
  SetAssertHandler(&RecordAssert);
  EXPECT_EQ(GetAssertHandler(), &RecordAssert);
  RB_ASSERT(1 + 1 == 2, "never reported");
  const int FailingLine = __LINE__ + 1;
  RB_ASSERT(1 + 1 == 3, std::string("reported"));
  ASSERT_EQ(AssertCalls.size(), 1u);
  EXPECT_EQ(AssertCalls[0].Message, "reported");
  EXPECT_EQ(AssertCalls[0].SourceFile, __FILE__);
  EXPECT_EQ(AssertCalls[0].LineNumber, FailingLine);
}

class ErrorLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::RemovePath(ErrorLogFileName());
    SetAssertHandler(&WriteErrorLog);
  }
  void TearDown() override {
    SetAssertHandler(nullptr);
    test::RemovePath(ErrorLogFileName());
  }
};

TEST_F(ErrorLogTest, FileLiesBesideTheExecutable) {
  EXPECT_EQ(ErrorLogFileName(), ExecutableDir() + "Relaybird_Errors.log");
}

TEST_F(ErrorLogTest, TwoAssertionsGiveTwoEntriesEachFollowedByAnEmptyLine) {
  AssertFailed("Ошибка логирования. Сообщение: x", "CommonUtils", 216);
  AssertFailed("second\twith tab", "uService", 873);
  EXPECT_EQ(test::MaskTimeStamps(test::ReadFileBytes(ErrorLogFileName())),
            "[STAMP]\r\nCommonUtils\t216\tОшибка логирования. Сообщение: x\r\n\r\n"
            "[STAMP]\r\nuService\t873\tsecond\twith tab\r\n\r\n");
}

TEST_F(ErrorLogTest, StampIsTheTimeOfWriting) {
  const auto Before = std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
  WriteErrorLog("m", "f", 1, nullptr);
  const auto After = std::chrono::system_clock::now();
  const std::string Stamp = test::ReadFileBytes(ErrorLogFileName()).substr(1, 23);
  bool Within = false;
  for (auto Time = Before; Time <= After && !Within; Time += std::chrono::milliseconds(1)) {
    Within = FormatLogTimeStamp(Time) == Stamp;
  }
  EXPECT_TRUE(Within) << Stamp;
}

TEST_F(ErrorLogTest, ExistingEntriesAreKept) {
  test::WriteFileBytes(ErrorLogFileName(), "earlier\r\n");
  WriteErrorLog("m", "f", 1, nullptr);
  EXPECT_EQ(test::MaskTimeStamps(test::ReadFileBytes(ErrorLogFileName())),
            "earlier\r\n[STAMP]\r\nf\t1\tm\r\n\r\n");
}

TEST_F(ErrorLogTest, FileThatCannotBeOpenedRaisesAfterReleasingTheLock) {
  ASSERT_EQ(::mkdir(ErrorLogFileName().c_str(), 0755), 0);
  EXPECT_THROW(AssertFailed("lost", "f", 1), std::system_error);
  bool LockFree = false;
  std::thread Probe([&] {
    LockFree = ErrorLogLock().try_lock();
    if (LockFree) ErrorLogLock().unlock();
  });
  Probe.join();
  EXPECT_TRUE(LockFree);
}

}  // namespace
}  // namespace relaybird
