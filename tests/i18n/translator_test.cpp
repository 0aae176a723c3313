#include "i18n/translator.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

#include "i18n_fixtures.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"
#include "test_support.h"

namespace relaybird {
namespace {

using test::ReadFileBytes;
using test::RemovePath;
using test::TBoxCapture;
using test::TTempDir;
using test::WriteFileBytes;

std::string MissingFile() { return ExecutableDir() + "default.ini"; }
bool MissingFileExists() { return std::filesystem::exists(MissingFile()); }

class Translator : public ::testing::Test {
 protected:
  void SetUp() override {
    RemovePath(MissingFile());
    CreateTransFormList();
  }
  void TearDown() override {
    FreeTransFormList();
    RemovePath(MissingFile());
  }

  // Writes a language file and makes it the program's dictionary.
  void LoadLanguage(const std::string& Bytes, const std::string& Name = "Lang_test.ini") {
    WriteFileBytes(Dir.Path() + Name, Bytes);
    LoadFile(Dir.Path() + Name);
  }
  void LoadFile(const std::string& FileName) {
    SetLanguageFile(FileName);
    LoadPhrases();
  }
  TTranslatorPhrases& Phrases() { return *TransFormList->Phrases; }

  TTempDir Dir;
};

TEST_F(Translator, MissingFileIsBesideTheExecutable) {
  EXPECT_EQ(Phrases().MissingFileName, MissingFile());
  EXPECT_FALSE(Phrases().Active);
}

// A load that finds no entries never changes the state; one that finds some
// makes the dictionary active for good.
TEST_F(Translator, StateTable) {
  struct TCase {
    const char* Name;
    bool ActiveBefore;
    const char* File;  // nullptr: no file at all
    bool ActiveAfter;
    const char* Answer;
    const char* Recorded;  // nullptr: default.ini not written
  };
  const TCase Cases[] = {
      {"inactive, entries", false, "[WORDS]\r\ncstErrorStr=Error\r\n", true, "Error", nullptr},
      {"inactive, no file", false, nullptr, false, "Ошибка", nullptr},
      {"inactive, no WORDS", false, "[LANG]\r\nValue=English\r\n", false, "Ошибка", nullptr},
      {"inactive, empty WORDS", false, "[WORDS]\r\n[LANG]\r\nValue=English\r\n", false, "Ошибка", nullptr},
      {"active, entries", true, "[WORDS]\r\ncstErrorStr=Fehler\r\n", true, "Fehler", nullptr},
      {"active, no file", true, nullptr, true, "Ошибка", "[WORDS]\r\ncstErrorStr=Ошибка\r\n"},
      {"active, empty WORDS", true, "[WORDS]\r\n", true, "Ошибка", "[WORDS]\r\ncstErrorStr=Ошибка\r\n"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    FreeTransFormList();
    CreateTransFormList();
    RemovePath(MissingFile());
    if (Case.ActiveBefore) LoadLanguage("[WORDS]\r\ncstErrorStr=Error\r\n", "Lang_before.ini");
    const std::string FileName = Dir.Path() + "Lang_after.ini";
    RemovePath(FileName);
    if (Case.File) WriteFileBytes(FileName, Case.File);

    LoadFile(FileName);

    EXPECT_EQ(Phrases().Active, Case.ActiveAfter);
    EXPECT_EQ(Phrases().SourceFile, FileName);
    EXPECT_EQ(Phrases().Section, "WORDS");
    EXPECT_EQ(TranslatePhrase("WORDS", "cstErrorStr", "Ошибка"), Case.Answer);
    if (Case.Recorded)
      EXPECT_EQ(ReadFileBytes(MissingFile()), Case.Recorded);
    else
      EXPECT_FALSE(MissingFileExists());
  }
}

TEST_F(Translator, MissesAreRecordedInStoredFormLastWriteWinning) {
  LoadLanguage("[WORDS]\r\ncstErrorStr=\r\ncstInformationStr=Info\r\n");

  EXPECT_EQ(TranslatePhrase("WORDS", "cstErrorStr", "first"), "first");
  EXPECT_EQ(TranslatePhrase("WORDS", "cstConfigRightsLogError", "line 1\r\nline 2"), "line 1\r\nline 2");
  EXPECT_EQ(TranslatePhrase("WORDS", "cstErrorStr", "second"), "second");
  EXPECT_EQ(TranslatePhrase("WORDS", "cstInformationStr", "Информация"), "Info");

  EXPECT_EQ(ReadFileBytes(MissingFile()),
            "[WORDS]\r\ncstErrorStr=second\r\ncstConfigRightsLogError=line 1||line 2\r\n");
}

TEST_F(Translator, StoredLineBreaksAreDecoded) {
  LoadLanguage("[WORDS]\r\ncstConfigRightsLogError=one||two||three\r\n");
  EXPECT_EQ(TranslatePhrase("WORDS", "cstConfigRightsLogError", "x"), "one\r\ntwo\r\nthree");
  EXPECT_EQ(Phrases().GetPhrase("cstConfigRightsLogError"), "one\r\ntwo\r\nthree");
}

TEST_F(Translator, OnlyCrLfPairsAreConverted) {
  const struct {
    const char* Decoded;
    const char* Stored;
  } Cases[] = {
      {"a\r\nb", "a||b"},
      {"\r\n\r\n", "||||"},
      {"a\rb\nc\n\rd", "a\rb\nc\n\rd"},
      {"", ""},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(TTranslatorPhrases::EncodeText(Case.Decoded), Case.Stored);
    EXPECT_EQ(TTranslatorPhrases::DecodeText(Case.Stored), Case.Decoded);
  }
  EXPECT_EQ(TTranslatorPhrases::DecodeText("a|||b"), "a\r\n|b");
  EXPECT_EQ(TTranslatorPhrases::DecodeText("a|b"), "a|b");
}

// Keys in any letter case and in no particular order are all found, which
// needs the sort and the search to agree.
TEST_F(Translator, KeysMatchWithoutRegardToCase) {
  LoadLanguage(
      "[WORDS]\r\n"
      "zeta=1\r\nCSTERRORSTR=Error\r\nAlpha=2\r\n_under=3\r\nbeta=4\r\nКлюч=5\r\nmIxEd_Key=6\r\n");
  const std::pair<const char*, const char*> Lookups[] = {
      {"cstErrorStr", "Error"}, {"ZETA", "1"},  {"alpha", "2"},       {"_UNDER", "3"},
      {"Beta", "4"},            {"ключ", "5"},  {"Mixed_KEY", "6"},
  };
  for (const auto& [Key, Text] : Lookups) {
    SCOPED_TRACE(Key);
    EXPECT_EQ(TranslatePhrase("WORDS", Key, "default"), Text);
  }
  EXPECT_FALSE(MissingFileExists());
  EXPECT_EQ(TranslatePhrase("WORDS", "cstErrorSt", "d"), "d");
}

TEST_F(Translator, FirstOfTwoSpellingsOfAKeyAnswers) {
  LoadLanguage("[WORDS]\r\ncstErrorStr=first\r\nCSTERRORSTR=second\r\n");
  EXPECT_EQ(TranslatePhrase("WORDS", "cstErrorStr", "d"), "first");
}

TEST_F(Translator, SectionArgumentIsIgnored) {
  LoadLanguage("[WORDS]\r\ncstErrorStr=Error\r\n[frmConfig]\r\ncstErrorStr=Window\r\n");
  EXPECT_EQ(TranslatePhrase("frmConfig", "cstErrorStr", "d"), "Error");
  EXPECT_EQ(TranslatePhrase("frmConfig", "cstLang", "Язык"), "Язык");
  EXPECT_EQ(ReadFileBytes(MissingFile()), "[WORDS]\r\ncstLang=Язык\r\n");
}

TEST_F(Translator, LongValueIsCut) {
  LoadLanguage("[WORDS]\r\ncstErrorStr=" + std::string(3000, 'x') + "\r\n");
  EXPECT_EQ(TranslatePhrase("WORDS", "cstErrorStr", "d"), std::string(2047, 'x'));
}

TEST_F(Translator, GetPhraseNeitherWritesNorLooksAtActive) {
  EXPECT_EQ(Phrases().GetPhrase("cstErrorStr"), "");
  LoadLanguage("[WORDS]\r\ncstErrorStr=Error\r\ncstLang=\r\n");
  EXPECT_EQ(Phrases().GetPhrase("CSTERRORSTR"), "Error");
  EXPECT_EQ(Phrases().GetPhrase("cstLang"), "");
  EXPECT_EQ(Phrases().GetPhrase("cstInformationStr"), "");
  EXPECT_FALSE(MissingFileExists());
}

TEST_F(Translator, LanguageFilesFromWindowsReadCorrectly) {
  const struct {
    const char* Name;
    std::string Bytes;
  } Files[] = {
      {"Windows-1251", "[WORDS]\r\n\xCA\xEB\xFE\xF7=\xCE\xF8\xE8\xE1\xEA\xE0\r\n"},
      {"UTF-16 LE", test::Utf16LeFile(u"[WORDS]\r\nКлюч=Ошибка\r\n")},
      {"UTF-8 with BOM", "\xEF\xBB\xBF[WORDS]\r\nКлюч=Ошибка\r\n"},
  };
  for (const auto& File : Files) {
    SCOPED_TRACE(File.Name);
    LoadLanguage(File.Bytes);
    EXPECT_EQ(TranslatePhrase("WORDS", "ключ", "d"), "Ошибка");
  }
}

TEST_F(Translator, UnwritableMissingFileReachesTheCaller) {
  LoadLanguage("[WORDS]\r\ncstErrorStr=Error\r\n");
  std::filesystem::create_directory(MissingFile());
  try {
    TranslatePhrase("WORDS", "cstLang", "Язык");
    FAIL() << "no error";
  } catch (const EIniFileError& Error) {
    EXPECT_EQ(std::string(Error.what()).rfind("Unable to write to " + MissingFile() + ": ", 0), 0u);
  }
  EXPECT_EQ(TranslatePhrase("WORDS", "cstErrorStr", "d"), "Error");
}

// A dictionary whose load fails after it has read part of the section.
class TFailingPhrases : public TTranslatorPhrases {
 public:
  void LoadSection(const std::string& Section, const std::string& FileName) override {
    TTranslatorPhrases::LoadSection(Section, FileName);
    throw std::runtime_error("read failed");
  }
};

TEST_F(Translator, LoadErrorIsShownAsWarningAndSwallowed) {
  TransFormList->Phrases = std::make_unique<TFailingPhrases>();
  TBoxCapture Capture;
  LoadLanguage("[WORDS]\r\ncstErrorStr=Error\r\n");

  ASSERT_EQ(Capture.Boxes().size(), 1u);
  EXPECT_EQ(Capture.Boxes()[0].Kind, TMessageKind::Warning);
  EXPECT_EQ(Capture.Boxes()[0].Text, "read failed");
  EXPECT_EQ(TranslatePhrase("WORDS", "cstErrorStr", "d"), "Error");
}

TEST(TranslatorWithoutList, EveryGlobalFunctionRaises) {
  FreeTransFormList();
  const std::function<void()> Calls[] = {
      [] { TranslatePhrase("WORDS", "cstErrorStr", "Ошибка"); },
      [] { SetLanguageFile("Lang_en.ini"); },
      [] { LoadPhrases(); },
  };
  for (const auto& Call : Calls) {
    try {
      Call();
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& Error) {
      EXPECT_EQ(std::string(Error.what()), "Класс для переводов не инициализирован");
    }
  }
}

}  // namespace
}  // namespace relaybird
