// Start and stop of the service object, its report and its folders.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/exe_path.h"
#include "relaybird/catalogue.h"
#include "relaybird/process_log.h"
#include "service_fixture.h"

namespace relaybird::test {
namespace {

class TLifecycleTest : public TServiceFixture {};

TEST_F(TLifecycleTest, TheStartReportsTheSettingsAndEachConnectionButNoPassword) {
  Install("rb_recorder");
  Configure(2, 1, 10, {ConnectionEntry("KOBALTIX_DOWN", "kobaltix5_intake")}, {"RECORDER"});
  Start();
  const std::vector<std::string> Lines = LogLines();
  ASSERT_EQ(Lines.size(), 9u);
  EXPECT_EQ(Lines[2], "Каталог хранения логов: " + LogDir.Path());
  EXPECT_EQ(Lines[3], "Системные ошибки: False");
  EXPECT_EQ(Lines[4], "Период проверки соединения с базой: 1 минут");
  EXPECT_EQ(Lines[5], "Задержка запуска: 2 минут");
  EXPECT_EQ(Lines[6], "[#0] Соединение с сервером: KOBALTIX_DOWN");
  EXPECT_EQ(Lines[7], "[#0] Соединение по схеме: kobaltix5_intake");
  EXPECT_EQ(Lines[8], "[#0] Пользователь: kobaltix5");
  Stop();
  EXPECT_EQ(LogLines().back(), "Завершение работы службы Relaybird");
  EXPECT_EQ(Service->Modules(), nullptr);
  EXPECT_EQ(Service->TimerQueue(), nullptr);
}

TEST_F(TLifecycleTest, EachNamedServiceGetsAnEmptiedTemporaryFolder) {
  Install("rb_recorder");
  Install("rb_unnamed_service");
  Configure(2, 1, 10, {}, {});
  const std::string Temp = LogDir.Path() + "Temp/";
  std::filesystem::create_directories(Temp + "ALPHA/sub");
  WriteFileBytes(Temp + "ALPHA/a.txt", "a");
  WriteFileBytes(Temp + "ALPHA/sub/b.txt", "b");
  Start();
  EXPECT_EQ(Service->TempDirectory(), Temp);
  EXPECT_FALSE(std::filesystem::exists(Temp + "ALPHA/a.txt"));
  EXPECT_FALSE(std::filesystem::exists(Temp + "ALPHA/sub/b.txt"));
  EXPECT_TRUE(std::filesystem::is_directory(Temp + "ALPHA/sub"));
  EXPECT_TRUE(std::filesystem::is_directory(Temp + "BETA")) << "created for a module that is off too";
  std::size_t Entries = 0;
  for (const auto& Entry : std::filesystem::directory_iterator(Temp)) Entries += Entry.is_directory();
  EXPECT_EQ(Entries, 2u) << "no folder for an unnamed service";
}

TEST_F(TLifecycleTest, ABlankTemporaryFolderSettingMeansTempBesideTheProgram) {
  WriteSettings("[Service]\nAccessLogPath=" + LogDir.Path() + "\nTempDir=  \nTimeoutDelay=5\n");
  Start();
  EXPECT_EQ(Service->TempDirectory(), ExecutableDir() + "Temp/");
  EXPECT_EQ(Service->tmrOraConnection.Interval(), 300000);
  EXPECT_TRUE(Service->tmrOraConnection.Enabled());
}

TEST_F(TLifecycleTest, TheInstallHookWritesTheDescriptionOrLogsAMissingUnit) {
  Configure(2, 1, 10, {}, {});
  Service = std::make_unique<TRelaybirdSrv>(Loop);
  const std::string Unit = LogDir.Path() + "RelaybirdSrv.service";
  WriteFileBytes(Unit, "[Unit]\nDescription=Relaybird\n\n[Service]\nType=notify\n");
  Service->ServiceAfterInstall(Unit);
  EXPECT_EQ(ReadFileBytes(Unit),
            "[Unit]\nDescription=Служба рассылки сообщений Orvanta+\n\n[Service]\nType=notify\n");
  Service->ServiceAfterInstall(LogDir.Path() + "missing.service");
  // Nothing is read before the start: the log lies beside the program.
  const std::string Log = ReadFileBytes(ProcessLogFileName(Service.get(), "", ""));
  RemovePath(ProcessLogFileName(Service.get(), "", ""));
  EXPECT_TRUE(Log.ends_with("]  Ошибка установки сервиса:  не найдена ветка реестра\r\n")) << Log;
}

}  // namespace
}  // namespace relaybird::test
