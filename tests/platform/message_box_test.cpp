#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace relaybird {
namespace {

struct TShown {
  TMessageKind Kind;
  std::string Caption;
  std::string Text;
};
std::vector<TShown> Shown;

void RecordBox(TMessageKind Kind, const std::string& Caption, const std::string& Text) {
  Shown.push_back({Kind, Caption, Text});
}

class MessageBoxTest : public testing::Test {
 protected:
  void SetUp() override { Shown.clear(); }
  void TearDown() override { SetMessageBoxHandler(nullptr); }
};

TEST_F(MessageBoxTest, WithoutAHandlerTheBoxGoesToStandardError) {
  testing::internal::CaptureStderr();
  ShowMessageBox(TMessageKind::Error, "Ошибка", "Нет связи");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Ошибка: Нет связи\n");
}

TEST_F(MessageBoxTest, AnInstalledHandlerGetsTheBoxUntilItIsRemoved) {
  SetMessageBoxHandler(&RecordBox);
  testing::internal::CaptureStderr();
  ShowMessageBox(TMessageKind::Warning, "Caption", "Text");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].Kind, TMessageKind::Warning);
  EXPECT_EQ(Shown[0].Caption, "Caption");
  EXPECT_EQ(Shown[0].Text, "Text");

  SetMessageBoxHandler(nullptr);
  testing::internal::CaptureStderr();
  ShowMessageBox(TMessageKind::Information, "Информация", "Done");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Информация: Done\n");
  EXPECT_EQ(Shown.size(), 1u);
}

}  // namespace
}  // namespace relaybird
