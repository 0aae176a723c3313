#include "core/file_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace relaybird {
namespace {

using test::TTempDir;
using test::WriteFileBytes;

std::vector<std::string> SplitLines(const std::string& Text) {
  std::vector<std::string> Lines;
  if (Text.empty()) return Lines;
  std::size_t Start = 0;
  for (std::size_t End; (End = Text.find("\r\n", Start)) != std::string::npos; Start = End + 2) {
    Lines.push_back(Text.substr(Start, End - Start));
  }
  Lines.push_back(Text.substr(Start));
  return Lines;
}

// The entry names of a folder in the order the file system hands them out.
std::vector<std::string> DirectoryOrder(const std::string& Dir) {
  std::vector<std::string> Names;
  for (const auto& Entry : std::filesystem::directory_iterator(Dir)) Names.push_back(Entry.path().filename());
  return Names;
}

TEST(MatchesMaskTest, Cases) {
  struct TCase {
    const char* Name;
    const char* Mask;
    bool Matches;
  };
  const TCase Cases[] = {
      {"a.txt", "*.*", true},
      {"sub", "*.*", true},
      {".hidden", "*.*", true},
      {"a", "a.*", true},
      {"ab", "a.*", false},
      {"Mail.SO", "*.so", true},
      {"mail.so.1", "*.so", false},
      {"plugins", "*.so", false},
      {"abc", "a?c", true},
      {"ac", "a?c", false},
      {"abbbc", "a*b*c", true},
      {"abcd", "a*c", false},
      {"ПИСЬМО.txt", "письмо.*", true},
      {"ё", "?", true},
      {"x", "", false},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(MatchesMask(Case.Name, Case.Mask), Case.Matches) << Case.Name << " ~ " << Case.Mask;
  }
}

class FindFilesTest : public ::testing::Test {
 protected:
  void Add(const std::string& Name) { WriteFileBytes(FDir.Path() + Name, "x"); }
  void AddDir(const std::string& Name) { std::filesystem::create_directory(FDir.Path() + Name); }
  const std::string& Dir() const { return FDir.Path(); }

 private:
  TTempDir FDir;
};

TEST_F(FindFilesTest, ListsFilesOfMatchingSubfoldersInDirectoryOrder) {
  Add("a.txt");
  AddDir("sub");
  Add("sub/b.txt");

  std::vector<std::string> Expected;
  for (const std::string& Name : DirectoryOrder(Dir())) {
    Expected.push_back(Name == "sub" ? Dir() + "sub/b.txt" : Dir() + Name);
  }
  const std::string Listing = FindFiles(Dir(), "*.*");
  EXPECT_EQ(SplitLines(Listing), Expected);
  EXPECT_FALSE(Listing.ends_with("\r\n"));

  const std::string WithoutDelimiter = Dir().substr(0, Dir().size() - 1);
  EXPECT_EQ(FindFiles(WithoutDelimiter, "*.*"), Listing);
}

TEST_F(FindFilesTest, EntersOnlySubfoldersWhoseNameMatches) {
  Add("mail.so");
  Add(".hidden.so");
  Add("notes.txt");
  AddDir("plugins");
  Add("plugins/inner.so");
  AddDir("extra.SO");
  Add("extra.SO/deep.so");
  Add("extra.SO/deep.txt");

  const std::vector<std::string> Lines = SplitLines(FindFiles(Dir(), "*.so"));
  const std::set<std::string> Found(Lines.begin(), Lines.end());
  const std::set<std::string> Expected = {Dir() + "mail.so", Dir() + ".hidden.so", Dir() + "extra.SO/deep.so"};
  EXPECT_EQ(Found, Expected);
  EXPECT_EQ(Lines.size(), Expected.size());
}

TEST_F(FindFilesTest, LinkBackToAnOuterFolderIsNotFollowed) {
  Add("a.txt");
  AddDir("sub");
  Add("sub/b.txt");
  std::filesystem::create_directory_symlink(Dir(), Dir() + "sub/loop");

  const std::vector<std::string> Lines = SplitLines(FindFiles(Dir(), "*"));
  const std::set<std::string> Found(Lines.begin(), Lines.end());
  EXPECT_EQ(Found, (std::set<std::string>{Dir() + "a.txt", Dir() + "sub/b.txt"}));
  EXPECT_EQ(Lines.size(), 2u);
}

TEST_F(FindFilesTest, NothingForMissingOrBlankFolder) {
  Add("a.txt");
  EXPECT_EQ(FindFiles(Dir() + "missing", "*.*"), "");
  EXPECT_EQ(FindFiles("", "*.*"), "");
  EXPECT_EQ(FindFiles("   ", "*.*"), "");
  EXPECT_EQ(FindFiles(Dir(), "*.dat"), "");
}

TEST(GuidTest, PlainTextOfKnownIdentifier) {
  const TGuid Guid = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF,
                      0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x54, 0x32, 0x10};
  EXPECT_EQ(GuidToPlainText(Guid), "0123456789ABCDEFFEDCBA9876543210");
}

TEST(GuidTest, NewIdentifiersAreVersionFourAndDistinct) {
  std::set<std::string> Seen;
  for (int i = 0; i < 100; ++i) {
    const std::string Text = NewGuidText();
    ASSERT_EQ(Text.size(), 32u);
    EXPECT_EQ(Text.find_first_not_of("0123456789ABCDEF"), std::string::npos) << Text;
    EXPECT_EQ(Text[12], '4') << Text;
    EXPECT_NE(std::string("89AB").find(Text[16]), std::string::npos) << Text;
    Seen.insert(Text);
  }
  EXPECT_EQ(Seen.size(), 100u);
}

}  // namespace
}  // namespace relaybird
