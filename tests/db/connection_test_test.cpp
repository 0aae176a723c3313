#include "db/connection_test.h"

#include <gtest/gtest.h>

#include "database_fixture.h"
#include "relaybird/catalogue.h"
#include "i18n/translator.h"

namespace relaybird::test {
namespace {

class TConnectionTestTest : public TDatabaseTest {
 protected:
  static void SetUpTestSuite() {
    CreateTransFormList();
    TranslateConstants();
  }
  static void TearDownTestSuite() { FreeTransFormList(); }

  std::string Test(const TConnectionSettings& Settings) {
    std::string ErrorText = "left over";
    bool Passed = TestConnection(Settings, ErrorText);
    EXPECT_EQ(Passed, ErrorText.empty()) << ErrorText;
    return ErrorText;
  }
};

TEST_F(TConnectionTestTest, FixtureConnectionPasses) { EXPECT_EQ(Test(FixtureSettings()), ""); }

TEST_F(TConnectionTestTest, FailuresGiveTheAdministratorsText) {
  struct TCase {
    const char* Name;
    TConnectionSettings Settings;
    std::string Text;
  };
  TConnectionSettings Base = FixtureSettings();
  auto With = [&](auto Change) {
    TConnectionSettings Settings = Base;
    Change(Settings);
    return Settings;
  };
  const TCase Cases[] = {
      {"wrong password", With([](auto& S) { S.OraPassword = "wrong"; }),
       "Ошибка при соединении с БД: неверный пароль или имя пользователя! Доступ запрещен."},
      {"schema without the settings table", With([](auto& S) { S.OraSchema = "orvanta5_bd"; }),
       "Ошибка при соединении с БД: проверьте правильность схемы соединения!"},
      {"schema that does not exist", With([](auto& S) { S.OraSchema = "NO_SUCH_SCHEMA"; }),
       "Ошибка при соединении с БД: проверьте правильность схемы соединения!"},
      {"empty user", With([](auto& S) { S.OraUser = ""; }),
       "Ошибка при соединении с БД: не задан пользователь! Доступ запрещен."},
      {"empty password", With([](auto& S) { S.OraPassword = ""; }),
       "Ошибка при соединении с БД: не задан пароль! Доступ запрещен."},
  };
  for (const auto& Case : Cases) EXPECT_EQ(Test(Case.Settings), Case.Text) << Case.Name;
}

TEST_F(TConnectionTestTest, OtherFailuresShowTheirOwnMessage) {
  struct TCase {
    const char* Name;
    TConnectionSettings Settings;
    std::string Fragment;
  };
  TConnectionSettings Down = FixtureSettings();
  Down.OraServer = "KOBALTIX_DOWN";
  TConnectionSettings Unknown = FixtureSettings();
  Unknown.OraServer = "NO_SUCH_ALIAS";
  TConnectionSettings Injected = FixtureSettings();
  Injected.OraSchema = "kobaltix5.qx_commercial_settings; --";
  TConnectionSettings NoSchema = FixtureSettings();
  NoSchema.OraSchema = "";
  const TCase Cases[] = {
      {"server down", Down, "(SQLSTATE 08001)"},
      {"unknown alias", Unknown, "ORA-12154"},
      {"schema with SQL in it", Injected, "ORA-00911"},
      {"no schema", NoSchema, "ORA-00911"},
  };
  for (const auto& Case : Cases) {
    std::string Text = Test(Case.Settings);
    EXPECT_EQ(Text.rfind("Ошибка при соединении с БД: ", 0), 0u) << Case.Name << ": " << Text;
    EXPECT_NE(Text.find(Case.Fragment), std::string::npos) << Case.Name << ": " << Text;
  }
}

TEST_F(TConnectionTestTest, EveryPathClosesItsSession) {
  TConnectionSettings MissingTable = FixtureSettings();
  MissingTable.OraSchema = "orvanta5_bd";
  Test(FixtureSettings());
  int Before = OpenDescriptors();
  for (int I = 0; I < 10; ++I) {
    Test(FixtureSettings());
    Test(MissingTable);
  }
  EXPECT_EQ(OpenDescriptors(), Before);
}

using TFormatOracleHomeTest = TOdbcConfigTest;

TEST_F(TFormatOracleHomeTest, ShowsPositionNameAndDefault) {
  EXPECT_EQ(FormatOracleHome(0), "[0] PostgreSQL Unicode (default)");
  EXPECT_EQ(FormatOracleHome(1), "[1] Oracle in OraClient19Home1");
  EXPECT_EQ(FormatOracleHome(2), "");
  EXPECT_EQ(FormatOracleHome(-1), "");
}

}  // namespace
}  // namespace relaybird::test
