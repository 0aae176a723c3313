#include "service/message_id_set.h"

#include <gtest/gtest.h>

namespace relaybird {
namespace {

TEST(TMessageIdSetTest, LookUpsIgnoreCaseAndEntriesRepeat) {
  TMessageIdSet Ids;
  Ids.Add("e083abc");
  Ids.Add("E083ABC");
  Ids.Add("Ёлка");
  EXPECT_TRUE(Ids.Contains("E083Abc"));
  EXPECT_TRUE(Ids.Contains("ёЛКА"));
  EXPECT_FALSE(Ids.Contains("E083AB"));
  EXPECT_EQ(Ids.Count(), 3u);
  // One occurrence per deletion.
  EXPECT_TRUE(Ids.Delete("E083abc"));
  EXPECT_TRUE(Ids.Contains("e083ABC"));
  EXPECT_TRUE(Ids.Delete("e083abc"));
  EXPECT_FALSE(Ids.Contains("E083ABC"));
  EXPECT_FALSE(Ids.Delete("E083ABC"));
  Ids.Add("e083abc");
  EXPECT_TRUE(Ids.Contains("E083ABC"));
  Ids.Clear();
  EXPECT_EQ(Ids.Count(), 0u);
  EXPECT_FALSE(Ids.Contains("ёлка"));
}

TEST(TMessageIdSetTest, ManyAndLongIdentifiersStayFindable) {
  TMessageIdSet Ids;
  const std::string Long(70000, 'x');
  Ids.Add(Long);
  Ids.Add("");
  for (int I = 0; I < 200000; ++I) Ids.Add("ID" + std::to_string(I));
  for (int I = 0; I < 200000; I += 997) ASSERT_TRUE(Ids.Contains("id" + std::to_string(I))) << I;
  EXPECT_FALSE(Ids.Contains("ID200000"));
  EXPECT_TRUE(Ids.Contains(std::string(70000, 'X')));
  EXPECT_FALSE(Ids.Contains(std::string(69999, 'X')));
  EXPECT_TRUE(Ids.Contains(""));
  EXPECT_EQ(Ids.Count(), 200002u);
}

}  // namespace
}  // namespace relaybird
