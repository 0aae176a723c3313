#pragma once
// The walk that puts the texts of a language file's window section into a
// window: every published text is looked up under the chain of names that
// leads to it ("frmConfig.sbrEvents.Panels_0.Text").
#include "relaybird/export.h"
#include <deque>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "i18n/persistent.h"
#include "i18n/translator.h"

namespace relaybird {

struct TTransObject {
  std::string Path;
  TPersistent* Obj = nullptr;
};

// One walk over one window. User-interface thread only.
class RELAYBIRD_API TTranslatorComponents {
 public:
  explicit TTranslatorComponents(const std::string& FileName);

  void TranslateComponent(TComponent& Root);
  // Raises "Пустой объект" for a null object.
  void AddObject(const std::string& Path, TPersistent* Obj);
  static bool IsSkipped(const std::string& Name);
  // The keys the walk of Root would look up, with the texts they stand for
  // now; nothing is read or set. What a language file's window section has
  // to hold.
  static std::vector<std::pair<std::string, std::string>> TextKeys(TComponent& Root);

 private:
  void TranslateProperty(const TTransObject& Entry, const TPublishedProperty& Property);
  void TranslateStrings(const TTransObject& Entry);

  std::set<const TPersistent*> Visited;
  std::string LanguageFile;
  std::string Section;
  TTranslatorPhrases Phrases;
  std::deque<TTransObject> Queue;
  // Set while TextKeys walks: keys are recorded instead of translated.
  std::vector<std::pair<std::string, std::string>>* FKeys = nullptr;
};

}  // namespace relaybird
