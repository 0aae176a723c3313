#pragma once
// The phrase dictionary of the active language file and the global
// translator object that holds it.
#include <memory>
#include <string>
#include <vector>

#include "relaybird/export.h"

namespace relaybird {

// The section of a language file that holds the message catalogue.
extern RELAYBIRD_API const char* const PhrasesSection;

class RELAYBIRD_API TTranslatorPhrases {
 public:
  TTranslatorPhrases();
  virtual ~TTranslatorPhrases() = default;

  virtual void LoadSection(const std::string& Section, const std::string& FileName);
  // Answers from the section last loaded; Section is not consulted. A miss is
  // recorded in MissingFileName and answered with Default.
  std::string Translate(const std::string& Section, const std::string& Key,
                        const std::string& Default);
  // Decoded text of Key, "" when absent; writes nothing.
  std::string GetPhrase(const std::string& Key) const;
  void WriteMissing(const std::string& Key, const std::string& Text);

  static std::string EncodeText(const std::string& Text);  // CR LF -> "||"
  static std::string DecodeText(const std::string& Text);  // "||" -> CR LF

  std::string SourceFile;
  std::string Section;
  // "key=text", texts in stored form; sorted, keys compared without case,
  // after a load that found entries.
  std::vector<std::string> Entries;
  bool Active = false;
  std::string MissingFileName;

 private:
  // The entry "key=text" of Key, null when absent.
  const std::string* FindEntry(const std::string& Key) const;
};

class RELAYBIRD_API TTransFormList {
 public:
  TTransFormList();
  std::string LanguageFile;
  std::unique_ptr<TTranslatorPhrases> Phrases;
};

// Null until CreateTransFormList at process start.
extern RELAYBIRD_API TTransFormList* TransFormList;
RELAYBIRD_API void CreateTransFormList();
RELAYBIRD_API void FreeTransFormList();

// Each raises "Класс для переводов не инициализирован" without TransFormList.
RELAYBIRD_API std::string TranslatePhrase(const std::string& Section, const std::string& Key,
                            const std::string& Default);
RELAYBIRD_API void SetLanguageFile(const std::string& FileName);
// Errors are shown in a warning box and swallowed.
RELAYBIRD_API void LoadPhrases();

}  // namespace relaybird
