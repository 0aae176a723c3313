#include "threads/threads_manager.h"

#include <gtest/gtest.h>

#include <memory>

#include "relaybird/base_thread.h"

namespace relaybird {
namespace {

class TIdleWorker : public TBaseThread {
 public:
  explicit TIdleWorker(const std::string& Name) { ThreadName = Name; }
  void ExtraStep() override {}

 protected:
  void LoadMessages() override {}
  void ProcessMessages() override {}
};

TEST(ThreadsManagerTest, FindsWorkersByNameWithoutRegardToCase) {
  TIdleWorker Mail("MAIL");
  TIdleWorker Post("Почта");
  TThreadsManager Registry;
  Registry.Add(&Mail);
  Registry.Add(nullptr);
  Registry.Add(&Post);

  EXPECT_EQ(Registry.Count(), 2);
  EXPECT_EQ(Registry.IndexOf("mail"), 0);
  EXPECT_EQ(Registry.IndexOf("ПОЧТА"), 1);
  EXPECT_EQ(Registry.IndexOf("SMS"), -1);
  EXPECT_EQ(Registry.Items(1), &Post);
  EXPECT_EQ(Registry.Items(2), nullptr);
}

TEST(ThreadsManagerTest, RemoveDropsTheEntryAndLeavesTheWorker) {
  TIdleWorker First("MAIL");
  TIdleWorker Second("mail");
  TThreadsManager Registry;
  Registry.Add(&First);
  Registry.Add(&Second);

  Registry.Remove("Mail");
  Registry.Remove("SMS");

  ASSERT_EQ(Registry.Count(), 1);
  EXPECT_EQ(Registry.Items(0), &Second);
  EXPECT_EQ(First.ThreadName, "MAIL");
}

}  // namespace
}  // namespace relaybird
