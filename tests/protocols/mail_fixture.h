#pragma once
// The e-mail module loaded by the host's module manager from Protocols/
// beside the test program, a settings file pointing it at a loopback SMTP
// peer, and dispatches made as the host makes them.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "modules/module_manager.h"
#include "relaybird/ora_session.h"
#include "relaybird/settings.h"
#include "smtp_peer.h"
#include "test_support.h"

namespace relaybird::test {

// One row of the host's message table.
struct TTestLetter {
  std::string Id;
  std::string Target;
  std::string Subject = "Notice";
  std::string Body = "Hello";
  int IdType = 0;
};

class TMailModuleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Keys of section "MAIL" written before the module is loaded; SmtpHost,
  // SmtpPort (the peer's), short timeouts and the sender are preset.
  std::map<std::string, std::string> MailKeys;
  void LoadModule();
  void WriteMailKey(const std::string& Key, const std::string& Value);

  // One dispatch as the host makes it; waits until its worker has ended.
  void Dispatch(const std::vector<TTestLetter>& Letters, bool Wait = true);
  bool WaitIdle(int Seconds = 30);
  // The module's failure report as the host reads it.
  std::map<std::string, int> Failed();
  std::string LogText() const;

  TTempDir FDir;
  TSmtpPeer Peer{FDir.Path() + "mails"};
  TOraSession HostSession;
  std::recursive_mutex HostLock;
  TServiceSettings ServiceSettings;
  std::unique_ptr<TModuleManager> Manager;
  TModule* Module = nullptr;
  int FDispatches = 0;
};

}  // namespace relaybird::test
