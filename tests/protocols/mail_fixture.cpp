#include "mail_fixture.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "core/settings_block.h"
#include "core/settings_file.h"
#include "service/message_intake.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"
#include "relaybird/process_log.h"
#include "relaybird/virtual_table.h"

namespace relaybird::test {

namespace {

std::recursive_mutex LogLock;

}  // namespace

void TMailModuleTest::SetUp() {
  RemovePath(ExecutableDir() + "Protocols");
  RemovePath(ExecutableDir() + "Relaybird.ini");
  std::filesystem::create_directories(ExecutableDir() + "Protocols");
  std::filesystem::copy_file(RB_MAIL_MODULE, ExecutableDir() + "Protocols/mail.so");
  InitSettingsFileName();
  SetLogLock(&LogLock);
  ServiceSettings.AccessLogPath = FDir.Path() + "logs/";
  ServiceSettings.TempDir = FDir.Path() + "temp/";
  std::filesystem::create_directories(ServiceSettings.AccessLogPath);
  Peer.Start();
  MailKeys = {{"SmtpHost", "127.0.0.1"},
              {"SmtpPort", std::to_string(Peer.Port())},
              {"SenderAddress", "notices@relaybird.test"},
              {"SenderName", "Relaybird"},
              {"ConnectTimeout", "2"},
              {"CommandTimeout", "5"}};
}

void TMailModuleTest::TearDown() {
  Manager.reset();
  Peer.Stop();
  RemovePath(ExecutableDir() + "Protocols");
  RemovePath(ExecutableDir() + "Relaybird.ini");
}

void TMailModuleTest::WriteMailKey(const std::string& Key, const std::string& Value) {
  TIniFile(SettingsFileName).WriteString("MAIL", Key, Value);
}

void TMailModuleTest::LoadModule() {
  TIniFile Ini(SettingsFileName);
  Ini.WriteString("Protocols", "MAIL", "1");
  for (const auto& [Key, Value] : MailKeys) Ini.WriteString("MAIL", Key, Value);
  Manager = std::make_unique<TModuleManager>();
  ASSERT_EQ(Manager->Count(), 1);
  Module = Manager->Items(0);
  ASSERT_TRUE(Module->Loaded());
}

void TMailModuleTest::Dispatch(const std::vector<TTestLetter>& Letters, bool Wait) {
  TVirtualTable Messages;
  AddMessageFields(Messages);
  Messages.Open();
  for (const TTestLetter& Letter : Letters) {
    Messages.AppendRecord({Letter.Id, Letter.IdType, Letter.Target, Letter.Body, Letter.Subject, 1, 100, 0});
  }
  char ProcessID[33];
  std::snprintf(ProcessID, sizeof ProcessID, "%032X", ++FDispatches);
  std::vector<std::uint8_t> Block = BuildSettingsBlock(ServiceSettings);
  Module->GetFailedMessages();
  ASSERT_TRUE(Module->AccessNewProcess());
  Module->Initialize("MAIL", ProcessID);
  Module->SetData("MAIL", ProcessID, mdkSession, &HostSession, 36);
  Module->SetData("MAIL", ProcessID, mdkLock, &HostLock, 4);
  Module->SetData("MAIL", ProcessID, mdkSettings, Block.data(), 36);
  Module->SetData("MAIL", ProcessID, mdkMessages, &Messages, 4);
  Messages.Clear();
  Module->Execute("MAIL", ProcessID);
  if (Wait) {
    ASSERT_TRUE(WaitIdle());
  }
}

bool TMailModuleTest::WaitIdle(int Seconds) {
  const auto Until = std::chrono::steady_clock::now() + std::chrono::seconds(Seconds);
  while (!Module->AccessNewProcess()) {
    if (std::chrono::steady_clock::now() > Until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::map<std::string, int> TMailModuleTest::Failed() {
  std::map<std::string, int> Counts;
  for (const TFailedMessage& Message : Module->GetFailedMessages()) Counts[Message.ID] = Message.Count;
  return Counts;
}

std::string TMailModuleTest::LogText() const {
  std::string Text;
  for (const auto& Entry : std::filesystem::directory_iterator(ServiceSettings.AccessLogPath)) {
    Text += ReadFileBytes(Entry.path().string());
  }
  return Text;
}

}  // namespace relaybird::test
