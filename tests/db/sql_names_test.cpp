#include "db/sql_names.h"

#include <gtest/gtest.h>

#include "db/tns_names.h"
#include "test_support.h"

namespace relaybird {
namespace {

TEST(TSqlNamesTest, OnlyPlainIdentifiersPass) {
  struct TCase {
    const char* Name;
    bool Plain;
    bool Qualified;
  };
  const TCase Cases[] = {
      {"KOBALTIX5", true, true},
      {"kobaltix5", true, true},
      {"APP$USER#1", true, true},
      {"kobaltix5.orvanta5_bd.preparation_letter", false, true},
      {"", false, false},
      {"5KOBALTIX", false, false},
      {"KOBALTIX 5", false, false},
      {"x;drop table y", false, false},
      {"\"KOBALTIX5\"", false, false},
      {"a..b", false, false},
      {".a", false, false},
      {"a.", false, false},
      {"Схема", false, false},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(IsPlainIdentifier(Case.Name), Case.Plain) << Case.Name;
    EXPECT_EQ(IsQualifiedName(Case.Name), Case.Qualified) << Case.Name;
  }
  EXPECT_TRUE(IsPlainIdentifier(std::string(128, 'a')));
  EXPECT_FALSE(IsPlainIdentifier(std::string(129, 'a')));
}

TEST(TTnsNamesTest, ReadsTheTopLevelNames) {
  struct TCase {
    const char* Name;
    std::string Content;
    std::vector<std::string> Aliases;
  };
  const TCase Cases[] = {
      {"one per definition, nested lists",
       "ORCL =\n  (DESCRIPTION =\n    (ADDRESS_LIST = (ADDRESS = (PROTOCOL = TCP)(HOST = h)(PORT = 1521)))\n"
       "    (CONNECT_DATA = (SID = X)))\nTEST.WORLD=(DESCRIPTION=(ADDRESS=(HOST=a)))\n",
       {"ORCL", "TEST.WORLD"}},
      {"several names, comments",
       "# ORCL = (nothing)\nA, b = (DESCRIPTION = (ADDRESS = (HOST = h))) # trailing\n", {"A", "b"}},
      {"include lines are no names",
       "IFILE = /etc/oracle/other.ora\nNEXT = (DESCRIPTION = (ADDRESS = (HOST = h)))\n", {"NEXT"}},
      {"empty file", "", {}},
  };
  test::TTempDir Dir;
  for (const auto& Case : Cases) {
    test::WriteFileBytes(Dir.Path() + "tnsnames.ora", Case.Content);
    EXPECT_EQ(ReadTnsAliases(Dir.Path() + "tnsnames.ora"), Case.Aliases) << Case.Name;
  }
  EXPECT_TRUE(ReadTnsAliases(Dir.Path() + "missing.ora").empty());
}

}  // namespace
}  // namespace relaybird
