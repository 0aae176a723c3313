#include "i18n/translator.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "i18n/form_translator.h"
#include "platform/exe_path.h"
#include "relaybird/ini_file.h"
#include "platform/message_box.h"
#include "platform/text_encoding.h"

namespace relaybird {

const char* const PhrasesSection = "WORDS";

TTransFormList* TransFormList = nullptr;

namespace {

std::string_view KeyOf(std::string_view Entry) { return Entry.substr(0, Entry.find('=')); }

std::string_view TextOf(std::string_view Entry) {
  const std::size_t Equals = Entry.find('=');
  return Equals == std::string_view::npos ? std::string_view() : Entry.substr(Equals + 1);
}

// Keys order without regard to case, the same way for sorting and searching.
bool KeyLess(std::string_view A, std::string_view B) { return AnsiUpperCase(A) < AnsiUpperCase(B); }

bool EntryLess(const std::string& A, const std::string& B) { return KeyLess(KeyOf(A), KeyOf(B)); }

void RequireTransFormList() {
  if (!TransFormList) throw std::runtime_error("Класс для переводов не инициализирован");
}

}  // namespace

TTranslatorPhrases::TTranslatorPhrases() : MissingFileName(ExecutableDir() + "default.ini") {}

void TTranslatorPhrases::LoadSection(const std::string& Section, const std::string& FileName) {
  SourceFile = FileName;
  this->Section = Section;
  Entries.clear();
  for (const auto& [Key, Value] : TIniFile(FileName).ReadSectionValues(Section))
    Entries.push_back(Key + "=" + Value);
  if (Entries.empty()) return;
  // Stable, so that of two spellings of one key the first in the file answers.
  std::stable_sort(Entries.begin(), Entries.end(), EntryLess);
  Active = true;
}

const std::string* TTranslatorPhrases::FindEntry(const std::string& Key) const {
  const auto Found = std::lower_bound(
      Entries.begin(), Entries.end(), Key,
      [](const std::string& Entry, const std::string& Wanted) { return KeyLess(KeyOf(Entry), Wanted); });
  if (Found == Entries.end() || KeyLess(Key, KeyOf(*Found))) return nullptr;
  return &*Found;
}

std::string TTranslatorPhrases::Translate(const std::string&, const std::string& Key,
                                          const std::string& Default) {
  if (const std::string* Entry = FindEntry(Key); Entry && !TextOf(*Entry).empty())
    return DecodeText(std::string(TextOf(*Entry)));
  WriteMissing(Key, Default);
  return Default;
}

std::string TTranslatorPhrases::GetPhrase(const std::string& Key) const {
  const std::string* Entry = FindEntry(Key);
  return Entry ? DecodeText(std::string(TextOf(*Entry))) : std::string();
}

void TTranslatorPhrases::WriteMissing(const std::string& Key, const std::string& Text) {
  TIniFile(MissingFileName).WriteString(Section, Key, EncodeText(Text));
}

std::string TTranslatorPhrases::EncodeText(const std::string& Text) { return ReplaceAll(Text, "\r\n", "||"); }

std::string TTranslatorPhrases::DecodeText(const std::string& Text) { return ReplaceAll(Text, "||", "\r\n"); }

TTransFormList::TTransFormList() : Phrases(std::make_unique<TTranslatorPhrases>()) {}

TTransFormList::~TTransFormList() {
  for (TComponent* Form : Forms) Form->OnDestroy = nullptr;
}

void TTransFormList::RegisterForm(TComponent& Form) {
  if (std::find(Forms.begin(), Forms.end(), &Form) != Forms.end()) return;
  Forms.push_back(&Form);
  Form.OnDestroy = [this](TComponent* Gone) { std::erase(Forms, Gone); };
}

void TTransFormList::TranslateForm(TComponent& Form) {
  RegisterForm(Form);
  if (LanguageFile.empty()) return;
  try {
    TTranslatorComponents(LanguageFile).TranslateComponent(Form);
  } catch (const std::exception& Error) {
    ShowMessageBox(TMessageKind::Error, "Error", Error.what());
  }
}

void TTransFormList::ChangeLanguage(const std::string& FileName) {
  LanguageFile = FileName;
  try {
    Phrases->LoadSection(PhrasesSection, LanguageFile);
    // A copy: a window may be destroyed while another one is translated.
    const std::vector<TComponent*> Registered = Forms;
    for (TComponent* Form : Registered)
      if (std::find(Forms.begin(), Forms.end(), Form) != Forms.end()) TranslateForm(*Form);
  } catch (const std::exception& Error) {
    ShowMessageBox(TMessageKind::Warning, "Warning", Error.what());
  }
}

void CreateTransFormList() {
  if (!TransFormList) TransFormList = new TTransFormList();
}

void FreeTransFormList() {
  delete TransFormList;
  TransFormList = nullptr;
}

std::string TranslatePhrase(const std::string& Section, const std::string& Key,
                            const std::string& Default) {
  RequireTransFormList();
  if (!TransFormList->Phrases->Active) return Default;
  return TransFormList->Phrases->Translate(Section, Key, Default);
}

void SetLanguageFile(const std::string& FileName) {
  RequireTransFormList();
  TransFormList->LanguageFile = FileName;
}

void TranslateForm(TComponent& Form) {
  RequireTransFormList();
  TransFormList->TranslateForm(Form);
}

void LoadPhrases() {
  RequireTransFormList();
  try {
    TransFormList->Phrases->LoadSection(PhrasesSection, TransFormList->LanguageFile);
  } catch (const std::exception& Error) {
    ShowMessageBox(TMessageKind::Warning, "Warning", Error.what());
  }
}

}  // namespace relaybird
