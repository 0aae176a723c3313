#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "ini_fixture.h"
#include "platform/exe_path.h"

namespace relaybird::test {
namespace {

constexpr int WritesPerWriter = 150;

void WriteKeys(const std::string& FileName, const std::string& Prefix) {
  TIniFile Ini(FileName);
  for (int i = 0; i < WritesPerWriter; ++i) Ini.WriteInteger("Shared", Prefix + std::to_string(i), i);
}

void ExpectAllKeys(const TIniFile& Ini, const std::string& Prefix) {
  for (int i = 0; i < WritesPerWriter; ++i) {
    EXPECT_EQ(Ini.ReadInteger("Shared", Prefix + std::to_string(i), -1), i) << Prefix << i;
  }
}

// The refusal names the file and says why.
void ExpectRefused(const std::function<void()>& Write, const std::string& FileName,
                   const std::string& Reason) {
  try {
    Write();
    ADD_FAILURE() << "the write was not refused";
  } catch (const EIniFileError& Error) {
    EXPECT_EQ(std::string(Error.what()).rfind("Unable to write to " + FileName + ": ", 0), 0u)
        << Error.what();
    EXPECT_NE(std::string(Error.what()).find(Reason), std::string::npos) << Error.what();
  }
}

std::size_t EntriesIn(const std::string& Directory) {
  std::size_t Count = 0;
  for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator(Directory)) ++Count;
  return Count;
}

TEST_F(IniFileTest, AReadOnlyFileRefusesEveryWriteAndStaysAsItWas) {
  const std::string Original = "[S]\r\nk=v\r\n";
  Given(Original);
  ASSERT_EQ(chmod(FFileName.c_str(), 0444), 0);
  ExpectRefused([&] { FIni.WriteString("S", "k", "new"); }, FFileName, "read-only");
  ExpectRefused([&] { FIni.WriteString("T", "n", "1"); }, FFileName, "read-only");
  ExpectRefused([&] { FIni.DeleteKey("S", "k"); }, FFileName, "read-only");
  ExpectRefused([&] { FIni.EraseSection("S"); }, FFileName, "read-only");
  EXPECT_EQ(Bytes(), Original);
  EXPECT_EQ(EntriesIn(FTemp.Path()), 1u);
  EXPECT_EQ(FIni.ReadString("S", "k", ""), "v");
}

TEST_F(IniFileTest, AMissingDirectoryRefusesTheWriteAndCreatesNothing) {
  const std::string Missing = FTemp.Path() + "Langs/default.ini";
  TIniFile Ini(Missing);
  ExpectRefused([&] { Ini.WriteString("WORDS", "k", "v"); }, Missing, "does not exist");
  ExpectRefused([&] { Ini.EraseSection("WORDS"); }, Missing, "does not exist");
  EXPECT_FALSE(DirectoryExists(FTemp.Path() + "Langs"));
}

TEST_F(IniFileTest, ARewriteKeepsTheModeAndLeavesNoTemporaryFile) {
  Given("[S]\r\nk=v\r\n");
  ASSERT_EQ(chmod(FFileName.c_str(), 0640), 0);
  FIni.WriteString("S", "k", "w");
  struct stat Info {};
  ASSERT_EQ(stat(FFileName.c_str(), &Info), 0);
  EXPECT_EQ(Info.st_mode & 07777, 0640u);
  EXPECT_EQ(EntriesIn(FTemp.Path()), 1u);
  EXPECT_EQ(Bytes(), "[S]\r\nk=w\r\n");
}

TEST_F(IniFileTest, WritingThroughALinkChangesTheTargetAndKeepsTheLink) {
  Given("[S]\r\nk=v\r\n");
  const std::string Link = FTemp.Path() + "link.ini";
  ASSERT_EQ(symlink(FFileName.c_str(), Link.c_str()), 0);
  TIniFile Ini(Link);
  Ini.WriteString("S", "k", "w");
  EXPECT_TRUE(std::filesystem::is_symlink(Link));
  EXPECT_EQ(Bytes(), "[S]\r\nk=w\r\n");
}

// A value holding a line break would otherwise forge a section of its own.
TEST_F(IniFileTest, LineBreaksInNamesAndValuesBecomeBlanks) {
  FIni.WriteString("S", "k", "one\r\n[Service]\nWinAccount=evil\rend");
  FIni.WriteString("S\r\nT", "a\nb", "1");
  EXPECT_EQ(Bytes(), "[S]\r\nk=one  [Service] WinAccount=evil end\r\n[S  T]\r\na b=1\r\n");
  EXPECT_FALSE(FIni.SectionExists("Service"));
}

TEST_F(IniFileTest, TwoThreadsWritingTheSameFileLoseNoKeys) {
  std::thread First(WriteKeys, FFileName, "first");
  std::thread Second(WriteKeys, FFileName, "second");
  First.join();
  Second.join();
  ExpectAllKeys(FIni, "first");
  ExpectAllKeys(FIni, "second");
  EXPECT_EQ(FIni.ReadSection("Shared").size(), 2u * WritesPerWriter);
}

TEST_F(IniFileTest, TwoProcessesWritingTheSameFileLoseNoKeys) {
  const pid_t Child = fork();
  ASSERT_NE(Child, -1);
  if (Child == 0) {
    try {
      WriteKeys(FFileName, "child");
      _exit(0);
    } catch (...) {
      _exit(1);
    }
  }
  WriteKeys(FFileName, "parent");
  int Status = 0;
  ASSERT_EQ(waitpid(Child, &Status, 0), Child);
  ASSERT_TRUE(WIFEXITED(Status));
  EXPECT_EQ(WEXITSTATUS(Status), 0);
  ExpectAllKeys(FIni, "child");
  ExpectAllKeys(FIni, "parent");
  EXPECT_EQ(EntriesIn(FTemp.Path()), 1u);
}

}  // namespace
}  // namespace relaybird::test
