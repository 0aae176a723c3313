#include "platform/exe_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "test_support.h"

namespace relaybird {
namespace {

TEST(ExecutablePath, NamesTheRunningTestProgram) {
  char WorkingDir[PATH_MAX];
  ASSERT_NE(getcwd(WorkingDir, sizeof WorkingDir), nullptr);
  // The test runs in the directory that holds it.
  EXPECT_EQ(ExecutableDir(), std::string(WorkingDir) + "/");
  EXPECT_EQ(ExecutableName(), "platform_exe_path_test");
  EXPECT_EQ(ExecutablePath(), ExecutableDir() + ExecutableName());
}

TEST(PathText, DelimitersAndParts) {
  struct TCase {
    std::string Path, Included, Excluded, Name, Dir;
  };
  const std::vector<TCase> Cases = {
      {"/opt/rb/Log", "/opt/rb/Log/", "/opt/rb/Log", "Log", "/opt/rb/"},
      {"/opt/rb/Log///", "/opt/rb/Log///", "/opt/rb/Log", "", "/opt/rb/Log///"},
      {"Relaybird.ini", "Relaybird.ini/", "Relaybird.ini", "Relaybird.ini", ""},
      {"/", "/", "", "", "/"},
      {"", "", "", "", ""},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(IncludeTrailingPathDelimiter(Case.Path), Case.Included) << Case.Path;
    EXPECT_EQ(ExcludeTrailingPathDelimiters(Case.Path), Case.Excluded) << Case.Path;
    EXPECT_EQ(ExtractFileName(Case.Path), Case.Name) << Case.Path;
    EXPECT_EQ(ExtractFilePath(Case.Path), Case.Dir) << Case.Path;
  }
}

TEST(FileSystem, ExistenceAndForcedDirectories) {
  test::TTempDir Temp;
  const std::string File = Temp.Path() + "file.txt";
  test::WriteFileBytes(File, "x");

  EXPECT_TRUE(FileExists(File));
  EXPECT_FALSE(FileExists(Temp.Path()));
  EXPECT_FALSE(FileExists(Temp.Path() + "missing"));
  EXPECT_TRUE(DirectoryExists(Temp.Path()));
  EXPECT_FALSE(DirectoryExists(File));
  EXPECT_FALSE(DirectoryExists(""));

  const std::string Nested = Temp.Path() + "a/b/c/";
  EXPECT_TRUE(ForceDirectories(Nested));
  EXPECT_TRUE(DirectoryExists(Nested));
  EXPECT_TRUE(ForceDirectories(Nested));
  EXPECT_FALSE(ForceDirectories(File + "/sub"));
  EXPECT_FALSE(ForceDirectories(""));
}

}  // namespace
}  // namespace relaybird
