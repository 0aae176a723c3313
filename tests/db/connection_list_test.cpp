#include "db/connection_list.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "relaybird/scrambler.h"
#include "core/settings_file.h"
#include "database_fixture.h"
#include "db/ora_client_homes.h"
#include "relaybird/ini_file.h"
#include "test_support.h"

namespace relaybird::test {
namespace {

class TConnectionListFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSettingsFileName();
    RemovePath(SettingsFileName);
  }
  void TearDown() override { RemovePath(SettingsFileName); }
  void WriteConnections(const std::string& Lines) {
    WriteFileBytes(SettingsFileName, "[Service]\nTimeoutConnect=1\n[Connection]\n" + Lines + "[Other]\nx=1\n");
  }
};

TEST_F(TConnectionListFileTest, LoadsEveryWellFormedKey) {
  std::string Secret = ScrambleText("Пароль1", ScrambleKey);
  WriteConnections("Item_0=1# ORCL #scott#" + Secret + "# APP \n"
                   "Item_1=0#A#B#C\n"
                   "Any_Name=####\n"
                   "Item_3=2#S#U#P#Q#R\n"
                   "Item_4=abc#S#U##Q\n");
  TConnectionList List(false);
  List.LoadConnections();
  ASSERT_EQ(List.Count(), 3);
  EXPECT_EQ(*List.Items(0), (TConnectionSettings{1, "ORCL", "scott", "Пароль1", "APP"}));
  EXPECT_EQ(*List.Items(1),
            (TConnectionSettings{0, "KOBALTIX", "KOBALTIX5", DefaultOraPassword, "KOBALTIX5"}));
  EXPECT_EQ(*List.Items(2), (TConnectionSettings{0, "S", "U", DefaultOraPassword, "Q"}));

  // Loading again replaces the content.
  WriteConnections("");
  List.LoadConnections();
  EXPECT_EQ(List.Count(), 0);
  EXPECT_TRUE(List.AttemptsExhausted());
  RemovePath(SettingsFileName);
  List.LoadConnections();
  EXPECT_EQ(List.Count(), 0);
}

TEST_F(TConnectionListFileTest, SavesInTheSectionFormat) {
  WriteConnections("Old=0#X#Y#Z#W\n");
  TConnectionList List(false);
  List.Add({0, "ORCL", "scott", "tiger", "APP"});
  List.Add({2, " SRV ", "u", "   ", "S"});
  List.SaveConnections();

  TIniFile Ini(SettingsFileName);
  auto Values = Ini.ReadSectionValues("Connection");
  ASSERT_EQ(Values.size(), 2u);
  EXPECT_EQ(Values[0].first, "Item_0");
  EXPECT_EQ(Values[0].second, "0#ORCL#scott#" + ScrambleText("tiger", ScrambleKey) + "#APP");
  EXPECT_EQ(Values[1].first, "Item_1");
  EXPECT_EQ(Values[1].second, "2# SRV #u#" + ScrambleText(DefaultOraPassword, ScrambleKey) + "#S");
  EXPECT_EQ(Ini.ReadString("Other", "x", ""), "1");

  TConnectionList Loaded(false);
  Loaded.LoadConnections();
  ASSERT_EQ(Loaded.Count(), 2);
  EXPECT_EQ(*Loaded.Items(0), *List.Items(0));
}

TEST_F(TConnectionListFileTest, RefusesToSaveWhatCouldNotBeReadBack) {
  WriteConnections("Item_0=0#KEEP#ME#" + ScrambleText("x", ScrambleKey) + "#S\n");
  TConnectionList List(false);
  List.Add({0, "ORCL", "app#1", "pw", "APP"});
  EXPECT_THROW(List.SaveConnections(), EConnectionListError);
  List.Update(0, {0, "ORCL\nX", "app", "pw", "APP"});
  EXPECT_THROW(List.SaveConnections(), EConnectionListError);
  TConnectionList Loaded(false);
  Loaded.LoadConnections();
  ASSERT_EQ(Loaded.Count(), 1);
  EXPECT_EQ(Loaded.Items(0)->OraServer, "KEEP");
}

TEST(TConnectionListTest, ItemsKeepTheirAddressesWhenOthersGo) {
  TConnectionList List(false);
  List.Add({0, "A", "u", "p", "s"});
  List.Add({0, "B", "u", "p", "s"});
  List.Add({0, "C", "u", "p", "s"});
  TConnectionSettings* B = List.Items(1);
  TConnectionSettings* C = List.Items(2);
  List.Delete(0);
  ASSERT_EQ(List.Count(), 2);
  EXPECT_EQ(List.Items(0), B);
  EXPECT_EQ(List.Items(1), C);
  EXPECT_EQ(B->OraServer, "B");
  EXPECT_EQ(List.IndexOf(C), 1);
  TConnectionSettings Outside;
  EXPECT_EQ(List.IndexOf(&Outside), -1);

  List.Update(5, {0, "X", "u", "p", "s"});
  EXPECT_EQ(List.Items(1)->OraServer, "C");
  EXPECT_THROW(List.Items(2), std::out_of_range);
  EXPECT_THROW(List.Delete(-1), std::out_of_range);
  EXPECT_EQ(List.Sessions(0), nullptr);
  EXPECT_EQ(List.Attempts(0), 0);
  EXPECT_FALSE(List.AttemptsExhausted());
  List.Clear();
  EXPECT_EQ(List.Count(), 0);
}

