#include "relaybird/scrambler.h"

#include <gtest/gtest.h>

#include <string>

namespace relaybird {
namespace {

TEST(ScramblerTest, KnownVectors) {
  // Worked out by hand: each byte XOR the key letter at its position.
  EXPECT_EQ(ScrambleText("Pass", ScrambleKey), "2710031F");
  EXPECT_EQ(ScrambleText("ZRPWKLQDVXB7", ScrambleKey), "2D23203B26363A3C3E2A255D");
  // Cyrillic goes through its Windows-1251 byte: 'П' is 0xCF.
  EXPECT_EQ(ScrambleText("Пароль", ScrambleKey), "B89180828686");
  EXPECT_EQ(UnscrambleText("B89180828686", ScrambleKey), "Пароль");
}

TEST(ScramblerTest, EmptyTextStaysEmpty) {
  EXPECT_EQ(ScrambleText("", ScrambleKey), "");
  EXPECT_EQ(UnscrambleText("", ScrambleKey), "");
}

TEST(ScramblerTest, EmptyKeyGivesEmptyText) {
  EXPECT_EQ(ScrambleText("Pass", ""), "");
  EXPECT_EQ(UnscrambleText("2710031F", ""), "");
}

TEST(ScramblerTest, KeyRepeatsAfterItsLastLetter) {
  const std::string Key = ScrambleKey;
  // The key itself plus its first letter: every byte cancels, the 33rd too.
  const std::string Text = Key + Key[0];
  const std::string Scrambled = ScrambleText(Text, Key);
  EXPECT_EQ(Scrambled, std::string(66, '0'));
  EXPECT_EQ(UnscrambleText(Scrambled, Key), Text);

  const std::string Long(33, 'P');
  EXPECT_EQ(ScrambleText(Long, Key).substr(64), ScrambleText("P", Key));
}

TEST(ScramblerTest, ReadingToleratesDigitCaseAndOddLength) {
  struct TCase {
    const char* Scrambled;
    const char* Plain;
  };
  const TCase Cases[] = {
      {"2710031F", "Pass"},
      {"2710031f", "Pass"},
      {"2710031F1", "Pass"},
      {"2", ""},
      // Conversion stops at the first pair that is not two hexadecimal digits.
      {"2710ZZ1F", "Pa"},
      {"27G0031F", "P"},
      {"XY", ""},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(UnscrambleText(Case.Scrambled, ScrambleKey), Case.Plain) << Case.Scrambled;
  }
}

TEST(ScramblerTest, RoundTrips) {
  std::string Printable;
  for (char C = ' '; C <= '~'; ++C) Printable += C;
  for (const std::string& Text : {Printable, std::string("Пароль-Ёё №1"), std::string("a")}) {
    const std::string Scrambled = ScrambleText(Text, ScrambleKey);
    EXPECT_EQ(Scrambled.find_first_not_of("0123456789ABCDEF"), std::string::npos) << Scrambled;
    EXPECT_EQ(UnscrambleText(Scrambled, ScrambleKey), Text);
  }
}

TEST(ScramblerTest, CharacterOutsideTheCodePageBecomesQuestionMark) {
  // U+2713 has no Windows-1251 byte; '?' is 0x3F, the key's 'w' 0x77.
  EXPECT_EQ(ScrambleText("\u2713", ScrambleKey), "48");
  EXPECT_EQ(UnscrambleText(ScrambleText("a\u2713b", ScrambleKey), ScrambleKey), "a?b");
}

}  // namespace
}  // namespace relaybird
