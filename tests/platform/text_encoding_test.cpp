#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace relaybird {
namespace {

TEST(Cp1251, EveryByteSurvivesTheRoundTripThroughUtf8) {
  std::string AllBytes;
  for (int i = 0; i < 256; ++i) AllBytes += static_cast<char>(i);
  const std::string Utf8 = Cp1251ToUtf8(AllBytes);
  EXPECT_TRUE(IsValidUtf8(Utf8));
  EXPECT_EQ(Utf8ToCp1251(Utf8), AllBytes);
}

TEST(Cp1251, BytesMapToTheirCharacters) {
  const std::vector<std::pair<std::string, std::string>> Cases = {
      {"\xC0\xC1\xC2", "АБВ"}, {"\xDF\xE0\xFF", "Яая"},  {"\xA8\xB8", "Ёё"},
      {"\xB9", "№"},           {"\x88", "€"},            {"\x80\x90", "Ђђ"},
      {"\xA5\xB4", "Ґґ"},      {"\xAB\xBB", "«»"},        {"\x96\x97", "–—"},
      {"Plain", "Plain"},
  };
  for (const auto& [Bytes, Text] : Cases) {
    EXPECT_EQ(Cp1251ToUtf8(Bytes), Text) << Text;
    EXPECT_EQ(Utf8ToCp1251(Text), Bytes) << Text;
  }
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1251("Grüße"), "Gr??e");
  EXPECT_EQ(Utf8ToCp1251("日本"), "??");
  EXPECT_EQ(Utf8ToCp1251("a\xF0\x9F\x98\x80z"), "a?z");
  EXPECT_EQ(Utf8ToCp1251("a\xFFz"), "a?z");
}