TEST(TConnectionListTest, CountersStayWithTheirPositions) {
  TConnectionList List(true);
  EXPECT_TRUE(List.AttemptsExhausted());
  for (const char* Server : {"A", "B", "C"}) List.Add({0, Server, "u", "p", "s"});
  EXPECT_EQ(List.Sessions(5), nullptr);
  EXPECT_EQ(List.Attempts(-1), 0);
  List.IncAttempts(7);

  const int Counters[] = {5, 7, 5};
  for (int I = 0; I < 3; ++I) {
    for (int N = 0; N < Counters[I]; ++N) List.IncAttempts(I);
  }
  EXPECT_TRUE(List.AttemptsExhausted());
  TOraSession* Last = List.Sessions(2);
  List.Delete(1);
  EXPECT_EQ(List.Attempts(0), 5);
  EXPECT_EQ(List.Attempts(1), 5);
  EXPECT_EQ(List.Sessions(1), Last);
  EXPECT_EQ(List.Sessions(1)->Server(), "C");

  // Counters 5 and 4.
  List.Update(1, {0, "C", "u", "p", "s"});
  for (int N = 0; N < 4; ++N) List.IncAttempts(1);
  EXPECT_FALSE(List.AttemptsExhausted());
  List.ResetAttempts();
  EXPECT_EQ(List.Attempts(0), 0);
}

TEST(TConnectionListTest, SessionsTakeTheirHomeFromThePosition) {
  const auto& Homes = OraClientHomes();
  ASSERT_GE(Homes.Names.size(), 2u) << "the test configuration has two drivers";
  TConnectionList List(true);
  List.Add({1, "ORCL", "u", "p", "APP"});
  List.Add({99, "ORCL", "u", "p", "APP"});
  EXPECT_EQ(List.Sessions(0)->HomeName(), Homes.Names[1]);
  EXPECT_EQ(List.Sessions(0)->Schema(), "APP");
  EXPECT_EQ(List.Sessions(1)->HomeName(), "");
  List.Update(1, {0, "KOBALTIX", "x", "y", "Z"});
  EXPECT_EQ(List.Sessions(1)->HomeName(), Homes.Names[0]);
  EXPECT_EQ(List.Sessions(1)->Username(), "x");
  EXPECT_EQ(List.Sessions(1)->Password(), "y");
}

class TConnectionListSessionTest : public TDatabaseTest {};

TEST_F(TConnectionListSessionTest, UpdateDisconnectsOnlyItsOwnSession) {
  TConnectionList List(true);
  List.Add(FixtureSettings());
  List.Add(FixtureSettings());
  List.Sessions(0)->Connect();
  List.Sessions(1)->Connect();
  List.IncAttempts(0);
  List.IncAttempts(1);

  TConnectionSettings Changed = FixtureSettings();
  Changed.OraSchema = "orvanta5_bd";
  List.Update(1, Changed);
  EXPECT_TRUE(List.Sessions(0)->Connected());
  EXPECT_EQ(List.Attempts(0), 1);
  EXPECT_FALSE(List.Sessions(1)->Connected());
  EXPECT_EQ(List.Attempts(1), 0);
  List.Sessions(1)->Connect();
  EXPECT_EQ(QueryValue(*List.Sessions(1), "select current_schema()"), "orvanta5_bd");
}

// The server side of a closed connection goes away shortly after the client
// has said goodbye.
bool BackendGone(TOraSession& Observer, const std::string& Pid) {
  for (int I = 0; I < 500; ++I) {
    if (QueryValue(Observer, "select count(*) from pg_stat_activity where pid = " + Pid) == "0") return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_F(TConnectionListSessionTest, RemovingItemsDisconnectsTheirSessions) {
  std::vector<std::string> Pids;
  {
    TConnectionList List(true);
    for (int I = 0; I < 3; ++I) {
      List.Add(FixtureSettings());
      List.Sessions(I)->Connect();
      Pids.push_back(QueryValue(*List.Sessions(I), "select pg_backend_pid()"));
    }
    List.Delete(0);
    EXPECT_TRUE(BackendGone(*Session, Pids[0]));
    EXPECT_TRUE(List.Sessions(0)->Connected());
  }
  EXPECT_TRUE(BackendGone(*Session, Pids[1]));
  EXPECT_TRUE(BackendGone(*Session, Pids[2]));
}

}  // namespace
}  // namespace relaybird::test
