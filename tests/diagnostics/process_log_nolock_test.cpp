// Runs in a process of its own: once registered, a log lock stays.
#include <gtest/gtest.h>

#include "relaybird/process_log.h"
#include "event_log_receiver.h"
#include "platform/exe_path.h"
#include "test_support.h"

namespace relaybird {
namespace {

TEST(ProcessLogLock, NothingIsWrittenUntilALockIsRegisteredAndNullNeverReplacesIt) {
  const test::TTempDir Dir;
  test::TEventLogReceiver EventLog;
  const TObject Sender;
  ASSERT_EQ(GetLogLock(), nullptr);
  WriteProcessLog(&Sender, "too early", Dir.Path() + "logs", "", true);
  EXPECT_FALSE(DirectoryExists(Dir.Path() + "logs"));
  EXPECT_FALSE(EventLog.Next());

  SetLogLock(nullptr);
  EXPECT_EQ(GetLogLock(), nullptr);
  std::recursive_mutex First;
  std::recursive_mutex Second;
  SetLogLock(&First);
  SetLogLock(nullptr);
  EXPECT_EQ(GetLogLock(), &First);
  SetLogLock(&Second);
  EXPECT_EQ(GetLogLock(), &Second);

  WriteProcessLog(&Sender, "now written", Dir.Path() + "logs", "", true);
  EXPECT_TRUE(FileExists(ProcessLogFileName(&Sender, Dir.Path() + "logs", "")));
  EXPECT_TRUE(EventLog.Next());
}

}  // namespace
}  // namespace relaybird
