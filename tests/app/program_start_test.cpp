// Runs the real executable in a fresh copy of the build tree.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <gtest/gtest.h>

#include "platform/named_mutex.h"
#include "relaybird/scrambler.h"
#include "relaybird/settings.h"
#include "test_support.h"

extern char** environ;

namespace relaybird {
namespace {

using test::ReadFileBytes;
using test::TTempDir;
using test::WriteFileBytes;

class ProgramStart : public ::testing::Test {
 protected:
  void SetUp() override {
    test::CopyProgram(RELAYBIRD_BIN_DIR, Tree.Path());
  }

  int Run(std::vector<std::string> Args = {}) {
    Args.insert(Args.begin(), Tree.Path() + "relaybird");
    std::vector<char*> Argv;
    for (std::string& Arg : Args) Argv.push_back(Arg.data());
    Argv.push_back(nullptr);
    pid_t Pid = 0;
    if (posix_spawn(&Pid, Argv[0], nullptr, nullptr, Argv.data(), environ) != 0) return -1;
    int Status = 0;
    waitpid(Pid, &Status, 0);
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  }

  bool Exists(const std::string& Name) const { return std::filesystem::exists(Tree.Path() + Name); }

  TTempDir Tree;
};

TEST_F(ProgramStart, EmptyTreeGetsLangsAndNothingElse) {
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(std::filesystem::is_directory(Tree.Path() + "Langs"));
  EXPECT_FALSE(Exists("default.ini"));
  EXPECT_FALSE(Exists("Relaybird.ini"));
  EXPECT_FALSE(Exists("Relaybird_Errors.log"));
}

TEST_F(ProgramStart, LanguageFileWithoutCatalogueKeysAndOldDatabaseSection) {
  std::filesystem::create_directory(Tree.Path() + "Langs");
  WriteFileBytes(Tree.Path() + "Langs/Lang_en.ini",
                 "[LANG]\r\nValue=English\r\n[WORDS]\r\nSomethingElse=Text\r\n");
  WriteFileBytes(Tree.Path() + "Relaybird.ini",
                 "[Service]\r\nTimeoutDelay=5\r\n"
                 "[Connection]\r\nItem_0=1#A#B#00#C\r\nItem_1=2#D#E#00#F\r\n"
                 "[Database]\r\nOraServer=ORCL\r\n");

  EXPECT_EQ(Run(), 0);

  // Every catalogue text with its built-in default, in the catalogue's order.
  EXPECT_EQ(ReadFileBytes(Tree.Path() + "default.ini"),
            ReadFileBytes(std::string(RB_FIXTURES_DIR) + "missing_phrases_ru.ini"));
  EXPECT_EQ(ReadFileBytes(Tree.Path() + "Relaybird.ini"),
            "[Service]\r\nTimeoutDelay=5\r\n[Connection]\r\nItem_0=0#ORCL#KOBALTIX5#" +
                ScrambleText(DefaultOraPassword, ScrambleKey) + "#KOBALTIX5\r\n");
  EXPECT_FALSE(Exists("Relaybird_Errors.log"));
}

// Neither start may open a window here: the first finds no display, the
// second finds the window lock held (by this test) and ends at once.
TEST_F(ProgramStart, WindowSwitchesWithoutDisplayOrWithAnotherWindowOpenEnd) {
  TTempDir Runtime;
  setenv("XDG_RUNTIME_DIR", Runtime.Path().c_str(), 1);
  for (const char* Name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(Name);
  EXPECT_EQ(Run({"/CONFIG", "-monitor"}), 0);
  EXPECT_TRUE(std::filesystem::is_directory(Tree.Path() + "Langs"));

  TNamedMutex OtherWindow("F754FF24-7750-4717-9F25-1BA783B57C43");
  ASSERT_TRUE(OtherWindow.Held());
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  EXPECT_EQ(Run({"/config"}), 0);
  unsetenv("QT_QPA_PLATFORM");
}

TEST_F(ProgramStart, UnwritableSettingsFileIsRecordedAndTheProgramGoesOn) {
  const std::string Settings = "[Database]\r\nOraServer=ORCL\r\n";
  WriteFileBytes(Tree.Path() + "Relaybird.ini", Settings);
  chmod((Tree.Path() + "Relaybird.ini").c_str(), 0444);

  EXPECT_EQ(Run(), 0);

  EXPECT_EQ(ReadFileBytes(Tree.Path() + "Relaybird.ini"), Settings);
  const std::string Errors = ReadFileBytes(Tree.Path() + "Relaybird_Errors.log");
  EXPECT_NE(Errors.find("Relaybird\t"), std::string::npos) << Errors;
  EXPECT_NE(Errors.find("Unable to write to " + Tree.Path() + "Relaybird.ini"), std::string::npos)
      << Errors;
}

}  // namespace
}  // namespace relaybird
