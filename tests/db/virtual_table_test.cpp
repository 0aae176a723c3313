#include "relaybird/virtual_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "relaybird/database_error.h"

namespace relaybird {
namespace {

// The columns of the failed-message table.
class TVirtualTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Table.AddField("id_mesg", TFieldType::ftString, 50);
    Table.AddField("id_type", TFieldType::ftInteger);
    Table.AddField("totarget", TFieldType::ftString, 100);
    Table.AddField("fcount", TFieldType::ftInteger);
    Table.Open();
  }
  std::vector<std::string> Ids() {
    std::vector<std::string> Result;
    for (Table.First(); !Table.Eof(); Table.Next()) Result.push_back(Table.FieldByName("ID_MESG").AsString());
    return Result;
  }
  TVirtualTable Table;
};

TEST_F(TVirtualTableTest, KeepsTheOrderOfAppendingAndReadsTypedValues) {
  Table.AppendRecord({"B", 0, "b@example", 3});
  Table.AppendRecord({"A", "2", "a@example", 1});
  EXPECT_EQ(Table.RecordCount(), 2);
  EXPECT_EQ(Ids(), (std::vector<std::string>{"B", "A"}));
  Table.First();
  Table.Next();
  EXPECT_EQ(Table.RecNo(), 1);
  EXPECT_EQ(Table.FieldByName("id_type").AsInteger(), 2);
  EXPECT_EQ(Table.FieldByName("totarget").AsString(), "a@example");
  Table.Next();
  EXPECT_TRUE(Table.Eof());
  EXPECT_THROW(Table.FieldByName("id_mesg"), EDatabaseError);
}

TEST_F(TVirtualTableTest, IndexOrdersAscendingAndKeepsTiesInArrivalOrder) {
  Table.SetIndexFieldNames("fcount");
  // Failure counts 1, 4, 2 and 4 give fcount 4, 1, 3 and 1.
  Table.AppendRecord({"ONE", 0, "", 4});
  Table.AppendRecord({"FOUR", 0, "", 1});
  Table.AppendRecord({"TWO", 0, "", 3});
  Table.AppendRecord({"FOUR_TOO", 0, "", 1});
  EXPECT_EQ(Ids(), (std::vector<std::string>{"FOUR", "FOUR_TOO", "TWO", "ONE"}));

  Table.SetIndexFieldNames("");
  Table.AppendRecord({"LAST", 0, "", 0});
  EXPECT_EQ(Ids().back(), "LAST");
  EXPECT_THROW(Table.SetIndexFieldNames("no_such_field"), EDatabaseError);
}

TEST_F(TVirtualTableTest, RefusesRowsThatDoNotFit) {
  struct TCase {
    const char* Name;
    std::vector<TFieldValue> Values;
  };
  const TCase Cases[] = {
      {"text longer than its column", {std::string(51, 'x'), 0, "", 0}},
      {"text for an integer", {"A", "zwei", "", 0}},
      {"too few values", {"A", 0, ""}},
  };
  for (const auto& Case : Cases) {
    EXPECT_THROW(Table.AppendRecord(Case.Values), EDatabaseError) << Case.Name;
  }
  EXPECT_EQ(Table.RecordCount(), 0);
  // 50 Cyrillic letters are 50 characters, not 100 bytes.
  std::string Fifty;
  for (int I = 0; I < 50; ++I) Fifty += "Ж";
  Table.AppendRecord({Fifty, 0, "", 0});
  EXPECT_EQ(Table.RecordCount(), 1);
}

TEST_F(TVirtualTableTest, ClearCloseAndColumnRules) {
  Table.AppendRecord({"A", 0, "", 0});
  Table.Clear();
  EXPECT_EQ(Table.RecordCount(), 0);
  EXPECT_TRUE(Table.Eof());
  EXPECT_EQ(Table.RecNo(), -1);

  EXPECT_THROW(Table.AddField("late", TFieldType::ftInteger), EDatabaseError);
  Table.AppendRecord({"A", 0, "", 0});
  Table.Close();
  EXPECT_FALSE(Table.Active());
  EXPECT_EQ(Table.RecordCount(), 0);
  EXPECT_THROW(Table.AppendRecord({"A", 0, "", 0}), EDatabaseError);
  EXPECT_THROW(Table.AddField("ID_MESG", TFieldType::ftInteger), EDatabaseError);
  EXPECT_THROW(Table.AddField("no_size", TFieldType::ftString), EDatabaseError);
  Table.Open();
  Table.AppendRecord({TFieldValue::Null(), 0, "", 0});
  EXPECT_TRUE(Table.FieldByName("id_mesg").IsNull());
}

TEST(TFieldValueTest, ConvertsAsDriversDeliverNumbers) {
  struct TCase {
    TFieldValue Value;
    std::int64_t Integer;
    double Float;
    std::string Text;
  };
  const TCase Cases[] = {
      {"5", 5, 5.0, "5"},
      {" -7 ", -7, -7.0, " -7 "},
      {"2.0", 2, 2.0, "2.0"},
      {"1e3", 1000, 1000.0, "1e3"},
      {std::int64_t{42}, 42, 42.0, "42"},
      {2.75, 3, 2.75, "2.75"},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(Case.Value.AsInteger(), Case.Integer) << Case.Text;
    EXPECT_DOUBLE_EQ(Case.Value.AsFloat(), Case.Float) << Case.Text;
    EXPECT_EQ(Case.Value.AsString(), Case.Text);
  }
  struct TBad {
    TFieldValue Value;
    int Code;
  };
  const TBad Bad[] = {{"abc", 1722}, {"", 1722}, {"1e30", 1426}, {TFieldValue::Null(), 1405}};
  for (const auto& Case : Bad) {
    try {
      Case.Value.AsInteger();
      ADD_FAILURE() << "read as integer: " << Case.Value.AsString();
    } catch (const EDatabaseError& Error) {
      EXPECT_EQ(Error.ErrorCode(), Case.Code) << Case.Value.AsString();
    }
  }
  EXPECT_EQ(TFieldValue::Null().AsString(), "");
}

}  // namespace
}  // namespace relaybird
