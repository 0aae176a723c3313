#include "db/ora_client_homes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "database_fixture.h"
#include "test_support.h"

namespace relaybird {
namespace {

// The private configuration of scripts/postgres.sh: the PostgreSQL driver,
// then an Oracle client whose home holds tests/fixtures/oracle_home/network/
// admin/tnsnames.ora; the data source "Default" uses the PostgreSQL driver.
class TClientHomesTest : public test::TOdbcConfigTest {
 protected:
  void SetUp() override {
    if (const char* Value = std::getenv("TNS_ADMIN")) SavedTnsAdmin = Value;
    unsetenv("TNS_ADMIN");
    TOdbcConfigTest::SetUp();
  }
  void TearDown() override {
    if (!SavedTnsAdmin.empty()) setenv("TNS_ADMIN", SavedTnsAdmin.c_str(), 1);
  }
  std::string SavedTnsAdmin;
};

TEST_F(TClientHomesTest, DriversInOrderWithTheDefault) {
  std::vector<const TOraClientHomes*> Seen(4);
  std::vector<std::thread> Threads;
  for (auto& Slot : Seen) Threads.emplace_back([&Slot] { Slot = &OraClientHomes(); });
  for (auto& Thread : Threads) Thread.join();
  for (const auto* Homes : Seen) EXPECT_EQ(Homes, Seen.front());

  const TOraClientHomes& Homes = OraClientHomes();
  EXPECT_EQ(Homes.Names, (std::vector<std::string>{"PostgreSQL Unicode", "Oracle in OraClient19Home1"}));
  EXPECT_EQ(Homes.DefaultIndex, 0);
}

TEST_F(TClientHomesTest, AliasesSortedWithoutCaseAndEachOnce) {
  // Data sources are both user and system ones here: each appears once.
  EXPECT_EQ(GetServerAliases("postgresql unicode"),
            (std::vector<std::string>{"Default", "KOBALTIX", "KOBALTIX_BENCH", "KOBALTIX_CHAIN",
                                      "KOBALTIX_CONFIG", "KOBALTIX_DOWN", "KOBALTIX_INTAKE", "KOBALTIX_PROCESS",
                                      "KOBALTIX_RETRY"}));
  EXPECT_EQ(GetServerAliases("Oracle in OraClient19Home1"),
            (std::vector<std::string>{"Archive", "kobaltix", "KOBALTIX.WORLD", "ORCL"}));
  EXPECT_TRUE(GetServerAliases("No such driver").empty());
}

TEST_F(TClientHomesTest, TnsAdminTakesPrecedence) {
  test::TTempDir Dir;
  test::WriteFileBytes(Dir.Path() + "tnsnames.ora", "zeta = (DESCRIPTION = (ADDRESS = (HOST = z)))\n");
  setenv("TNS_ADMIN", Dir.Path().c_str(), 1);
  EXPECT_EQ(GetServerAliases("Oracle in OraClient19Home1"), (std::vector<std::string>{"zeta"}));
  unsetenv("TNS_ADMIN");
}

}  // namespace
}  // namespace relaybird
