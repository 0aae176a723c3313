// The example module of examples/, built out of tree against the installed
// SDK, loaded and dispatched to by the installed relaybird_core.
#include <link.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "core/file_helpers.h"
#include "core/settings_block.h"
#include "module_fixture.h"
#include "modules/module_manager.h"
#include "relaybird/ini_file.h"
#include "relaybird/settings.h"

namespace relaybird {
namespace {

using test::DefineMessageTable;
using test::DispatchOnce;
using test::ReadFileBytes;
using test::TTempDir;

std::string Env(const char* Name) {
  const char* Value = std::getenv(Name);
  return Value ? Value : "";
}

// The path the process loaded relaybird_core from.
std::string LoadedCore() {
  std::string Path;
  dl_iterate_phdr(
      [](dl_phdr_info* Info, std::size_t, void* Data) {
        const std::string Name = Info->dlpi_name ? Info->dlpi_name : "";
        if (Name.find("librelaybird_core.so") != std::string::npos) *static_cast<std::string*>(Data) = Name;
        return 0;
      },
      &Path);
  return Path;
}

class ExampleModuleTest : public test::TModuleFixture {
 protected:
  void SetUp() override {
    TModuleFixture::SetUp();
    const std::string Library = Env("RELAYBIRD_EXAMPLE_MODULE");
    ASSERT_FALSE(Library.empty()) << "RELAYBIRD_EXAMPLE_MODULE is not set: run this test through ctest";
    std::filesystem::create_directories(ProtocolsDir());
    std::filesystem::copy_file(Library, ProtocolsDir() + "file_module.so");
    Block = BuildSettingsBlock(TServiceSettings{});
    DefineMessageTable(Messages);
  }

  void UseFile(const std::string& Path) {
    WriteSettings("[Protocols]\r\nFILE=1\r\n[FILE]\r\nPath=" + Path + "\r\n");
  }

  void Dispatch(TModule& Module, const std::string& ProcessID) {
    DispatchOnce(Module, "FILE", ProcessID, Session, Lock, Block, Messages);
  }

  TTempDir Out;
  TOraSession Session;
  std::recursive_mutex Lock;
  std::vector<std::uint8_t> Block;
  TVirtualTable Messages;
};

TEST_F(ExampleModuleTest, RunsOnTheInstalledCore) {
  const std::string Core = LoadedCore();
  ASSERT_FALSE(Core.empty());
  EXPECT_EQ(std::filesystem::canonical(Core),
            std::filesystem::canonical(Env("RELAYBIRD_SDK_PREFIX") + "bin/librelaybird_core.so"));
}

TEST_F(ExampleModuleTest, DeliversEachLetterAsOneLine) {
  UseFile(Out.Path() + "letters.txt");
  TModuleManager Manager;
  ASSERT_EQ(Manager.Count(), 1);
  TModule& Module = *Manager.Items(0);
  EXPECT_EQ(Module.Name(), "Letters to a file");
  EXPECT_EQ(Module.ID(), "FILE");
  EXPECT_EQ(Module.Services(), (TServicesList{"FILE"}));
  ASSERT_TRUE(Module.Loaded());
  EXPECT_EQ(Module.GetInterval("FILE"), 60);
  EXPECT_EQ(TIniFile(SettingsFileName).ReadString("FILE", "Interval", ""), "60");

  Messages.AppendRecord({"A1", 0, "client@example.org", "Счёт готов.\r\nСпасибо.", "Счёт", 3, 1001, 2});
  Messages.AppendRecord({"B2", 2, "manager@example.org", "Body", "Subject", 1, 7, 1});
  Dispatch(Module, NewGuidText());

  EXPECT_EQ(ReadFileBytes(Out.Path() + "letters.txt"),
            "A1\t0\tclient@example.org\tСчёт\tСчёт готов.||Спасибо.\n"
            "B2\t2\tmanager@example.org\tSubject\tBody\n");
  EXPECT_TRUE(Module.GetFailedMessages().empty());
}

TEST_F(ExampleModuleTest, ALetterThatCannotBeWrittenIsReportedWithItsCount) {
  UseFile(Out.Path() + "missing/letters.txt");
  TModuleManager Manager;
  ASSERT_EQ(Manager.Count(), 1);
  TModule& Module = *Manager.Items(0);

  for (int Turn = 0; Turn < 2; ++Turn) {
    Messages.AppendRecord({"A1", 0, "client@example.org", "Body", "Subject", 3, 1001, 2});
    Dispatch(Module, NewGuidText());
  }
  EXPECT_EQ(Module.GetFailedMessages(), (TFailedMessageList{{"A1", 2}}));

  std::filesystem::create_directory(Out.Path() + "missing");
  Messages.AppendRecord({"A1", 0, "client@example.org", "Body", "Subject", 3, 1001, 2});
  Dispatch(Module, NewGuidText());
  EXPECT_TRUE(Module.GetFailedMessages().empty());
}

}  // namespace
}  // namespace relaybird
