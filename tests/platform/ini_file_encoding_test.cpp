#include <string>

#include "ini_fixture.h"
#include "platform/text_encoding.h"

namespace relaybird::test {
namespace {

const std::string LangText = "[LANG]\r\nValue=Русский\r\n[WORDS]\r\ncstErrorStr=Ошибка\r\n";

TEST_F(IniFileTest, Utf16FilesReadAndStayUtf16) {
  for (const TTextFileEncoding Encoding : {TTextFileEncoding::Utf16Le, TTextFileEncoding::Utf16Be}) {
    Given(EncodeTextFile(LangText, Encoding));
    EXPECT_EQ(FIni.ReadString("Lang", "value", ""), "Русский");
    EXPECT_EQ(FIni.ReadString("WORDS", "cstErrorStr", ""), "Ошибка");
    FIni.WriteString("WORDS", "cstInformationStr", "Информация");
    EXPECT_EQ(Bytes(), EncodeTextFile(LangText + "cstInformationStr=Информация\r\n", Encoding));
  }
}

TEST_F(IniFileTest, Utf8WithBomReadsAndKeepsItsBom) {
  Given("\xEF\xBB\xBF" + LangText);
  EXPECT_EQ(FIni.ReadSections(), (std::vector<std::string>{"LANG", "WORDS"}));
  EXPECT_EQ(FIni.ReadString("LANG", "Value", ""), "Русский");
  FIni.DeleteKey("WORDS", "cstErrorStr");
  EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[LANG]\r\nValue=Русский\r\n[WORDS]\r\n");
}

TEST_F(IniFileTest, Cp1251FilesReadAndAreRewrittenAsUtf8) {
  Given(Utf8ToCp1251(LangText));
  EXPECT_EQ(FIni.ReadString("LANG", "Value", ""), "Русский");
  EXPECT_EQ(FIni.ReadString("words", "CSTERRORSTR", ""), "Ошибка");
  FIni.WriteString("WORDS", "cstErrorStr", "Ошибка!");
  EXPECT_EQ(Bytes(), "[LANG]\r\nValue=Русский\r\n[WORDS]\r\ncstErrorStr=Ошибка!\r\n");
}

TEST_F(IniFileTest, ANewFileIsUtf8WithoutBom) {
  FIni.WriteString("Раздел", "Ключ", "Значение");
  EXPECT_EQ(Bytes(), "[Раздел]\r\nКлюч=Значение\r\n");
}

// A Windows-1251 value handed in by mistake must not turn a UTF-8 file into
// one that reads as Windows-1251 and garbles every other text in it.
TEST_F(IniFileTest, TextThatIsNotUtf8IsStoredAsUtf8) {
  FIni.WriteString("S", "before", "Ошибка");
  FIni.WriteString("S", "legacy", Utf8ToCp1251("Привет"));
  EXPECT_EQ(Bytes(), "[S]\r\nbefore=Ошибка\r\nlegacy=Привет\r\n");
  EXPECT_EQ(FIni.ReadString("S", "before", ""), "Ошибка");
}

}  // namespace
}  // namespace relaybird::test
