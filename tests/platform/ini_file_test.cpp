#include <string>
#include <vector>

#include "ini_fixture.h"
#include "platform/exe_path.h"

namespace relaybird::test {
namespace {

using TPairs = std::vector<std::pair<std::string, std::string>>;
using TNames = std::vector<std::string>;

TEST_F(IniFileTest, WritesBuildTheFileLineByLine) {
  FIni.WriteString("Service", "TimeoutConnect", "1");
  FIni.WriteString("Service", "WinAccount", "host\\user");
  FIni.WriteInteger("Connection", "Item_0", -5);
  FIni.WriteBool("Protocols", "MAIL", true);
  FIni.WriteBool("Protocols", "SMS", false);
  FIni.WriteString("Service", "TimeoutConnect", "3");
  FIni.WriteString("Service", "AccessLogPath", "/opt/rb/Log/");
  FIni.WriteString("Service", "Empty", "");
  EXPECT_EQ(Bytes(),
            "[Service]\r\n"
            "TimeoutConnect=3\r\n"
            "WinAccount=host\\user\r\n"
            "AccessLogPath=/opt/rb/Log/\r\n"
            "Empty=\r\n"
            "[Connection]\r\n"
            "Item_0=-5\r\n"
            "[Protocols]\r\n"
            "MAIL=1\r\n"
            "SMS=0\r\n");
  EXPECT_EQ(FIni.ReadString("Service", "Empty", "default"), "");
}

TEST_F(IniFileTest, NewKeyGoesAfterTheLastEntryOfItsSection) {
  Given("[A]\r\nx=1\r\n\r\n; about B\r\n[B]\r\ny=2\r\n");
  FIni.WriteString("a", "z", "3");
  EXPECT_EQ(Bytes(), "[A]\r\nx=1\r\nz=3\r\n\r\n; about B\r\n[B]\r\ny=2\r\n");

  Given("[A]\r\n; nothing yet\r\n[B]\r\n");
  FIni.WriteString("A", "z", "3");
  EXPECT_EQ(Bytes(), "[A]\r\nz=3\r\n; nothing yet\r\n[B]\r\n");

  Given("[A]\nx=1");
  FIni.WriteString("A", "z", "3");
  EXPECT_EQ(Bytes(), "[A]\nx=1\r\nz=3\r\n");
}

TEST_F(IniFileTest, NewSectionGoesAtTheEndOfTheFile) {
  Given("; settings\n[A]\nx=1");
  FIni.WriteString("New", "k", "v");
  EXPECT_EQ(Bytes(), "; settings\n[A]\nx=1\r\n[New]\r\nk=v\r\n");

  Given("[A]\rx=1\r");
  FIni.WriteString("New", "k", "v");
  EXPECT_EQ(Bytes(), "[A]\rx=1\r[New]\r\nk=v\r\n");
}

TEST_F(IniFileTest, EraseSectionRemovesItsHeaderAndLinesUpToTheNextSection) {
  const std::string Original = "[Keep]\r\na=1\r\n[Connection]\r\nItem_0=x\r\n; old\r\n\r\n[Tail]\r\nb=2\r\n";
  Given(Original);
  FIni.EraseSection("CONNECTION");
  EXPECT_EQ(Bytes(), "[Keep]\r\na=1\r\n[Tail]\r\nb=2\r\n");
  FIni.EraseSection("Tail");
  EXPECT_EQ(Bytes(), "[Keep]\r\na=1\r\n");
  FIni.EraseSection("Missing");
  EXPECT_EQ(Bytes(), "[Keep]\r\na=1\r\n");

  // A repeated section would come back into view if only the first went.
  Given("[S]\r\na=1\r\n[T]\r\n[s]\r\nb=2\r\n");
  FIni.EraseSection("S");
  EXPECT_EQ(Bytes(), "[T]\r\n");
  EXPECT_FALSE(FIni.SectionExists("S"));
}

TEST_F(IniFileTest, DeleteKeyRemovesOnlyThatEntry) {
  Given("[Database]\r\nOraHome=0\r\n; c\r\nOraServer=ORCL\r\n[Other]\r\nOraServer=x\r\n");
  FIni.DeleteKey("database", "ORASERVER");
  EXPECT_EQ(Bytes(), "[Database]\r\nOraHome=0\r\n; c\r\n[Other]\r\nOraServer=x\r\n");
  EXPECT_EQ(FIni.ReadString("Database", "OraServer", "none"), "none");
  FIni.DeleteKey("Database", "Missing");
  FIni.DeleteKey("Missing", "OraHome");
  EXPECT_EQ(Bytes(), "[Database]\r\nOraHome=0\r\n; c\r\n[Other]\r\nOraServer=x\r\n");
}

TEST_F(IniFileTest, DeletingOnAMissingFileCreatesNothing) {
  FIni.DeleteKey("A", "b");
  FIni.EraseSection("A");
  EXPECT_FALSE(FileExists(FFileName));
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCase) {
  Given("[SeRvIcE]\r\nTimeOut=5\r\n[Раздел]\r\nКлюч=значение\r\n");
  EXPECT_EQ(FIni.ReadString("service", "TIMEOUT", ""), "5");
  EXPECT_EQ(FIni.ReadString("РАЗДЕЛ", "ключ", ""), "значение");
  EXPECT_TRUE(FIni.SectionExists("SERVICE"));
  EXPECT_TRUE(FIni.ValueExists("раздел", "КЛЮЧ"));
  EXPECT_FALSE(FIni.ValueExists("Service", "Ключ"));

  FIni.WriteString("SERVICE", "timeout", "7");
  FIni.WriteString("раздел", "КЛЮЧ", "новое");
  EXPECT_EQ(Bytes(), "[SeRvIcE]\r\nTimeOut=7\r\n[Раздел]\r\nКлюч=новое\r\n");
}

TEST_F(IniFileTest, ARepeatedKeyAnswersWithItsFirstOccurrence) {
  Given("[S]\r\nk=first\r\nother=o\r\nK=second\r\n[s]\r\nk=third\r\n");
  EXPECT_EQ(FIni.ReadString("S", "k", ""), "first");
  EXPECT_EQ(FIni.ReadSection("S"), (TNames{"k", "other"}));
  EXPECT_EQ(FIni.ReadSectionValues("S"), (TPairs{{"k", "first"}, {"other", "o"}}));
  EXPECT_EQ(FIni.ReadSections(), (TNames{"S"}));

  FIni.WriteString("S", "k", "changed");
  EXPECT_EQ(Bytes(), "[S]\r\nk=changed\r\nother=o\r\nK=second\r\n[s]\r\nk=third\r\n");
  FIni.DeleteKey("S", "k");
  EXPECT_EQ(Bytes(), "[S]\r\nother=o\r\n[s]\r\n");
}

TEST_F(IniFileTest, ReadsTrimBlanksAndOnePairOfMatchingQuotes) {
  Given(
      "[V]\r\n"
      "plain=  spaced value \t\r\n"
      "  blanks around key   =x\r\n"
      "double=\"  keeps inner blanks \"\r\n"
      "single=' x '\r\n"
      "mixed=\"x'\r\n"
      "lone=\"\r\n"
      "empty=\"\"\r\n"
      "inner=\"a\"b\"\r\n"
      "equals=a=b\r\n");
  const TPairs Expected = {
      {"plain", "spaced value"}, {"blanks around key", "x"}, {"double", "  keeps inner blanks "},
      {"single", " x "},         {"mixed", "\"x'"},          {"lone", "\""},
      {"empty", ""},             {"inner", "a\"b"},          {"equals", "a=b"},
  };
  EXPECT_EQ(FIni.ReadSectionValues("V"), Expected);
  for (const auto& [Key, Value] : Expected) EXPECT_EQ(FIni.ReadString("V", Key, "?"), Value) << Key;
  EXPECT_EQ(FIni.ReadString(" V ", " plain ", "?"), "spaced value");
}

TEST_F(IniFileTest, CommentsAndLinesWithoutEqualsAreIgnoredAndKept) {
  const std::string Original =
      "orphan=before any section\r\n"
      "[S]\r\n"
      "; k=commented\r\n"
      "just text\r\n"
      "=no key\r\n"
      "k=real\r\n";
  Given(Original);
  EXPECT_EQ(FIni.ReadSection("S"), (TNames{"k"}));
  EXPECT_EQ(FIni.ReadString("S", "k", ""), "real");
  EXPECT_EQ(FIni.ReadSections(), (TNames{"S"}));
  FIni.WriteString("S", "n", "1");
  EXPECT_EQ(Bytes(), Original + "n=1\r\n");
}

TEST_F(IniFileTest, ReadsAreCutAt2047Characters) {
  std::string Long;
  for (int i = 0; i < 3000; ++i) Long += "ж";
  FIni.WriteString("S", "long", Long);
  FIni.WriteString("S", "exact", Long.substr(0, 2047 * 2));
  EXPECT_EQ(FIni.ReadString("S", "long", ""), Long.substr(0, 2047 * 2));
  EXPECT_EQ(FIni.ReadString("S", "exact", ""), Long.substr(0, 2047 * 2));
  EXPECT_NE(Bytes().find(Long), std::string::npos);
}

TEST_F(IniFileTest, NumbersAndBooleansFallBackToTheirDefaults) {
  Given("[N]\r\nint= 12 \r\nneg=-3\r\nbad=12a\r\nhex=0x10\r\nempty=\r\nzero=0\r\ntwo=2\r\nyes=yes\r\n");
  const std::vector<std::pair<std::string, int>> Integers = {
      {"int", 12}, {"neg", -3}, {"bad", 99}, {"hex", 99}, {"empty", 99}, {"missing", 99}};
  for (const auto& [Key, Value] : Integers) EXPECT_EQ(FIni.ReadInteger("N", Key, 99), Value) << Key;
  EXPECT_FALSE(FIni.ReadBool("N", "zero", true));
  EXPECT_TRUE(FIni.ReadBool("N", "two", false));
  EXPECT_TRUE(FIni.ReadBool("N", "neg", false));
  EXPECT_TRUE(FIni.ReadBool("N", "yes", true));
  EXPECT_FALSE(FIni.ReadBool("N", "yes", false));
  EXPECT_TRUE(FIni.ReadBool("N", "missing", true));
}

TEST_F(IniFileTest, MissingOrUnreadableFilesReadAsEmpty) {
  EXPECT_EQ(FIni.ReadString("S", "k", "default"), "default");
  EXPECT_TRUE(FIni.ReadSection("S").empty());
  EXPECT_TRUE(FIni.ReadSections().empty());
  EXPECT_FALSE(FIni.SectionExists("S"));

  const TIniFile Directory(FTemp.Path());
  EXPECT_EQ(Directory.ReadString("S", "k", "default"), "default");
  EXPECT_TRUE(Directory.ReadSectionValues("S").empty());
}

TEST_F(IniFileTest, AnEmptySectionExistsButHasNoKeys) {
  Given("[Empty]\r\n[Full]\r\na=1\r\n");
  EXPECT_TRUE(FIni.SectionExists("empty"));
  EXPECT_TRUE(FIni.ReadSection("Empty").empty());
  EXPECT_EQ(FIni.ReadSections(), (TNames{"Empty", "Full"}));
}

}  // namespace
}  // namespace relaybird::test
