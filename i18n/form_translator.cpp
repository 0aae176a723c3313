#include "i18n/form_translator.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "platform/text_encoding.h"

namespace relaybird {

namespace {

// Properties that carry names, data bindings or fonts rather than texts.
constexpr std::array<std::string_view, 16> SkipList = {
    "Name",   "Font",   "FieldName", "TableName",    "KeyFields",   "KeySequence",
    "Filter", "Session", "DataSet",  "DisplayChecked", "DisplayUnchecked", "Sql",
    "Macros", "ActiveControl", "StatusText", "Category"};

}  // namespace

TTranslatorComponents::TTranslatorComponents(const std::string& FileName) : LanguageFile(FileName) {}

bool TTranslatorComponents::IsSkipped(const std::string& Name) {
  return std::any_of(SkipList.begin(), SkipList.end(),
                     [&Name](std::string_view Skipped) { return SameText(Skipped, Name); });
}

void TTranslatorComponents::AddObject(const std::string& Path, TPersistent* Obj) {
  if (!Obj) throw std::runtime_error("Пустой объект");
  Queue.push_back({Path, Obj});
}

std::vector<std::pair<std::string, std::string>> TTranslatorComponents::TextKeys(TComponent& Root) {
  std::vector<std::pair<std::string, std::string>> Keys;
  TTranslatorComponents Walker("");
  Walker.FKeys = &Keys;
  Walker.TranslateComponent(Root);
  return Keys;
}

void TTranslatorComponents::TranslateComponent(TComponent& Root) {
  Section = Root.Name();
  if (!FKeys) Phrases.LoadSection(Section, LanguageFile);
  AddObject(Root.Name(), &Root);
  while (!Queue.empty()) {
    const TTransObject Entry = Queue.front();
    Queue.pop_front();
    if (!Visited.insert(Entry.Obj).second) continue;
    for (const TPublishedProperty& Property : Entry.Obj->PublishedProperties())
      if (!IsSkipped(Property.Name)) TranslateProperty(Entry, Property);
    if (Entry.Obj->IsStringList()) TranslateStrings(Entry);
    if (std::vector<TPersistent*>* Items = Entry.Obj->CollectionItems())
      for (std::size_t i = 0; i < Items->size(); ++i)
        if ((*Items)[i]) AddObject(Entry.Path + "_" + std::to_string(i), (*Items)[i]);
    if (TComponent* Component = Entry.Obj->AsComponent())
      for (TComponent* Owned : Component->Components())
        if (Owned) AddObject(Entry.Path + "." + Owned->Name(), Owned);
  }
}

void TTranslatorComponents::TranslateProperty(const TTransObject& Entry, const TPublishedProperty& Property) {
  const std::string Key = Entry.Path + "." + Property.Name;
  if (Property.IsText()) {
    const std::string Value = Property.Get();
    if (Value.empty() || !Property.Set) return;
    if (FKeys) {
      FKeys->emplace_back(Key, Value);
      return;
    }
    const std::string New = Phrases.GetPhrase(Key);
    if (!New.empty() && New != Value) Property.Set(New);
    return;
  }
  if (!Property.Object) return;
  if (TPersistent* Object = Property.Object()) AddObject(Key, Object);
}

void TTranslatorComponents::TranslateStrings(const TTransObject& Entry) {
  std::vector<std::string> Lines = Entry.Obj->Lines();
  if (Lines.empty()) return;
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    if (Lines[i].empty()) continue;
    if (FKeys) {
      FKeys->emplace_back(Entry.Path + "_" + std::to_string(i), Lines[i]);
      continue;
    }
    const std::string New = Phrases.GetPhrase(Entry.Path + "_" + std::to_string(i));
    if (!New.empty() && New != Lines[i]) Lines[i] = New;
  }
  if (!FKeys) Entry.Obj->SetLines(Lines);
}

}  // namespace relaybird