TEST(Utf8Validation, AcceptsWellFormedAndRejectsMalformedSequences) {
  const std::vector<std::pair<std::string, bool>> Cases = {
      {"", true},
      {"ASCII", true},
      {"Кириллица", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xEF\xBF\xBD", true},
      {"\xC0\x80", false},
      {"\xE0\x80\xAF", false},
      {"\xED\xA0\x80", false},
      {"\xF4\x90\x80\x80", false},
      {"\xD0", false},
      {"\x80", false},
      {"\xCF\xF0\xE8\xE2\xE5\xF2", false},
  };
  for (const auto& [Text, Valid] : Cases) EXPECT_EQ(IsValidUtf8(Text), Valid) << testing::PrintToString(Text);
}

TEST(Utf16, RoundTripsIncludingSurrogatePairs) {
  const std::string Text = "Отчёт № 5 \xF0\x9F\x98\x80 end";
  const std::u16string Wide = Utf8ToUtf16(Text);
  EXPECT_EQ(Wide, u"Отчёт № 5 \U0001F600 end");
  EXPECT_EQ(Utf16ToUtf8(Wide), Text);
}

TEST(Utf16, LoneSurrogatesBecomeReplacementCharacters) {
  const std::u16string Broken = {u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
  EXPECT_EQ(Utf16ToUtf8(Broken), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

TEST(Utf16, InvalidUtf8IsReadAsCp1251) {
  EXPECT_EQ(Utf8ToUtf16("\xCF\xF0\xE8\xE2\xE5\xF2"), u"Привет");
}

TEST(TextFile, DecodesByBomOrContentAndEncodesBack) {
  struct TCase {
    std::string Bytes;
    TTextFileEncoding Encoding;
  };
  const std::vector<TCase> Cases = {
      {"a=\xD0\x96\r\n", TTextFileEncoding::Utf8},
      {"\xEF\xBB\xBF" "a=\xD0\x96\r\n", TTextFileEncoding::Utf8Bom},
      {std::string("\xFF\xFE" "a\0=\0\x16\x04\r\0\n\0", 12), TTextFileEncoding::Utf16Le},
      {std::string("\xFE\xFF\0a\0=\x04\x16\0\r\0\n", 12), TTextFileEncoding::Utf16Be},
      {"a=\xC6\r\n", TTextFileEncoding::Cp1251},
  };
  for (const TCase& Case : Cases) {
    TTextFileEncoding Detected = TTextFileEncoding::Utf8;
    EXPECT_EQ(DecodeTextFile(Case.Bytes, &Detected), "a=Ж\r\n");
    EXPECT_EQ(Detected, Case.Encoding);
    EXPECT_EQ(EncodeTextFile("a=Ж\r\n", Case.Encoding), Case.Bytes);
  }
}

TEST(TextFile, EmptyAndDamagedFilesDecode) {
  TTextFileEncoding Detected = TTextFileEncoding::Cp1251;
  EXPECT_EQ(DecodeTextFile("", &Detected), "");
  EXPECT_EQ(Detected, TTextFileEncoding::Utf8);
  EXPECT_EQ(DecodeTextFile("\xEF\xBB\xBF" "a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(DecodeTextFile(std::string("\xFF\xFE" "a\0b", 5)), "a");
}

TEST(UpperCase, CoversAsciiLatin1AndCyrillic) {
  const std::vector<std::pair<std::string, std::string>> Cases = {
      {"abc xyz 09_-", "ABC XYZ 09_-"},
      {"àéîõüþ", "ÀÉÎÕÜÞ"},
      {"÷ÿß", "÷Ÿß"},
      {"абвгдежзийклмнопрстуфхцчшщъыьэюя", "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"},
      {"ёѐђѓєѕіїјљњћќѝўџ", "ЁЀЂЃЄЅІЇЈЉЊЋЌЍЎЏ"},
      {"ґ", "Ґ"},
      {"УЖЕ ЗАГЛАВНЫЕ", "УЖЕ ЗАГЛАВНЫЕ"},
      {"a\xFFz", "A\xFFZ"},
  };
  for (const auto& [Text, Upper] : Cases) EXPECT_EQ(AnsiUpperCase(Text), Upper) << Text;
  EXPECT_EQ(AsciiUpperCase("abc-ёж"), "ABC-ёж");
}

TEST(UpperCase, SameTextIgnoresCaseOnly) {
  EXPECT_TRUE(SameText("Service", "SERVICE"));
  EXPECT_TRUE(SameText("Ёлка Раздел", "ёЛКА рАЗДЕЛ"));
  EXPECT_FALSE(SameText("Service", "Services"));
  EXPECT_FALSE(SameText("е", "ё"));
}

TEST(Trim, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trim(" \t value with  blanks \r\n"), "value with  blanks");
  EXPECT_EQ(Trim("\x01\x1Fx\x7F"), "x\x7F");
  EXPECT_EQ(Trim(" \t\r\n"), "");
  EXPECT_EQ(Trim("\xC2\xA0nbsp\xC2\xA0"), "\xC2\xA0nbsp\xC2\xA0");
}

TEST(Utf8Text, LengthAndLeftCountCharacters) {
  EXPECT_EQ(Utf8Length("Привет, мир"), 11u);
  EXPECT_EQ(Utf8Left("Привет, мир", 3), "При");
  EXPECT_EQ(Utf8Left("\xF0\x9F\x98\x80x", 1), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8Left("abc", 10), "abc");
  EXPECT_EQ(Utf8Left("abc", 0), "");
}

TEST(TryStrToInt, AcceptsSignedDecimalNumbersOfThirtyTwoBits) {
  const std::vector<std::pair<std::string, int>> Good = {
      {"0", 0}, {"42", 42}, {"-42", -42}, {"+7", 7}, {"007", 7},
      {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
  };
  for (const auto& [Text, Expected] : Good) {
    int Value = -1;
    EXPECT_TRUE(TryStrToInt(Text, Value)) << Text;
    EXPECT_EQ(Value, Expected) << Text;
  }
  for (const std::string Text : {"", "+", "-", " 1", "1 ", "1.0", "12a", "0x10", "$10", "--1", "2147483648",
                                 "-2147483649", "99999999999999999999"}) {
    int Value = 0;
    EXPECT_FALSE(TryStrToInt(Text, Value)) << Text;
  }
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning) {
  EXPECT_EQ(ReplaceAll("one||two||", "||", "\r\n"), "one\r\ntwo\r\n");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("ab", "b", "bb"), "abb");
  EXPECT_EQ(ReplaceAll("text", "", "x"), "text");
}

}  // namespace
}  // namespace relaybird
