#include "platform/event_log.h"

#include <gtest/gtest.h>

#include <ctime>

#include "event_log_receiver.h"

namespace relaybird {
namespace {

TEST(EventLog, MessageTableTextsTakeTheInsertion) {
  const struct {
    int Id;
    const char* Expected;
  } Cases[] = {
      {1, "DataBase error [x] 100%1"},
      {2, "Service error [x] 100%1"},
      {3, "Module error [x] 100%1"},
      {4, "Unknown service error [x] 100%1"},
      {0, "Unknown service error [x] 100%1"},
      {5, "Unknown service error [x] 100%1"},
      {-1, "Unknown service error [x] 100%1"},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(EventMessageText(Case.Id, "[x] 100%1"), Case.Expected) << Case.Id;
  }
}

// What a syslog header of this moment looks like, day padded with a blank.
std::string SyslogHeaderNow() {
  const std::time_t Now = std::time(nullptr);
  std::tm Local{};
  localtime_r(&Now, &Local);
  static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char Buffer[32];
  std::strftime(Buffer, sizeof Buffer, " %e %H:%M:%S ", &Local);
  return std::string("<14>") + Months[Local.tm_mon] + Buffer;
}

TEST(EventLog, OneDatagramPerEntryUserFacilityInformational) {
  test::TEventLogReceiver Receiver;
  const std::string Before = SyslogHeaderNow();
  ASSERT_TRUE(ReportEvent("RelaybirdSrv", 2, "[03.05.2011 09:07:05.042]  Запуск\rи\nстоп"));
  ASSERT_TRUE(ReportEventText("relaybird", "dispatcher cannot start"));
  const std::string After = SyslogHeaderNow();

  const auto First = Receiver.Next();
  const auto Second = Receiver.Next();
  ASSERT_TRUE(First && Second);
  EXPECT_FALSE(Receiver.Next());
  const std::string Header = First->substr(0, Before.size());
  EXPECT_TRUE(Header == Before || Header == After) << *First;
  EXPECT_EQ(First->substr(Before.size()),
            "RelaybirdSrv: Service error [03.05.2011 09:07:05.042]  Запуск\rи\nстоп");
  EXPECT_EQ(Second->substr(Before.size()), "relaybird: dispatcher cannot start");
}

TEST(EventLog, DaemonThatStopsReadingCostsEntriesNotAHang) {
  test::TEventLogReceiver NeverRead;
  constexpr int Limit = 100000;
  int Sent = 0;
  while (Sent < Limit && ReportEventText("RelaybirdSrv", "filling the queue")) ++Sent;
  EXPECT_LT(Sent, Limit);
  EXPECT_TRUE(NeverRead.Next());
}

TEST(EventLog, UnreachableLogGivesFalse) {
  const std::string Previous = GetEventLogSocketPath();
  const test::TTempDir Dir;
  for (const std::string& Path :
       {Dir.Path() + "no-such.sock", Dir.Path(), std::string(), Dir.Path() + std::string(200, 'x')}) {
    SetEventLogSocketPath(Path);
    EXPECT_FALSE(ReportEvent("RelaybirdSrv", 1, "line")) << Path;
    EXPECT_FALSE(ReportEventText("RelaybirdSrv", "line")) << Path;
  }
  SetEventLogSocketPath(Previous);
}

}  // namespace
}  // namespace relaybird
